#include <climits>

#include "PlatformTest.h"

namespace {

using CRuntimeTest = PlatformTest;

TEST_F(CRuntimeTest, StrnicmpFoldsToLowerCaseWithinCount)
{
    const struct {
        const char* a;
        const char* b;
        std::size_t count;
        int sign;
    } cases[] = {
        {"MONITOR\\GSM5B7F", "monitor\\gsm5b7f\\x", 15, 0},
        {"MONITOR\\GSM5B7F", "MONITOR\\GSM5B7", 15, 1},
        {"abc", "ABD", 3, -1},
        {"abc", "ABD", 2, 0},
        {"a[", "A{", 2, -1},  // '[' < '{' once letters are lower case
        {"x", "y", 0, 0},
        {"ab", "ab", 10, 0},
    };
    for (const auto& c : cases) {
        const int result = _strnicmp(c.a, c.b, c.count);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    }
    EXPECT_EQ(_strnicmp(nullptr, "a", 1), INT_MAX);
}

TEST_F(CRuntimeTest, Time64ConversionsFollowTZAndWindowsRange)
{
    const struct {
        const char* tz;
        int year;  // since 1900
        int month;
        int day;
        int hour;
        __time64_t expected;
    } cases[] = {
        {"UTC0", 70, 0, 1, 0, 0},
        {"UTC0", 69, 11, 31, 23, -1},              // before 1970
        {"UTC0", 1100, 11, 31, 23, 32535212400},   // 3000-12-31 23:00
        {"UTC0", 1101, 0, 1, 0, -1},               // after 3000
        {"CET-1CEST,M3.5.0,M10.5.0/3", 110, 0, 1, 6, 1262322000},
        {"UTC0", 110, 0, 32, 0, 1264982400},       // January 32nd is February 1st
    };
    for (const auto& c : cases) {
        ScopedTimeZone zone(c.tz);
        struct tm time {};
        time.tm_year = c.year;
        time.tm_mon = c.month;
        time.tm_mday = c.day;
        time.tm_hour = c.hour;
        time.tm_isdst = -1;
        EXPECT_EQ(_mktime64(&time), c.expected) << c.year << "-" << c.month << "-" << c.day;
        if (c.expected != -1) {
            const struct tm* local = _localtime64(&c.expected);
            ASSERT_NE(local, nullptr);
            EXPECT_EQ(local->tm_hour, c.hour);
            EXPECT_EQ(local->tm_year, time.tm_year);
            EXPECT_EQ(local->tm_mday, time.tm_mday) << "normalised in place";
        }
    }
    const __time64_t outside[] = {-1, 32535215999 + 1};
    for (__time64_t value : outside) {
        EXPECT_EQ(_localtime64(&value), nullptr) << value;
    }
    const __time64_t last = 32535215999;
    ScopedTimeZone zone("UTC0");
    ASSERT_NE(_localtime64(&last), nullptr);
    EXPECT_EQ(_localtime64(&last)->tm_year, 1100);
}

}  // namespace
