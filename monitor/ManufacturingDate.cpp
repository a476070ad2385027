#include <cstdint>
#include <cstring>

#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMDateTime;

namespace {

const std::int32_t kSecondsPerWeek = 604800;
// The date is placed at 06:00 local time so that it stays on its day.
const int kHourOfDay = 6;

}  // namespace

TCIMDateTime TMonitorInfo::MakeManufacturingDate(BYTE week, WORD year)
{
    TCIMDateTime date;

    struct tm start;
    std::memset(&start, 0, sizeof(start));
    start.tm_year = year - 1900;
    start.tm_mon = 0;
    start.tm_mday = 1;
    start.tm_hour = kHourOfDay;
    start.tm_isdst = -1;  // the C library decides whether daylight time applies
    const __time64_t newYear = _mktime64(&start);
    if (newYear == -1) {
        return date;
    }

    // Week 1 begins on January 1.
    const std::int32_t weekOffset =
        static_cast<std::int32_t>(week) * kSecondsPerWeek - kSecondsPerWeek;
    const __time64_t weekStart = newYear + weekOffset;
    const struct tm* local = _localtime64(&weekStart);
    if (local == nullptr) {
        return date;
    }

    date.Set(static_cast<std::uint16_t>(local->tm_year + 1900),
             static_cast<std::uint16_t>(local->tm_mon + 1),
             static_cast<std::uint32_t>(local->tm_mday), static_cast<std::uint16_t>(local->tm_hour),
             static_cast<std::uint16_t>(local->tm_min), static_cast<std::uint16_t>(local->tm_sec),
             0, GetUTCOffsetMinutes());
    return date;
}

short TMonitorInfo::GetUTCOffsetMinutes()
{
    TIME_ZONE_INFORMATION zone;
    std::memset(&zone, 0, sizeof(zone));
    const DWORD result = GetTimeZoneInformation(&zone);

    // Bias is UTC minus local time; the offset is its negation, kept to the
    // 16 bits of a CIM datetime offset. StandardBias is not applied.
    const std::uint16_t bias = static_cast<std::uint16_t>(zone.Bias);
    const std::uint16_t daylightBias = static_cast<std::uint16_t>(zone.DaylightBias);
    if (result == TIME_ZONE_ID_STANDARD) {
        return static_cast<short>(static_cast<std::uint16_t>(0u - bias));
    }
    if (result == TIME_ZONE_ID_DAYLIGHT) {
        return static_cast<short>(static_cast<std::uint16_t>(0u - (bias + daylightBias)));
    }
    return 0;
}
