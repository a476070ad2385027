#include "capture/linux/HostIdentity.h"

#include <ctime>

#include <unistd.h>

#include "capture/linux/SysfsFiles.h"

namespace capture::sysfs {

namespace {

// The kernel keeps host names to 64 characters.
constexpr std::size_t kHostNameLimit = 256;
constexpr std::uint32_t kTimeZoneIdUnknown = 0;
constexpr std::uint32_t kTimeZoneIdStandard = 1;
constexpr std::uint32_t kTimeZoneIdDaylight = 2;

}  // namespace

std::string NetBiosName(const std::string& hostName)
{
    std::string name;
    for (char c : hostName.substr(0, hostName.find('.'))) {
        if (c < 0x21 || c > 0x7E) {
            continue;
        }
        if (name.size() == machine::limits::kComputerName) {
            break;
        }
        name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return name.empty() ? "LOCALHOST" : name;
}

std::string LocalComputerName(const std::string& root)
{
    // The kernel's host name as procfs shows it below the root, so that a
    // tree read from elsewhere names its own machine; this system's otherwise.
    std::string content;
    std::string why;
    if (ReadBoundedFile(root + "/proc/sys/kernel/hostname", kHostNameLimit, content, why) ==
        ReadResult::kRead) {
        return NetBiosName(content.substr(0, content.find('\n')));
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0) {
        return NetBiosName("");
    }
    return NetBiosName(host);
}

ZoneOffsets LocalZoneOffsets()
{
    tzset();
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);

    ZoneOffsets zone;
    bool haveStandard = false;
    auto sample = [&](const std::tm& local) {
        if (local.tm_isdst > 0) {
            zone.daylightOffset = local.tm_gmtoff;
        } else if (!haveStandard) {
            haveStandard = true;
            zone.standardOffset = local.tm_gmtoff;
        }
    };
    sample(today);
    for (int month : {0, 6}) {
        std::tm middle{};
        middle.tm_year = today.tm_year;
        middle.tm_mon = month;
        middle.tm_mday = 15;
        middle.tm_hour = 12;
        middle.tm_isdst = -1;
        const std::time_t when = std::mktime(&middle);
        std::tm local{};
        localtime_r(&when, &local);
        sample(local);
    }
    if (!haveStandard && zone.daylightOffset) {
        // A zone in daylight saving time all year: Windows has no such zone
        // and reports its offset as the standard one.
        zone.standardOffset = *zone.daylightOffset;
        zone.daylightOffset.reset();
    }
    zone.daylightNow = zone.daylightOffset.has_value() && today.tm_isdst > 0;
    return zone;
}

machine::TimeZone WindowsTimeZone(const ZoneOffsets& zone)
{
    machine::TimeZone windows;
    windows.result = kTimeZoneIdUnknown;
    windows.bias = static_cast<std::int32_t>(-(zone.standardOffset / 60));
    if (zone.daylightOffset) {
        windows.result = zone.daylightNow ? kTimeZoneIdDaylight : kTimeZoneIdStandard;
        windows.daylight =
            static_cast<std::int32_t>(-((*zone.daylightOffset - zone.standardOffset) / 60));
    }
    return windows;
}

}  // namespace capture::sysfs
