#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/LogMessage.h"
#include "support/HostFixture.h"

class LogMessageTest : public HostFixture {
protected:
    LogMessage& logger = *LogMessage::getInstance();
};

TEST_F(LogMessageTest, EachLevelWritesItsNumberAndTheTextUnlessEmpty)
{
    logger.logInfo("");
    logger.logError("e");
    logger.logWarning("w\t ");
    logger.logInfo("i");
    logger.logDebug("d");
    logger.log(1, "one");
    auto lines = Log();
    ASSERT_EQ(5u, lines.size());
    std::vector<std::pair<int, std::string> > got;
    for (const auto& line : lines) {
        got.emplace_back(line.level, line.text);
    }
    std::vector<std::pair<int, std::string> > expected = {
        {0, "e"}, {2, "w\t "}, {3, "i"}, {4, "d"}, {1, "one"}};
    EXPECT_EQ(expected, got);
}

TEST_F(LogMessageTest, AClosedGateWritesNothing)
{
    DisableLogging();
    logger.logError("e");
    logger.logWarning("w");
    logger.logInfo("i");
    logger.logDebug("d");
    logger.logSystemError(2);
    EXPECT_TRUE(Log().empty());
}

TEST_F(LogMessageTest, SystemErrorsAreLoggedAsDebugWithTheirLineEndUnlessUnknown)
{
    logger.logSystemError(2);
    logger.logSystemError(0xDEADBEEF);
    auto lines = Log();
    ASSERT_EQ(1u, lines.size());
    EXPECT_EQ(4, lines[0].level);
    EXPECT_EQ("The system cannot find the file specified.\r\n", lines[0].text);
}
