#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "collector/AssociationBuilder.h"
#include "support/HostFixture.h"

using NORNKVT20::TCIMValue;

namespace {

const std::string kSevenTabs = "\t\t\t\t\t\t\t";

TAssociationParameters MonitorSettingParameters()
{
    return {"ORNSG_DesktopMonitor",
            "DeviceID",
            "ORNSG_MonitorResolution",
            "SettingID",
            "Element",
            "Setting",
            "Monitor association encountered an error" + kSevenTabs +
                "enumerating CIM instances for ",
            PrefixRule};
}

class AssociationBuilderTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        requested = Class("ORNSG_MonitorSetting");
    }

    // Commits one instance of className with one string property.
    std::string Commit(const std::string& className, const std::string& key,
                       const std::string& value)
    {
        auto instance = Class(className)->CreateInstance(PropertyMap());
        instance->SetPropertyValue(key, TCIMValue(value), PropertyMap());
        instance->Commit(PropertyMap());
        return instance->GetReference(PropertyMap()).GetObjectPath();
    }

    // The (first, second) object paths of each association map, in order.
    std::vector<std::pair<std::string, std::string> > Build(const TAssociationParameters& parameters)
    {
        PropertyMap working;
        PropertyMapList maps =
            BuildAssociations(requested.get(), LogMessage::getInstance(), working, parameters);
        EXPECT_TRUE(working.empty());
        std::vector<std::pair<std::string, std::string> > pairs;
        for (const PropertyMap& map : maps) {
            EXPECT_EQ(2u, map.size());
            pairs.emplace_back(map.at(parameters.firstRole).GetReference().GetObjectPath(),
                               map.at(parameters.secondRole).GetReference().GetObjectPath());
        }
        return pairs;
    }

    boost::shared_ptr<NORNKVT20::ICIMClass> requested;
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

TEST_F(AssociationBuilderTest, PairsAreOrderedBySecondThenFirstInstance)
{
    std::string m1 = Commit("ORNSG_DesktopMonitor", "DeviceID", "DISPLAY\\A\\UID1");
    std::string m10 = Commit("ORNSG_DesktopMonitor", "DeviceID", "DISPLAY\\A\\UID10");
    std::string other = Commit("ORNSG_DesktopMonitor", "DeviceID", "DISPLAY\\B\\UID2");
    std::string r10 = Commit("ORNSG_MonitorResolution", "SettingID", "DISPLAY\\A\\UID10\\ Setting 1");
    std::string r1 = Commit("ORNSG_MonitorResolution", "SettingID", "DISPLAY\\A\\UID1\\ Setting 1");
    std::string middle = Commit("ORNSG_MonitorResolution", "SettingID", "x DISPLAY\\B\\UID2");

    std::vector<std::pair<std::string, std::string> > expected = {{m1, r10}, {m10, r10}, {m1, r1}};
    EXPECT_EQ(expected, Build(MonitorSettingParameters()));
    (void)other;
    (void)middle;
    EXPECT_TRUE(Log().empty());
}

TEST_F(AssociationBuilderTest, AnEmptyKeyMatchesEverySecondInstance)
{
    std::string empty = Commit("ORNSG_DesktopMonitor", "DeviceID", "");
    std::string a = Commit("ORNSG_MonitorResolution", "SettingID", "A");
    std::string b = Commit("ORNSG_MonitorResolution", "SettingID", "B");
    std::vector<std::pair<std::string, std::string> > expected = {{empty, a}, {empty, b}};
    EXPECT_EQ(expected, Build(MonitorSettingParameters()));
}
