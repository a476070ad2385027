#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/DisplayInfoCallbacks.h"
#include "support/HostFixture.h"

using NORNKVT20::ICIMClass;

namespace {

const char* const kNormalExit = "TDisplayInfoCallbacks::GetData - Normal exit from plugin.";
const char* const kNoInstances =
    "TDisplayInfoCallbacks::retrieveDataForClass - No instances of the requested class were "
    "created.";

std::string Received(const std::string& name)
{
    return "TDisplayInfoCallbacks::GetData - Received request for class " + name + ".";
}

class CallbacksTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        callbacks = new TDisplayInfoCallbacks();
        Host().Reset();  // drop anything logged while registering
    }
    void TearDown() override
    {
        callbacks->Destroy();
        HostFixture::TearDown();
    }

    std::vector<std::string> Request(const std::vector<std::string>& names)
    {
        std::vector<boost::shared_ptr<ICIMClass> > classes;
        for (const std::string& name : names) {
            classes.push_back(Class(name));
        }
        callbacks->GetData(Host().CreateQueryContext(), classes);
        return LogAt(3);
    }

    TDisplayInfoCallbacks* callbacks = nullptr;
};

}  // namespace

TEST_F(CallbacksTest, ServesExactlyTheEightClassNames)
{
    struct Case {
        const char* name;
        bool served;
    } cases[] = {
        {"ORNSG_VideoController", true},       {"ORNSG_VideoHead", true},
        {"ORNSG_VideoBios", true},             {"ORNSG_BiosOfVideoController", true},
        {"ORNSG_HeadOfVideoController", true}, {"ORNSG_DesktopMonitor", true},
        {"ORNSG_MonitorResolution", true},     {"ORNSG_MonitorSetting", true},
        {"ornsg_videocontroller", false},      {"ORNSG_VideoController ", false},
        {"ORNSG_Video", false},                {"", false},
        {"CIM_VideoController", false},
    };
    for (const Case& c : cases) {
        Host().Reset();
        std::vector<std::string> expected = {Received(c.name)};
        if (c.served) {
            expected.push_back(kNoInstances);
        }
        expected.push_back(kNormalExit);
        EXPECT_EQ(expected, Request({c.name})) << '"' << c.name << '"';
    }
}

TEST_F(CallbacksTest, EmptyListAndRepeatedClass)
{
    EXPECT_EQ(std::vector<std::string>{kNormalExit}, Request({}));

    Host().Reset();
    std::vector<std::string> expected = {Received("ORNSG_VideoBios"), kNoInstances,
                                         Received("ORNSG_VideoBios"), kNoInstances, kNormalExit};
    EXPECT_EQ(expected, Request({"ORNSG_VideoBios", "ORNSG_VideoBios"}));
}
