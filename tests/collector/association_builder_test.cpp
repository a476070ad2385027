#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "collector/AssociationBuilder.h"
#include "support/HostFixture.h"

using NORNKVT20::TCIMValue;

namespace {

class AssociationBuilderTest : public HostFixture {
protected:
    // Commits one instance of className with one string property.
    std::string Commit(const std::string& className, const std::string& key,
                       const std::string& value)
    {
        auto instance = Class(className)->CreateInstance(PropertyMap());
        instance->SetPropertyValue(key, TCIMValue(value), PropertyMap());
        instance->Commit(PropertyMap());
        return instance->GetReference(PropertyMap()).GetObjectPath();
    }

    // The (monitor, resolution) object paths of each monitor-setting map, in order.
    std::vector<std::pair<std::string, std::string> > Build()
    {
        const TAssociationParameters parameters = {
            "ORNSG_DesktopMonitor", "DeviceID", "ORNSG_MonitorResolution", "SettingID",
            "Element", "Setting", "error ", PrefixRule};
        PropertyMap working;
        PropertyMapList maps = BuildAssociations(Class("ORNSG_MonitorSetting").get(),
                                                 LogMessage::getInstance(), working, parameters);
        EXPECT_TRUE(working.empty());
        std::vector<std::pair<std::string, std::string> > pairs;
        for (const PropertyMap& map : maps) {
            EXPECT_EQ(2u, map.size());
            pairs.emplace_back(map.at("Element").GetReference().GetObjectPath(),
                               map.at("Setting").GetReference().GetObjectPath());
        }
        return pairs;
    }
};

}  // namespace

TEST(AssociationRuleTest, ContainmentAndPrefix)
{
    struct Case {
        const char* second;
        const char* first;
        bool contains;
        bool prefix;
    } cases[] = {
        {"ABC", "ABC", true, true},
        {"xABCy", "ABC", true, false},
        {"abc", "ABC", false, false},
        {"anything", "", true, true},
        {"", "", true, true},
        {"AB", "ABC", false, false},
        {"DISPLAY\\X\\UID10\\ Setting 1", "DISPLAY\\X\\UID1", true, true},
        {"DISPLAY\\X\\UID1\\ Setting 1", "DISPLAY\\X\\UID10", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.contains, ContainmentRule(c.second, c.first)) << c.second << " / " << c.first;
        EXPECT_EQ(c.prefix, PrefixRule(c.second, c.first)) << c.second << " / " << c.first;
    }
}

// Pairs come ordered by the second instance, then the first; an empty key
// matches every second instance.
TEST_F(AssociationBuilderTest, PairsAreOrderedBySecondThenFirstAndAnEmptyKeyMatchesAll)
{
    const std::string monitor = "ORNSG_DesktopMonitor", resolution = "ORNSG_MonitorResolution";
    std::string m1 = Commit(monitor, "DeviceID", "DISPLAY\\A\\UID1");
    std::string m10 = Commit(monitor, "DeviceID", "DISPLAY\\A\\UID10");
    Commit(monitor, "DeviceID", "DISPLAY\\B\\UID2");
    std::string r10 = Commit(resolution, "SettingID", "DISPLAY\\A\\UID10\\ Setting 1");
    std::string r1 = Commit(resolution, "SettingID", "DISPLAY\\A\\UID1\\ Setting 1");
    Commit(resolution, "SettingID", "x DISPLAY\\B\\UID2");
    std::vector<std::pair<std::string, std::string> > expected = {{m1, r10}, {m10, r10}, {m1, r1}};
    EXPECT_EQ(expected, Build());
    EXPECT_TRUE(Log().empty());

    StartRequest();
    std::string empty = Commit(monitor, "DeviceID", "");
    std::string a = Commit(resolution, "SettingID", "A");
    std::string b = Commit(resolution, "SettingID", "B");
    expected = {{empty, a}, {empty, b}};
    EXPECT_EQ(expected, Build());
}
