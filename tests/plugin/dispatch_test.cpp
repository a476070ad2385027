// The frame serves exactly the names of its table, each time it is asked;
// displayinfo refuses other names before they reach it, so they are sent
// here directly.
#include <string>
#include <utility>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "plugin/DisplayInfoCallbacks.h"
#include "support/HostFixture.h"

class DispatchTest : public HostFixture {};

TEST_F(DispatchTest, UnknownAndServedClassesAreLoggedInRequestOrder)
{
    const std::pair<const char*, bool> classes[] = {
        {"ORNSG_VideoController", true},  {"Foo", false},
        {"ornsg_videocontroller", false}, {"ORNSG_VideoController ", false},
        {"", false},                      {"ORNSG_Video", false},
        {"ORNSG_MonitorSetting", true},   {"ORNSG_MonitorSetting", true}};
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > request;
    std::vector<std::string> expected;
    for (const auto& c : classes) {
        request.push_back(Class(c.first));
        expected.push_back(std::string("TDisplayInfoCallbacks::GetData - Received request for class ") +
                           c.first + ".");
        if (c.second) {
            expected.push_back("TDisplayInfoCallbacks::retrieveDataForClass - No instances of the "
                               "requested class were created.");
        }
    }
    expected.push_back("TDisplayInfoCallbacks::GetData - Normal exit from plugin.");

    TDisplayInfoCallbacks* callbacks = new TDisplayInfoCallbacks();
    callbacks->GetData(HostRequest().GetQueryContext(), request);
    callbacks->Destroy();
    EXPECT_EQ(expected, LogAt(3));
    EXPECT_TRUE(Committed().empty());
}
