#include "capture/linux/LinuxIds.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace capture::sysfs {

namespace {

std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0,
                   unsigned d = 0, unsigned e = 0)
{
    char text[96];
    std::snprintf(text, sizeof text, format, a, b, c, d, e);
    return text;
}

}  // namespace

// "dddd:bb:dd.f", where the domain has four hexadecimal digits, or up to
// eight for the domains above 0xffff that Intel VMD and Hyper-V's virtual
// PCI bus create.
std::optional<PciAddress> ParsePciAddress(const std::string& text)
{
    const std::string::size_type colon = text.find(':');
    if (colon < 4 || colon > 8 || text.size() != colon + 8 || text[colon + 3] != ':' ||
        text[colon + 6] != '.') {
        return std::nullopt;
    }
    auto hex = [&text](std::size_t at, std::size_t count, unsigned& value) {
        value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            const char c = text[i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + static_cast<unsigned>(digit);
        }
        return true;
    };
    unsigned domain = 0;
    unsigned bus = 0;
    unsigned device = 0;
    unsigned function = 0;
    if (!hex(0, colon, domain) || !hex(colon + 1, 2, bus) || !hex(colon + 4, 2, device) ||
        !hex(colon + 7, 1, function) || device > 31 || function > 7) {
        return std::nullopt;
    }
    return PciAddress{domain, static_cast<std::uint8_t>(bus), static_cast<std::uint8_t>(device),
                      static_cast<std::uint8_t>(function)};
}

std::string PciInstanceSuffix(const std::string& parentPath, const PciAddress& address)
{
    return Format("4&%08X&0&%02X%02X", Fnv1a32(parentPath), address.function,
                  static_cast<unsigned>(address.device) * 8u + address.function);
}

std::string MonitorInstanceSuffix(const std::string& adapterInstanceId, unsigned connector)
{
    return Format("5&%08X&0&UID%u", Fnv1a32(adapterInstanceId), connector);
}

std::string UsbInstanceSuffix(const std::string& serial, const std::string& hubPath,
                              const std::string& deviceName)
{
    const bool usable = !serial.empty() && serial.size() <= 64 &&
                        std::all_of(serial.begin(), serial.end(), [](char c) {
                            return c > 0x20 && c < 0x7F && c != '\\' && c != '&';
                        });
    if (usable) {
        return serial;
    }
    const std::string::size_type last = deviceName.find_last_of("-.");
    const unsigned port = last == std::string::npos
                              ? 0
                              : static_cast<unsigned>(std::strtoul(deviceName.c_str() + last + 1,
                                                                   nullptr, 10));
    return Format("5&%08X&0&%u", Fnv1a32(hubPath), port);
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

}  // namespace capture::sysfs
