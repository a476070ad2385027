#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "collector/RegistryReader.h"
#include "collector/LogMessage.h"
#include "support/HostFixture.h"

class RegistryReaderTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        LoadMachine(R"({"registry": {"SYSTEM\\Key": {
            "Text": {"type": "REG_SZ", "string": "text"},
            "Utf16": {"type": "REG_BINARY", "hex": "41 00 42 00 43 00 00 00"},
            "FiveBytes": {"type": "REG_BINARY", "hex": "01 02 03 04 05"},
            "TwoBytes": {"type": "REG_BINARY", "hex": "00 10"},
            "Empty": {"type": "REG_BINARY", "hex": ""},
            "Dword": {"type": "REG_DWORD", "dword": 4096},
            "Multi": {"type": "REG_MULTI_SZ", "strings": ["a", "b"]},
            "Long": {"type": "REG_SZ", "string": ")" + std::string(600, 'A') + R"("}}}})");
        ASSERT_EQ(0, reader.open("system\\key"));
    }

    TRegistryReader reader;
};

// Only binary data passes readBinary and readBinaryNumber; readString takes
// every type, and decodes text and binary data. A type that a read refuses
// is not logged, and leaves the caller's size and number as they were.
TEST_F(RegistryReaderTest, EachReadAcceptsItsTypesAndDecodesTheStoredBytes)
{
    struct Case {
        const char* name;
        int binaryResult;  // of readBinary and readBinaryNumber alike
        DWORD number;
        const char* text;
        DWORD size;  // of the stored data
    };
    const Case cases[] = {
        {"Text", 1, 77, "text", 5},
        {"Dword", 1, 77, "", 4},
        {"Multi", 1, 77, "", 5},
        {"Utf16", 0, 0x00420041, "ABC", 8},
        {"FiveBytes", 0, 0x04030201, "\x01\x02\x03\x04\x05", 5},
        {"TwoBytes", 0, 4096, "\x10", 2},
        {"Empty", 0, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BYTE bytes[512] = {0x77};
        DWORD size = 512;
        EXPECT_EQ(c.binaryResult, reader.readBinary(c.name, bytes, &size));
        EXPECT_EQ(c.binaryResult == 0 ? c.size : 512u, size);
        if (c.binaryResult == 0 && c.size > 0) {
            EXPECT_EQ(c.number & 0xFF, bytes[0]);
        }

        DWORD number = 77;
        size = 512;
        EXPECT_EQ(c.binaryResult, reader.readBinaryNumber(c.name, &number, &size));
        EXPECT_EQ(c.number, number);
        EXPECT_EQ(c.binaryResult == 0 ? c.size : 512u, size);

        std::string text = "stale";
        size = 512;
        EXPECT_EQ(0, reader.readString(c.name, text, &size));
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.size, size);
    }
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
