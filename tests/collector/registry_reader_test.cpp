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
            "Long": {"type": "REG_SZ", "string": ")" + std::string(600, 'A') + R"("}}}})");
        ASSERT_EQ(0, reader.open("system\\key"));
    }

    TRegistryReader reader;
};

// Which reads accept which types is left to the fuzz target; here, what the
// accepted reads decode.
TEST_F(RegistryReaderTest, NumbersAndTextsDecodeFromTheStoredBytes)
{
    struct Case {
        const char* name;
        int numberResult;
        DWORD number;
        const char* text;
        DWORD size;  // of the stored data
    };
    const Case cases[] = {
        {"Text", 1, 77, "text", 5},
        {"Utf16", 0, 0x00420041, "ABC", 8},
        {"FiveBytes", 0, 0x04030201, "\x01\x02\x03\x04\x05", 5},
        {"TwoBytes", 0, 4096, "\x10", 2},
        {"Empty", 0, 0, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD number = 77;
        DWORD size = 512;
        EXPECT_EQ(c.numberResult, reader.readBinaryNumber(c.name, &number, &size));
        EXPECT_EQ(c.number, number);

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
