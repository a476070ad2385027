#include <cstring>
#include <string>
#include <thread>

#include "PlatformTest.h"

namespace {

constexpr DWORD kSystemFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
constexpr DWORD kUserDefaultLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

using Kernel32Test = PlatformTest;

// The plug-in's call: system text, allocated, inserts ignored.
DWORD SystemText(DWORD code, std::string& text, DWORD language = kUserDefaultLanguage)
{
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(kSystemFlags, nullptr, code, language,
                                        reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    text = buffer != nullptr ? buffer : "";
    if (buffer != nullptr) {
        EXPECT_EQ(LocalFree(buffer), nullptr);
    }
    return length;
}

TEST_F(Kernel32Test, FormatMessageGivesWindowsSystemTexts)
{
    const struct {
        DWORD code;
        const char* text;
    } cases[] = {
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {8, "Not enough memory resources are available to process this command.\r\n"},
        {13, "The data is invalid.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {122, "The data area passed to a system call is too small.\r\n"},
        {234, "More data is available.\r\n"},
        {259, "No more data is available.\r\n"},
        {1168, "Element not found.\r\n"},
        {317, "The system cannot find message text for message number 0x%1 in the message file "
              "for %2.\r\n"},
    };
    for (const auto& c : cases) {
        std::string text;
        EXPECT_EQ(SystemText(c.code, text), std::strlen(c.text)) << c.code;
        EXPECT_EQ(text, c.text);
    }
}

TEST_F(Kernel32Test, FormatMessageFailuresSetTheLastError)
{
    const struct {
        DWORD code;
        DWORD language;
        DWORD error;
    } cases[] = {
        {12345678, kUserDefaultLanguage, ERROR_MR_MID_NOT_FOUND},
        {ERROR_NO_SUCH_DEVINST, kUserDefaultLanguage, ERROR_MR_MID_NOT_FOUND},
        {2, MAKELANGID(0x07, SUBLANG_DEFAULT), ERROR_RESOURCE_LANG_NOT_FOUND},
    };
    for (const auto& c : cases) {
        std::string text;
        SetLastError(0);
        EXPECT_EQ(SystemText(c.code, text, c.language), 0u);
        EXPECT_EQ(GetLastError(), c.error) << c.code;
        EXPECT_EQ(text, "");
    }
    std::string text;
    EXPECT_EQ(SystemText(2, text, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT)), 44u);

    char buffer[44];
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 2, 0, buffer, 44, nullptr), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER)) << "no room for the zero";
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 317, 0, buffer, 44, nullptr), 0u)
        << "inserts without arguments";

    Load(R"({"faults": {"formatMessage": true}})");
    EXPECT_EQ(SystemText(2, text), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(Kernel32Test, LocalFreeRefusesUnknownMemory)
{
    int notAllocated = 0;
    SetLastError(0);
    EXPECT_EQ(LocalFree(&notAllocated), &notAllocated);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(LocalFree(nullptr), nullptr);

    char* buffer = nullptr;
    ASSERT_NE(FormatMessageA(kSystemFlags, nullptr, 2, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr), 0u);
    EXPECT_EQ(displayplatform::CountOpenHandles().localAllocations, 1u);
    EXPECT_EQ(LocalFree(buffer), nullptr);
    EXPECT_EQ(LocalFree(buffer), buffer) << "freed twice";
}

TEST_F(Kernel32Test, LastErrorBelongsToTheThread)
{
    SetLastError(5);
    std::thread([] {
        EXPECT_EQ(GetLastError(), 0u);
        SetLastError(6);
    }).join();
    EXPECT_EQ(GetLastError(), 5u);
}

TEST_F(Kernel32Test, ComputerNameNeedsRoomForItsTerminator)
{
    Load(R"({"computerName": "WS-0042"})");
    const struct {
        DWORD size;
        BOOL ok;
        DWORD sizeAfter;
    } cases[] = {{8, TRUE, 7}, {7, FALSE, 8}, {0, FALSE, 8}, {64, TRUE, 7}};
    for (const auto& c : cases) {
        char buffer[64] = {};
        DWORD size = c.size;
        EXPECT_EQ(GetComputerNameA(buffer, &size), c.ok) << c.size;
        EXPECT_EQ(size, c.sizeAfter) << c.size;
        if (c.ok) {
            EXPECT_STREQ(buffer, "WS-0042");
        } else {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BUFFER_OVERFLOW));
        }
    }
}

TEST_F(Kernel32Test, TimeZoneFromDescriptionOrFromTheProcess)
{
    const struct {
        const char* tz;
        DWORD result;
        LONG bias;
        LONG daylightBias;
        WORD daylightMonth;
        WORD standardMonth;
    } zones[] = {
        {"UTC0", TIME_ZONE_ID_UNKNOWN, 0, -60, 0, 0},
        {"JST-9", TIME_ZONE_ID_UNKNOWN, -540, -60, 0, 0},
        {"CET-1CEST,M3.5.0,M10.5.0/3", 0, -60, -60, 3, 10},
    };
    for (const auto& z : zones) {
        ScopedTimeZone zone(z.tz);
        TIME_ZONE_INFORMATION info;
        const DWORD result = GetTimeZoneInformation(&info);
        if (z.daylightMonth == 0) {
            EXPECT_EQ(result, z.result) << z.tz;
        } else {
            EXPECT_TRUE(result == TIME_ZONE_ID_STANDARD || result == TIME_ZONE_ID_DAYLIGHT) << z.tz;
        }
        EXPECT_EQ(info.Bias, z.bias) << z.tz;
        EXPECT_EQ(info.StandardBias, 0) << z.tz;
        EXPECT_EQ(info.DaylightBias, z.daylightBias) << z.tz;
        EXPECT_EQ(info.DaylightDate.wMonth, z.daylightMonth) << z.tz;
        EXPECT_EQ(info.StandardDate.wMonth, z.standardMonth) << z.tz;
    }
    Load(R"({"timeZone": {"result": 2, "bias": -60, "standardBias": 1, "daylightBias": -60}})");
    TIME_ZONE_INFORMATION info;
    EXPECT_EQ(GetTimeZoneInformation(&info), static_cast<DWORD>(TIME_ZONE_ID_DAYLIGHT));
    EXPECT_EQ(info.Bias, -60);
    EXPECT_EQ(info.StandardBias, 1);
    EXPECT_EQ(info.DaylightBias, -60);
}

}  // namespace
