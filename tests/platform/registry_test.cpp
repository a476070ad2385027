// Registry keys and values of a description, read through Advapi32.
#include <vector>

#include "PlatformTest.h"

namespace {

class RegistryTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        // Names come from the file's UTF-8 and match in the ANSI code page,
        // the form in which the plug-in asks.
        Load(R"({"registry": {
          "SYSTEM\\Enum\\DISPLAY\\\u00c9CR0001\\Device Parameters": {
            "Hex": {"type": "REG_BINARY", "hex": "00 ff FF ff 00"},
            "Text": {"type": "REG_SZ", "string": "abc"},
            "Path": {"type": "REG_EXPAND_SZ", "string": "%R%"},
            "List": {"type": "REG_MULTI_SZ", "strings": ["a", "bc"]},
            "Number": {"type": "REG_DWORD", "dword": 4294967294},
            "Caf\u00e9": {"type": "REG_BINARY", "utf16": "\u00e9\ud83d\ude00"}},
          "SOFTWARE\\Empty": {}}})");
    }
};

TEST_F(RegistryTest, OpensKeysByPathWithoutRegardToCase)
{
    const struct {
        const char* path;
        LSTATUS expected;
    } cases[] = {
        {"system\\enum\\display\\\xC9" "cr0001\\DEVICE PARAMETERS", ERROR_SUCCESS},
        {"System\\Enum", ERROR_SUCCESS},     // a key above described ones
        {"SOFTWARE\\Empty", ERROR_SUCCESS},  // described without values
        {"SYST", ERROR_FILE_NOT_FOUND},      // a prefix of a name is not a key
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
        {"CAF\xE9", REG_BINARY, {0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}},  // é, U+1F600
    };
    HKEY key = nullptr;
    const char* const path = "SYSTEM\\Enum\\DISPLAY\\\xC9" "CR0001\\Device Parameters";
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const auto& c : cases) {
        BYTE buffer[16];
        DWORD type = 0;
        DWORD size = sizeof buffer;
        ASSERT_EQ(RegQueryValueExA(key, c.name, nullptr, &type, buffer, &size), ERROR_SUCCESS)
            << c.name;
        EXPECT_EQ(type, c.type) << c.name;
        EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), c.bytes) << c.name;
    }
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

}  // namespace
