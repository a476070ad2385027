#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/DisplayInfoCallbacks.h"
#include "support/HostFixture.h"

namespace {

class CallbacksTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        callbacks = new TDisplayInfoCallbacks();
    }
    void TearDown() override
    {
        callbacks->Destroy();
        HostFixture::TearDown();
    }

    TDisplayInfoCallbacks* callbacks = nullptr;
};

}  // namespace

// The log of the whole request (texts in the command-line tests): "R" for
// each class received, "N" when a served class made no instances, "E" for the exit.
TEST_F(CallbacksTest, ServesExactlyTheEightClassNamesEachTimeAsked)
{
    const std::pair<std::vector<std::string>, const char*> cases[] = {
        {{}, "E"},
        {{"ORNSG_VideoBios", "ORNSG_VideoBios"}, "RNRNE"},
        {{"ORNSG_HeadOfVideoController", "ORNSG_MonitorSetting"}, "RNRNE"},
        {{"ornsg_videocontroller", "ORNSG_VideoController ", "ORNSG_Video"}, "RRRE"},
        {{"", "CIM_VideoController"}, "RRE"},
    };
    for (const auto& c : cases) {
        Host().Reset();
        std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
        for (const std::string& name : c.first) {
            classes.push_back(Class(name));
        }
        callbacks->GetData(Host().CreateQueryContext(), classes);
        std::string kinds;
        for (const std::string& text : LogAt(3)) {
            kinds += text.find("Received") != std::string::npos ? 'R'
                     : text.find("No instances") != std::string::npos ? 'N'
                     : text.find("Normal exit") != std::string::npos ? 'E' : '?';
        }
        EXPECT_EQ(c.second, kinds) << ::testing::PrintToString(c.first);
    }
}
