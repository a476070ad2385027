#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "collector/RegistryReader.h"
#include "plugin/LogMessage.h"
#include "support/HostFixture.h"

class RegistryReaderTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        std::string longHex = "00";
        for (int i = 1; i < 600; ++i) {
            longHex += " AA";
        }
        LoadMachine(R"({"registry": {"SYSTEM\\Key": {
            "Text": {"type": "REG_SZ", "string": "text"},
            "Utf16": {"type": "REG_BINARY", "hex": "41 00 42 00 43 00 00 00"},
            "Number": {"type": "REG_DWORD", "dword": 5},
            "Multi": {"type": "REG_MULTI_SZ", "strings": ["a", "b"]},
            "FiveBytes": {"type": "REG_BINARY", "hex": "01 02 03 04 05"},
            "TwoBytes": {"type": "REG_BINARY", "hex": "00 10"},
            "Empty": {"type": "REG_BINARY", "hex": ""},
            "Long": {"type": "REG_BINARY", "hex": ")" + longHex + R"("}}}})");
        ASSERT_EQ(0, reader.open("system\\key"));
    }

    TRegistryReader reader;
};

TEST_F(RegistryReaderTest, EachReadAcceptsItsTypesOnly)
{
    struct Case {
        const char* name;
        int binaryResult;  // of readBinary and readBinaryNumber
        DWORD number;
        const char* text;
        DWORD size;  // of the stored data
    };
    const Case cases[] = {
        {"Text", 1, 0, "text", 5},
        {"Utf16", 0, 0x00420041, "ABC", 8},
        {"Number", 1, 0, "", 4},
        {"Multi", 1, 0, "", 5},
        {"FiveBytes", 0, 0x04030201, "\x01\x02\x03\x04\x05", 5},
        {"TwoBytes", 0, 4096, "\x10", 2},
        {"Empty", 0, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BYTE buffer[512];
        DWORD size = sizeof(buffer);
        EXPECT_EQ(c.binaryResult, reader.readBinary(c.name, buffer, &size));
        EXPECT_EQ(c.binaryResult == 0 ? c.size : 512u, size);

        DWORD number = 77;
        size = 512;
        EXPECT_EQ(c.binaryResult, reader.readBinaryNumber(c.name, &number, &size));
        EXPECT_EQ(c.binaryResult == 0 ? c.number : 77u, number);
        EXPECT_EQ(c.binaryResult == 0 ? c.size : 512u, size);

        std::string text = "stale";
        size = 512;
        EXPECT_EQ(0, reader.readString(c.name, text, &size));
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.size, size);
    }
    // Type mismatches are not errors of the registry.
    EXPECT_TRUE(Log().empty());
}

TEST_F(RegistryReaderTest, RegistryErrorsAreLoggedWithTheSystemText)
{
    const auto systemText = [](DWORD code) {
        return LogMessage::getInstance()->formatSystemError(code);
    };
    std::string text = "stale";
    DWORD size = 512;
    EXPECT_EQ(1, reader.readString("Long", text, &size));
    EXPECT_EQ("", text);
    EXPECT_EQ(512u, size);

    TRegistryReader missing;
    EXPECT_EQ(1, missing.open("SYSTEM\\Missing"));
    // The failed open left the reader closed: its reads fail at the registry.
    EXPECT_EQ(1, missing.readString("Text", text, &size));

    ASSERT_FALSE(systemText(ERROR_MORE_DATA).empty());
    EXPECT_EQ((std::vector<std::string>{systemText(ERROR_MORE_DATA),
                                        systemText(ERROR_FILE_NOT_FOUND),
                                        systemText(ERROR_INVALID_HANDLE)}),
              LogAt(4));
    EXPECT_EQ(3u, Log().size());
}
