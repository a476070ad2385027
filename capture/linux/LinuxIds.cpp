#include "platform/posix/live/DeviceIds.h"

#include <cstdio>

namespace displayplatform::live {

namespace {

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0,
                   unsigned d = 0, unsigned e = 0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c, d, e);
    return text;
}

std::string VendorDevice(const PciIdentity& id)
{
    return Format("PCI\\VEN_%04X&DEV_%04X", id.vendor, id.device);
}

}  // namespace

std::optional<PciAddress> ParsePciAddress(const std::string& text)
{
    unsigned domain = 0;
    unsigned bus = 0;
    unsigned device = 0;
    unsigned function = 0;
    int consumed = 0;
    if (text.size() != 12 ||
        std::sscanf(text.c_str(), "%4x:%2x:%2x.%1x%n", &domain, &bus, &device, &function,
                    &consumed) != 4 ||
        consumed != 12 || device > 31 || function > 7) {
        return std::nullopt;
    }
    for (std::size_t i : {4u, 7u, 10u}) {
        if (text[i] != (i == 10 ? '.' : ':')) {
            return std::nullopt;
        }
    }
    return PciAddress{domain, static_cast<std::uint8_t>(bus), static_cast<std::uint8_t>(device),
                      static_cast<std::uint8_t>(function)};
}

std::string PciHardwareId(const PciIdentity& id)
{
    return VendorDevice(id) + Format("&SUBSYS_%04X%04X&REV_%02X", id.subsystemDevice,
                                     id.subsystemVendor, id.revision);
}

std::vector<std::string> PciHardwareIds(const PciIdentity& id)
{
    std::vector<std::string> ids{PciHardwareId(id),
                                 VendorDevice(id) + Format("&SUBSYS_%04X%04X", id.subsystemDevice,
                                                           id.subsystemVendor)};
    if (id.classCode) {
        ids.push_back(VendorDevice(id) + Format("&CC_%06X", *id.classCode));
        ids.push_back(VendorDevice(id) + Format("&CC_%04X", *id.classCode >> 8));
    }
    return ids;
}

std::vector<std::string> PciCompatibleIds(const PciIdentity& id)
{
    const std::string vendor = Format("PCI\\VEN_%04X", id.vendor);
    std::vector<std::string> ids{VendorDevice(id) + Format("&REV_%02X", id.revision),
                                 VendorDevice(id)};
    if (id.classCode) {
        ids.push_back(vendor + Format("&CC_%06X", *id.classCode));
        ids.push_back(vendor + Format("&CC_%04X", *id.classCode >> 8));
    }
    ids.push_back(vendor);
    if (id.classCode) {
        ids.push_back(Format("PCI\\CC_%06X", *id.classCode));
        ids.push_back(Format("PCI\\CC_%04X", *id.classCode >> 8));
    }
    return ids;
}

std::string PciInstanceSuffix(const std::string& parentPath, const PciAddress& address)
{
    return Format("4&%08X&0&%02X%02X", Fnv1a32(parentPath), address.function,
                  static_cast<unsigned>(address.device) * 8u + address.function);
}

std::optional<MonitorModel> MonitorModelFromEdid(const std::string& edid, std::string& why)
{
    static const unsigned char kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (edid.size() < 128) {
        why = "the EDID has " + std::to_string(edid.size()) + " bytes, fewer than the 128 of its "
              "base block";
        return std::nullopt;
    }
    for (std::size_t i = 0; i < sizeof kHeader; ++i) {
        if (static_cast<unsigned char>(edid[i]) != kHeader[i]) {
            why = "the EDID does not start with the EDID header";
            return std::nullopt;
        }
    }
    // Bytes 8-9, big-endian: three letters of five bits each, 1 = 'A'. Like
    // Windows, out-of-range letters are kept as the characters they give.
    const unsigned letters = static_cast<unsigned>(static_cast<unsigned char>(edid[8])) << 8 |
                             static_cast<unsigned char>(edid[9]);
    MonitorModel model;
    for (int shift : {10, 5, 0}) {
        model.pnpId.push_back(static_cast<char>('@' + ((letters >> shift) & 0x1F)));
    }
    // Bytes 10-11, little-endian.
    const unsigned product = static_cast<unsigned>(static_cast<unsigned char>(edid[11])) << 8 |
                             static_cast<unsigned char>(edid[10]);
    model.product = Format("%04X", product);
    return model;
}

std::uint32_t Fnv1a32(const std::string& text)
{
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

std::uint64_t Fnv1a64(const std::string& text, std::uint64_t basis)
{
    std::uint64_t hash = basis;
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

std::string GuidFromText(const std::string& text)
{
    const std::uint64_t high = Fnv1a64(text, 14695981039346656037ull);
    const std::uint64_t low = Fnv1a64(text, high);
    char guid[48];
    std::snprintf(guid, sizeof guid, "{%08X-%04X-%04X-%04X-%012llX}",
                  static_cast<unsigned>(high >> 32), static_cast<unsigned>((high >> 16) & 0xFFFF),
                  static_cast<unsigned>(high & 0xFFFF), static_cast<unsigned>(low >> 48),
                  static_cast<unsigned long long>(low & 0xFFFFFFFFFFFFull));
    return guid;
}

std::string FourDigits(unsigned n)
{
    return Format("%04u", n);
}

}  // namespace displayplatform::live
