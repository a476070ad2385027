// Registry keys and values of a description, read through Advapi32.
#include <vector>

#include "PlatformTest.h"

namespace {

const char* const kParameters =
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\1&2&0&UID1\\Device Parameters";

class RegistryTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(R"({"registry": {
          "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\1&2&0&UID1\\Device Parameters": {
            "Hex": {"type": "REG_BINARY", "hex": "00 ff FF ff 00"},
            "Text": {"type": "REG_SZ", "string": "abc"},
            "Path": {"type": "REG_EXPAND_SZ", "string": "%R%"},
            "List": {"type": "REG_MULTI_SZ", "strings": ["a", "bc"]},
            "Number": {"type": "REG_DWORD", "dword": 4294967294},
            "Wide": {"type": "REG_BINARY", "utf16": "\u00e9\ud83d\ude00"}},
          "SOFTWARE\\Empty": {}}})");
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key_), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(RegCloseKey(key_), ERROR_SUCCESS);
        PlatformTest::TearDown();
    }
    HKEY key_ = nullptr;
};

TEST_F(RegistryTest, OpensKeysByPathWithoutRegardToCase)
{
    const struct {
        const char* path;
        LSTATUS expected;
    } cases[] = {
        {"system\\currentcontrolset\\enum\\display\\gsm5b7f\\1&2&0&uid1\\DEVICE PARAMETERS", 0},
        {"System\\CurrentControlSet\\Enum", ERROR_SUCCESS},  // a key above described ones
        {"SOFTWARE\\Empty", ERROR_SUCCESS},                  // described without values
        {"SYST", ERROR_FILE_NOT_FOUND},                      // a prefix of a name is not a key
        {"SOFTWARE\\Other", ERROR_FILE_NOT_FOUND},
        {"\\SYSTEM", ERROR_BAD_PATHNAME},
    };
    for (const auto& c : cases) {
        HKEY key = reinterpret_cast<HKEY>(0x1234);
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, c.path, 0, KEY_READ, &key), c.expected)
            << c.path;
        if (c.expected == ERROR_SUCCESS) {
            EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        } else {
            EXPECT_EQ(key, nullptr) << c.path;
        }
    }
}

TEST_F(RegistryTest, EachPayloadReadsBackWithItsTypeAndBytes)
{
    const struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"Text", REG_SZ, {'a', 'b', 'c', 0}},
        {"Path", REG_EXPAND_SZ, {'%', 'R', '%', 0}},
        {"List", REG_MULTI_SZ, {'a', 0, 'b', 'c', 0, 0}},
        {"Number", REG_DWORD, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"Hex", REG_BINARY, {0x00, 0xFF, 0xFF, 0xFF, 0x00}},
        {"wide", REG_BINARY, {0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}},  // e-acute, U+1F600
    };
    for (const auto& c : cases) {
        BYTE buffer[16];
        DWORD type = 0;
        DWORD size = sizeof buffer;
        ASSERT_EQ(RegQueryValueExA(key_, c.name, nullptr, &type, buffer, &size), ERROR_SUCCESS)
            << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), c.bytes) << c.name;
    }
}

using RegistryNameTest = PlatformTest;

// Paths and value names come from the file's UTF-8 like every other text and
// are matched in the ANSI code page, the form in which the plug-in asks.
TEST_F(RegistryNameTest, PathsAndValueNamesOutsideAsciiMatchInTheAnsiCodePage)
{
    Load(R"({"registry": {"SYSTEM\\Enum\\DISPLAY\\\u00c9CR0001": {
        "Caf\u00e9": {"type": "REG_DWORD", "dword": 7}}}})");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "system\\enum\\display\\\xC9" "CR0001", 0,
                            KEY_READ, &key),
              ERROR_SUCCESS);
    BYTE data[4] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    EXPECT_EQ(RegQueryValueExA(key, "CAF\xE9", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(data[0], 7);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
