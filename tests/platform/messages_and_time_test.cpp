// System message texts.
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

}  // namespace
