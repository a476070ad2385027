#include "capture/linux/LinuxIds.h"

#include <cstdio>

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

std::string PciInstanceSuffix(const std::string& parentPath, const PciAddress& address)
{
    return Format("4&%08X&0&%02X%02X", Fnv1a32(parentPath), address.function,
                  static_cast<unsigned>(address.device) * 8u + address.function);
}

std::string MonitorInstanceSuffix(const std::string& adapterInstanceId, unsigned connector)
{
    return Format("5&%08X&0&UID%u", Fnv1a32(adapterInstanceId), connector);
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
