#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "collector/Display.h"
#include "host/Host.h"
#include "support/RecordingHost.h"

using NORNKVT20::ICIMInstance;
using NORNKVT20::TCIMValue;

namespace {

// A collector that only opens generateCIMInstance to the tests.
class MapCollector : public TDisplay {
public:
    using TDisplay::TDisplay;
    std::vector<ICIMInstance*> generateInstances(std::string) override { return {}; }
    using TDisplay::generateCIMInstance;
};

PropertyMap MapOf(std::initializer_list<std::pair<const char*, const char*> > entries)
{
    PropertyMap map;
    for (const auto& entry : entries) {
        map[entry.first] = TCIMValue(entry.second);
    }
    return map;
}

}  // namespace

TEST(AddPropertyTest, NullIsNeverRecordedAndTheFirstValueStands)
{
    PropertyMap map;
    addProperty(map, "Name", TCIMValue());
    EXPECT_TRUE(map.empty());

    addProperty(map, "Name", TCIMValue("first"));
    addProperty(map, "Name", TCIMValue("second"));
    addProperty(map, "Name", TCIMValue());
    ASSERT_EQ(1u, map.size());
    EXPECT_EQ("first", map["Name"].ToString());
}

TEST(GenerateCIMInstanceTest, SetsPropertiesInByteOrderThenCommits)
{
    auto cls = boost::make_shared<RecordingClass>("ORNSG_VideoHead");
    MapCollector collector(cls);
    collector.generateCIMInstance(MapOf({{"SystemName", "s"}, {"name", "n"}, {"DeviceID", "d"},
                                         {"Name", "N"}, {"CreationClassName", "c"}}),
                                  "ORNSG_VideoHead");
    std::vector<std::string> expected = {"Create",        "Set CreationClassName", "Set DeviceID",
                                         "Set Name",      "Set SystemName",        "Set name",
                                         "Commit"};
    EXPECT_EQ(expected, cls->calls);
}

TEST(GenerateCIMInstanceTest, CommitsOnlyForTheExactRequestedName)
{
    struct Case {
        const char* className;
        bool committed;
    } cases[] = {
        {"ORNSG_VideoHead", true},
        {"ornsg_videohead", false},
        {"ORNSG_VideoHead ", false},
        {"ORNSG_VideoController", false},
    };
    for (const Case& c : cases) {
        auto cls = boost::make_shared<RecordingClass>("ORNSG_VideoHead");
        MapCollector collector(cls);
        ICIMInstance* instance = collector.generateCIMInstance(PropertyMap(), c.className);
        EXPECT_NE(nullptr, instance) << c.className;
        bool committed = !cls->calls.empty() && cls->calls.back() == "Commit";
        EXPECT_EQ(c.committed, committed) << c.className;
    }
}
