#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>

#include "collector/Display.h"
#include "host/Host.h"
#include "support/RecordingHost.h"

namespace {

// A collector that only opens generateCIMInstance to the tests.
class MapCollector : public TDisplay {
public:
    using TDisplay::TDisplay;
    std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string) override { return {}; }
    using TDisplay::generateCIMInstance;
};

}  // namespace

// Properties are set in byte order of their names, and the instance is
// committed only when made for exactly the requested class.
TEST(GenerateCIMInstanceTest, SetsPropertiesInByteOrderAndCommitsOnlyForTheRequestedName)
{
    const std::vector<std::string> sets = {"Set CreationClassName", "Set DeviceID", "Set Name",
                                           "Set SystemName", "Set name"};
    for (const char* className :
         {"ORNSG_VideoHead", "ornsg_videohead", "ORNSG_VideoHead ", "ORNSG_VideoController"}) {
        auto cls = boost::make_shared<RecordingClass>("ORNSG_VideoHead");
        PropertyMap map;
        for (const char* name : {"SystemName", "name", "DeviceID", "Name", "CreationClassName"}) {
            map[name] = NORNKVT20::TCIMValue(name);
        }
        EXPECT_NE(nullptr, MapCollector(cls).generateCIMInstance(map, className));
        std::vector<std::string> expected = {"Create"};
        expected.insert(expected.end(), sets.begin(), sets.end());
        if (std::string(className) == "ORNSG_VideoHead") {
            expected.push_back("Commit");
        }
        EXPECT_EQ(expected, cls->calls) << className;
    }
}

// The first non-null value recorded under a name stands: a later value,
// null or not, changes nothing, and a null value records nothing.
TEST(AddPropertyTest, TheFirstNonNullValueStands)
{
    using NORNKVT20::TCIMValue;
    const struct {
        std::vector<TCIMValue> values;  // added in turn under one name
        const char* expected;           // the text kept, or nullptr for none
    } cases[] = {
        {{TCIMValue("first"), TCIMValue("second")}, "first"},
        {{TCIMValue(), TCIMValue("later")}, "later"},
        {{TCIMValue("kept"), TCIMValue()}, "kept"},
        {{TCIMValue()}, nullptr},
        {{TCIMValue(""), TCIMValue("not empty")}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        PropertyMap map;
        map["Other"] = TCIMValue("untouched");
        for (const TCIMValue& value : c.values) {
            addProperty(map, "Name", value);
        }
        EXPECT_EQ(std::string(map.at("Other")), "untouched");
        ASSERT_EQ(map.count("Name"), c.expected != nullptr ? 1u : 0u);
        if (c.expected != nullptr) {
            EXPECT_EQ(std::string(map.at("Name")), c.expected);
        }
    }
}
