// System message texts, the time zone and the C runtime's
// 64-bit time conversions.
#include <cstring>
#include <string>

#include "PlatformTest.h"

namespace {

using SystemTest = PlatformTest;

// The plug-in's call: system text, allocated, inserts ignored.
DWORD SystemText(DWORD code, std::string& text)
{
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer),
        0, nullptr);
    text = buffer != nullptr ? buffer : "";
    if (buffer != nullptr) {
        EXPECT_EQ(LocalFree(buffer), nullptr);
        EXPECT_EQ(LocalFree(buffer), buffer) << "freed twice";
    }
    return length;
}

TEST_F(SystemTest, FormatMessageGivesWindowsSystemTextsOrFails)
{
    const struct {
        DWORD code;
        const char* text;  // "" when the call fails
    } cases[] = {
        {2, "The system cannot find the file specified.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {122, "The data area passed to a system call is too small.\r\n"},
        {234, "More data is available.\r\n"},
        {12345678, ""},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(SystemText(c.code, text), std::strlen(c.text)) << c.code;
        EXPECT_EQ(text, c.text);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MR_MID_NOT_FOUND)) << "an unknown code";
    Load(R"({"faults": {"formatMessage": true}})");
    std::string text;
    EXPECT_EQ(SystemText(2, text), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(SystemTest, TimeZoneComesFromTheDescription)
{
    TIME_ZONE_INFORMATION info;
    EXPECT_EQ(GetTimeZoneInformation(&info), static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN));
    EXPECT_EQ(info.Bias, 0) << "the process's zone, UTC";
    Load(R"({"timeZone": {"result": 2, "bias": -60, "standardBias": 1, "daylightBias": -60}})");
    EXPECT_EQ(GetTimeZoneInformation(&info), static_cast<DWORD>(TIME_ZONE_ID_DAYLIGHT));
    EXPECT_EQ(info.Bias, -60);
    EXPECT_EQ(info.StandardBias, 1);
    EXPECT_EQ(info.DaylightBias, -60);
}

TEST_F(SystemTest, Time64ConversionsKeepToTheWindowsRange)
{
    const struct {
        int year;  // since 1900
        int day;   // of January
        int hour;
        __time64_t expected;
    } cases[] = {
        {70, 1, 0, 0},
        {110, 1, 6, 1262325600},
        {110, 32, 0, 1264982400},  // January 32nd is February 1st
        {69, 31, 23, -1},          // before 1970
        {1101, 1, 0, -1},          // after 3000
    };
    for (const auto& c : cases) {
        struct tm time {};
        time.tm_year = c.year;
        time.tm_mday = c.day;
        time.tm_hour = c.hour;
        time.tm_isdst = -1;
        EXPECT_EQ(_mktime64(&time), c.expected) << c.year << " " << c.day;
        if (c.expected != -1) {
            const struct tm* local = _localtime64(&c.expected);
            ASSERT_NE(local, nullptr);
            EXPECT_EQ(local->tm_hour, c.hour);
            EXPECT_EQ(local->tm_mday, time.tm_mday) << "normalised in place";
        }
    }
    const __time64_t outside = -1;
    EXPECT_EQ(_localtime64(&outside), nullptr);
}

}  // namespace
