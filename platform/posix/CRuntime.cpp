// The Microsoft C runtime functions the plug-in uses, over the C library.
// Time conversions follow the process's time zone (TZ).
#include "platform/posix/CRuntime.h"

#include <cerrno>
#include <climits>

namespace {

// 3000-12-31 23:59:59 UTC, the last moment the 64-bit time functions accept.
constexpr __time64_t kMaxTime64 = 32535215999LL;
// What _strnicmp returns for invalid arguments.
constexpr int kNlsCompareError = INT_MAX;

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
// 1970-01-01 00:00:00 UTC or after 3000-12-31 23:59:59 UTC give -1.
__time64_t _mktime64(struct tm* timeptr)
{
    if (timeptr == nullptr) {
        errno = EINVAL;
        return -1;
    }
    struct tm copy = *timeptr;
    const std::time_t result = std::mktime(&copy);
    if (result == static_cast<std::time_t>(-1) || result < 0 || result > kMaxTime64) {
        errno = EINVAL;
        return -1;
    }
    *timeptr = copy;
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
    const auto time = static_cast<std::time_t>(*sourceTime);
    return localtime_r(&time, &result);
}
