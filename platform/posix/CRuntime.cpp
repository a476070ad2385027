// The Microsoft C runtime functions the plug-in uses, over the C library.
//
// Time conversions answer in the current machine's zone, never in this
// process's (TZ), so that a machine gives the same dates wherever it is
// replayed. A machine records its zone as GetTimeZoneInformation gave it:
// the biases and whether daylight saving time was in force, but not the
// dates on which the zone changes. Its local time is therefore UTC minus the
// bias in force then (Bias + DaylightBias in daylight time, Bias +
// StandardBias otherwise) on every date; a machine without a zone is in UTC.
#include "platform/posix/CRuntime.h"

#include <cerrno>
#include <climits>
#include <cstdint>

#include "platform/posix/Machine.h"

namespace {

// 3000-12-31 23:59:59 UTC, the last moment the 64-bit time functions accept.
constexpr __time64_t kMaxTime64 = 32535215999LL;
// What _strnicmp returns for invalid arguments.
constexpr int kNlsCompareError = INT_MAX;

constexpr std::int64_t kSecondsPerDay = 24 * 60 * 60;

// Seconds east of UTC of the machine's local time, and whether it is
// daylight saving time.
std::int64_t LocalOffset(bool& daylight)
{
    const auto machine = displayplatform::detail::CurrentMachine();
    daylight = false;
    if (!machine->Model().zone) {
        return 0;
    }
    const auto& zone = *machine->Model().zone;
    daylight = zone.result == TIME_ZONE_ID_DAYLIGHT;
    const std::int64_t bias =
        std::int64_t{zone.bias} + (daylight ? zone.daylight : zone.standard);
    return -bias * 60;
}

// Days from 1970-01-01 to the first of a month (1 to 12) of the proleptic
// Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The local time of seconds since 1970 in the machine's zone.
void BreakDown(std::int64_t localSeconds, bool daylight, struct tm& result)
{
    const auto time = static_cast<std::time_t>(localSeconds);
    gmtime_r(&time, &result);
    result.tm_isdst = daylight ? 1 : 0;
}

int LowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

}  // namespace

// Compares at most count characters after folding ASCII letters to lower
// case, as in the "C" locale; the result is the difference of the first
// pair of folded characters that differ (so "[" sorts before "{", unlike
// with upper-case folding).
int _strnicmp(const char* string1, const char* string2, std::size_t count)
{
    if (count == 0) {
        return 0;
    }
    if (string1 == nullptr || string2 == nullptr) {
        errno = EINVAL;
        return kNlsCompareError;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const int a = LowerAscii(static_cast<unsigned char>(string1[i]));
        const int b = LowerAscii(static_cast<unsigned char>(string2[i]));
        if (a != b || a == 0) {
            return a - b;
        }
    }
    return 0;
}

// Local time to seconds since 1970, normalising *timeptr. Times before
// 1970-01-01 00:00:00 UTC or after 3000-12-31 23:59:59 UTC give -1. The
// daylight flag is not consulted: the machine's zone has one offset.
__time64_t _mktime64(struct tm* timeptr)
{
    if (timeptr == nullptr) {
        errno = EINVAL;
        return -1;
    }
    bool daylight = false;
    const std::int64_t offset = LocalOffset(daylight);
    const std::int64_t months = std::int64_t{timeptr->tm_year} * 12 + timeptr->tm_mon;
    const std::int64_t year = 1900 + (months >= 0 ? months / 12 : (months - 11) / 12);
    const std::int64_t month = months - (year - 1900) * 12 + 1;
    const std::int64_t local = DaysFromCivil(year, month) * kSecondsPerDay +
                               (std::int64_t{timeptr->tm_mday} - 1) * kSecondsPerDay +
                               std::int64_t{timeptr->tm_hour} * 3600 +
                               std::int64_t{timeptr->tm_min} * 60 + timeptr->tm_sec;
    const std::int64_t result = local - offset;
    if (result < 0 || result > kMaxTime64) {
        errno = EINVAL;
        return -1;
    }
    BreakDown(local, daylight, *timeptr);
    return static_cast<__time64_t>(result);
}

// Seconds since 1970 to local time in a per-thread buffer; null for negative
// times and times after 3000-12-31 23:59:59 UTC, as Microsoft's runtime
// (Wine's msvcrt converts the latter too).
struct tm* _localtime64(const __time64_t* sourceTime)
{
    if (sourceTime == nullptr || *sourceTime < 0 || *sourceTime > kMaxTime64) {
        errno = EINVAL;
        return nullptr;
    }
    static thread_local struct tm result;
    bool daylight = false;
    const std::int64_t offset = LocalOffset(daylight);
    BreakDown(std::int64_t{*sourceTime} + offset, daylight, result);
    return &result;
}
