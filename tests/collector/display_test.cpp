#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "collector/Display.h"
#include "support/HostFixture.h"
#include "support/RecordingHost.h"

using NORNKVT20::ICIMInstance;
using NORNKVT20::TCIMValue;

namespace {

// A collector that commits the maps it is given, under the name it is given.
class MapCollector : public TDisplay {
public:
    MapCollector(boost::shared_ptr<NORNKVT20::ICIMClass> cls, PropertyMapList maps)
        : TDisplay(cls), m_maps(maps)
    {
    }
    std::vector<ICIMInstance*> generateInstances(std::string className) override
    {
        receivedName = className;
        std::vector<ICIMInstance*> result;
        for (const PropertyMap& map : m_maps) {
            result.push_back(generateCIMInstance(map, className));
        }
        return result;
    }
    using TDisplay::generateCIMInstance;
    std::string receivedName;

private:
    PropertyMapList m_maps;
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
    MapCollector collector(cls, PropertyMapList());
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
        MapCollector collector(cls, PropertyMapList());
        ICIMInstance* instance = collector.generateCIMInstance(PropertyMap(), c.className);
        EXPECT_NE(nullptr, instance) << c.className;
        bool committed = !cls->calls.empty() && cls->calls.back() == "Commit";
        EXPECT_EQ(c.committed, committed) << c.className;
    }
}

class DisplayStoreTest : public HostFixture {};

TEST_F(DisplayStoreTest, RetrieveInstancesHandsOverTheClassNameAndCommitsInOrder)
{
    auto cls = Class("ORNSG_VideoBios");  // the request keeps its classes alive
    MapCollector collector(cls,
                           {MapOf({{"Version", "A"}}), PropertyMap(), MapOf({{"Version", "B"}})});
    std::vector<ICIMInstance*> instances = collector.retrieveInstances();
    EXPECT_EQ("ORNSG_VideoBios", collector.receivedName);
    EXPECT_EQ(3u, instances.size());

    auto committed = Committed("ORNSG_VideoBios");
    ASSERT_EQ(3u, committed.size());
    EXPECT_EQ("A", FindProperty(committed[0], "Version")->elements.at(0));
    EXPECT_EQ(nullptr, FindProperty(committed[1], "Version"));
    EXPECT_EQ("B", FindProperty(committed[2], "Version")->elements.at(0));
    EXPECT_EQ(std::vector<std::string>(3, "TDisplay::generateCIMInstance - Generating CIM instance "
                                          "for class ORNSG_VideoBios."),
              LogAt(4));
}
