#include <vector>

#include "PlatformTest.h"

namespace {

const char* const kRegistryMachine = R"({
  "registry": {
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\1&2&0&UID1\\Device Parameters": {
      "EDID": {"type": "REG_BINARY", "hex": "00 ff FF ff 00"},
      "Text": {"type": "REG_SZ", "string": "abc"},
      "Wide": {"type": "REG_BINARY", "utf16": "\u00e9\ud83d\ude00"}
    },
    "SOFTWARE\\Empty": {}
  }
})";

const char* const kParameters =
    "SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\1&2&0&UID1\\Device Parameters";

class RegistryTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        Load(kRegistryMachine);
        ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kParameters, 0, KEY_READ, &key_), ERROR_SUCCESS);
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
        {"SYSTEM", ERROR_SUCCESS},  // a key above described ones exists too
        {"System\\CurrentControlSet\\Enum", ERROR_SUCCESS},
        {"SOFTWARE\\Empty", ERROR_SUCCESS},  // described without values
        {"SYSTEM\\CurrentControlSet\\", ERROR_SUCCESS},
        {"SYSTEM\\\\CurrentControlSet", ERROR_SUCCESS},
        {"", ERROR_SUCCESS},
        {"SYST", ERROR_FILE_NOT_FOUND},  // a prefix of a name is not a key
        {"SYSTEM\\CurrentControlSet\\Enum\\DISPLAY\\GSM5B7F\\1&2&0&UID1\\Device Parameters\\X",
         ERROR_FILE_NOT_FOUND},
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

TEST_F(RegistryTest, OpensRelativeToAnOpenKeyAndOnlyBelowLocalMachine)
{
    HKEY device = nullptr;
    EXPECT_EQ(RegOpenKeyExA(key_, "", 0, KEY_READ, &device), ERROR_SUCCESS);
    EXPECT_NE(device, key_) << "a new handle";
    EXPECT_EQ(RegCloseKey(device), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SYSTEM", 0, KEY_READ, &device), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, Utf16PayloadIsStoredWithItsTerminator)
{
    BYTE buffer[16];
    DWORD size = sizeof buffer;
    ASSERT_EQ(RegQueryValueExA(key_, "wide", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    const std::vector<BYTE> expected = {0xE9, 0x00, 0x3D, 0xD8, 0x00, 0xDE, 0, 0};  // e-acute, U+1F600
    EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), expected);
}

TEST_F(RegistryTest, BufferSizesFollowWindows)
{
    BYTE buffer[8] = {0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
    DWORD type = 0;
    DWORD size = 3;  // "abc" needs 4 with its terminator
    EXPECT_EQ(RegQueryValueExA(key_, "Text", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(buffer[0], 0x55) << "a failed read leaves the buffer alone";

    size = 4;
    EXPECT_EQ(RegQueryValueExA(key_, "Text", nullptr, nullptr, buffer, &size), ERROR_SUCCESS);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key_, "EDID", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(RegQueryValueExA(key_, "EDID", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(key_, "EDID", nullptr, &type, buffer, nullptr), ERROR_INVALID_PARAMETER);
    DWORD reserved = 0;
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key_, "EDID", &reserved, &type, buffer, &size), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryTest, MissingValuesAndBadHandlesFail)
{
    BYTE buffer[8];
    DWORD type = 77;
    DWORD size = sizeof buffer;
    EXPECT_EQ(RegQueryValueExA(key_, "DeviceDesc", nullptr, &type, buffer, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 77u);
    EXPECT_EQ(RegQueryValueExA(HKEY_LOCAL_MACHINE, "EDID", nullptr, &type, buffer, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExA(nullptr, "EDID", nullptr, &type, buffer, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    HKEY closed = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM", 0, KEY_READ, &closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(closed, "EDID", nullptr, &type, buffer, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyExA(closed, "X", 0, KEY_READ, &closed), ERROR_INVALID_HANDLE);
}

}  // namespace
