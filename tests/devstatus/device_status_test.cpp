#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "devstatus/DeviceStatus.h"
#include "support/HostFixture.h"

namespace {

// An array property as "a,b:type", or "absent".
std::string Elements(const PropertyMap& map, const std::string& name)
{
    const auto entry = map.find(name);
    return entry == map.end() ? "absent"
                              : entry->second.ToString() + ":" + entry->second.GetType().GetName();
}

}  // namespace

class DeviceStatusTest : public HostFixture {
protected:
    // GetDeviceInstanceId's identifier, "kept" when it left it alone,
    // "not found" when it failed.
    std::string InstanceId(const std::string& idText, const char* pattern = nullptr)
    {
        std::string id = "kept";
        const int result = pattern != nullptr ? status.GetDeviceInstanceId(idText, pattern, id)
                                              : status.GetDeviceInstanceId(idText, id);
        return result == 0 ? id : "not found";
    }

    TDeviceStatus status;
};

TEST_F(DeviceStatusTest, StatusBitsAndProblemNumbersGiveDescriptionsAndValues)
{
    struct Case {
        unsigned long status;
        unsigned long problem;
        const char* descriptions;
        const char* values;
    };
    const Case cases[] = {
        {0x8, 0, "Device is started:string[]", "2:uint16[]"},
        {0x0, 0, "Device is not started:string[]", "0:uint16[]"},
        {0x400, 22, "Device is disabled:string[]", "0:uint16[]"},
        {0x408, 29, "Device disabled,Device is started:string[]", "6,2:uint16[]"},
        {0x8000, 0, "Device has private problem.:string[]", ":uint16[]"},
        {0x8408, 2, "Service load failed,Device has private problem.,Device is started:string[]",
         "16,2:uint16[]"},
        {0x400, 51, ":string[]", ":uint16[]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.descriptions);
        LoadMachine(R"({"devices": [{"instanceId": "PCI\\A\\0",
                        "hardwareIds": ["PCI\\VEN_1234&DEV_1"], "status": )" +
                    std::to_string(c.status) + R"(, "problem": )" + std::to_string(c.problem) +
                    "}]}");
        const PropertyMap properties = status.GetDeviceStatus("pci\\ven_1234");
        EXPECT_EQ(c.descriptions, Elements(properties, "StatusDescriptions"));
        EXPECT_EQ(c.values, Elements(properties, "OperationalStatus"));
    }
    EXPECT_TRUE(Log().empty());
}

TEST_F(DeviceStatusTest, UnknownStateGivesAnEmptyMap)
{
    LoadMachine(R"({"devices": [{"instanceId": "PCI\\A\\0", "hardwareIds": ["PCI\\VEN_1"],
                                 "statusFails": true}]})");
    EXPECT_TRUE(status.GetDeviceStatus("PCI\\VEN_1").empty());
    EXPECT_TRUE(status.GetDeviceStatus("PCI\\VEN_2").empty());
    EXPECT_EQ(std::vector<std::string>{"Could not find information list or status."}, LogAt(2));

    LoadMachine(R"({"devices": [{"instanceId": "PCI\\A\\0", "hardwareIds": ["PCI\\VEN_1"]}],
                    "faults": {"classDevs": true}})");
    EXPECT_TRUE(status.GetDeviceStatus("PCI\\VEN_1").empty());
    EXPECT_EQ("not found", InstanceId("PCI\\VEN_1"));
}

TEST_F(DeviceStatusTest, PatternIsACaseInsensitivePrefixOfAHardwareOrCompatibleId)
{
    const std::string longId = std::string(95, 'L');
    LoadMachine(R"({"devices": [
        {"instanceId": "PCI\\FIRST\\0", "hardwareIds": ["PCI\\VEN_1234&DEV_5678&SUBSYS_1"]},
        {"instanceId": "DISPLAY\\GSM5B7F\\1", "hardwareIds": ["MONITOR\\GSM5B7F"],
         "compatibleIds": ["*PNP09FF"]},
        {"instanceId": "PCI\\SECOND\\0", "hardwareIds": ["PCI\\VEN_1234&DEV_5678&SUBSYS_2"]},
        {"instanceId": "PCI\\)" + longId + R"(", "hardwareIds": ["PCI\\FITS"]},
        {"instanceId": "PCI\\)" + longId + R"(X", "hardwareIds": ["PCI\\TOO_LONG"]}]})");
    const std::pair<const char*, std::string> cases[] = {
        {"PCI\\VEN_1234&DEV_5678", "PCI\\SECOND\\0"},  // the last match wins
        {"pci\\ven_1234&dev_5678&subsys_1", "PCI\\FIRST\\0"},
        {"*pnp09ff", "DISPLAY\\GSM5B7F\\1"},
        {"VEN_1234", "not found"},
        {"PCI\\FITS", "PCI\\" + longId},
        {"PCI\\TOO_LONG", "kept"},  // 100 characters do not fit
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, InstanceId("DISPLAY\\", c.first)) << c.first;
        EXPECT_EQ(c.second, InstanceId(c.first)) << c.first;
    }
}
