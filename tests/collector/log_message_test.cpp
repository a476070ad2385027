#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "collector/LogMessage.h"
#include "support/HostFixture.h"

using LogMessageTest = HostFixture;

TEST_F(LogMessageTest, EachLevelWritesItsNumberAndTheTextUnlessEmptyOrTheGateIsClosed)
{
    LogMessage& logger = *LogMessage::getInstance();
    logger.logInfo("");
    logger.logError("e");
    logger.logWarning("w\t ");
    logger.logInfo("i");
    logger.logDebug("d");
    logger.log(1, "one");
    // System errors come at debug level with their line end, unless unknown.
    logger.logSystemError(2);
    logger.logSystemError(0xDEADBEEF);
    DisableLogging();
    logger.logError("e");
    logger.logWarning("w");
    logger.logInfo("i");
    logger.logDebug("d");
    logger.logSystemError(2);
    std::vector<std::pair<int, std::string> > got;
    for (const auto& line : Log()) {
        got.emplace_back(line.level, line.text);
    }
    const std::vector<std::pair<int, std::string> > expected = {
        {0, "e"}, {2, "w\t "}, {3, "i"}, {4, "d"}, {1, "one"},
        {4, "The system cannot find the file specified.\r\n"}};
    EXPECT_EQ(expected, got);
}
