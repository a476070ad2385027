#include "MonitorTesting.h"

namespace {

struct TestMonitor {
    std::string model;       // the device is DISPLAY\<model>\UID<position>
    std::string edidHex;     // the "EDID" value
    std::string deviceDesc;  // the "DeviceDesc" value, none when empty
};

// A machine with two adapters that both list the monitors.
std::string MachineJson(const std::vector<TestMonitor>& monitors)
{
    std::string monitorList, devices, registry;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const std::string model = monitors[i].model, sep = i ? ", " : "";
        const std::string id = R"(DISPLAY\\)" + model + R"(\\UID)" + std::to_string(i);
        const std::string key = R"("SYSTEM\\CurrentControlSet\\Enum\\)" + id;
        monitorList += sep + R"({"deviceName": "M", "deviceID": "MONITOR\\)" + model + R"(\\{x}"})";
        devices += sep + R"({"instanceId": ")" + id + R"(", "hardwareIds": ["MONITOR\\)" + model +
                   R"("]})";
        registry += sep + key + R"(\\Device Parameters": {"EDID": {"type": "REG_BINARY", )" +
                    R"("hex": ")" + monitors[i].edidHex + R"("}})";
        if (!monitors[i].deviceDesc.empty()) {
            registry += ", " + key + R"(": {"DeviceDesc": {"type": "REG_SZ", "string": ")" +
                        monitors[i].deviceDesc + R"("}})";
        }
    }
    const std::string adapter = R"(", "deviceID": "PCI", "monitors": [)" + monitorList + "]}";
    return R"({"computerName": "WS-0042", "displayDevices": [{"deviceName": "A1)" + adapter +
           R"(, {"deviceName": "A2)" + adapter + R"(], "devices": [)" + devices +
           R"(], "registry": {)" + registry + "}}";
}

std::string ValidEdid()
{
    EdidBlock block;
    block.Set(8, {0x1E, 0x6D}).Set(35, {0x21});  // GSM; 800x600@60 and 640x480@60
    return block.Hex();
}

class MonitorCollectorTest : public MonitorFixture {
protected:
    std::size_t Generate(const std::string& className)
    {
        return Collector(className).retrieveInstances().size();
    }
    // A property of each committed instance of a class, each followed by "|"
    // ("-" when absent).
    std::string Column(const std::string& className, const std::string& name)
    {
        std::string texts;
        for (const auto& instance : Committed(className)) {
            const NORNKVT20::TPropertySnapshot* property = FindProperty(instance, name);
            texts += (property == nullptr ? "-" : property->elements.at(0)) + "|";
        }
        return texts;
    }
};

// The description is the text after the first semicolon; a rejected monitor
// leaves nothing for the next, whose empty EDID value is not decoded.
TEST_F(MonitorCollectorTest, DescriptionsAndARejectedMonitor)
{
    EdidBlock version2;
    version2.Set(18, {2});
    LoadMachine(MachineJson({{"A", ValidEdid(), "Vendor;"}, {"B", ValidEdid(), "Plain"},
                             {"C", ValidEdid(), ";"}, {"D", ValidEdid(), "a;b;c"},
                             {"E", version2.Hex(), "x;Rejected"}, {"F", "", ""}}));
    ASSERT_EQ(5u, Generate("ORNSG_DesktopMonitor"));
    EXPECT_EQ("|Plain|;|b;c|-|", Column("ORNSG_DesktopMonitor", "Description"));
    EXPECT_EQ("1.3|1.3|1.3|1.3|-|", Column("ORNSG_DesktopMonitor", "EDIDVersion"));
    EXPECT_EQ("DISPLAY\\A\\UID0|DISPLAY\\B\\UID1|DISPLAY\\C\\UID2|DISPLAY\\D\\UID3|DISPLAY\\F\\UID5|",
              Column("ORNSG_DesktopMonitor", "DeviceID"));
}

// Both adapters list both monitors; each is reported once.
TEST_F(MonitorCollectorTest, LinksEachMonitorToItsOwnResolutions)
{
    LoadMachine(MachineJson({{"GSM5B7F", ValidEdid(), ""}, {"DEL4087", ValidEdid(), ""}}));
    ASSERT_EQ(2u, Generate("ORNSG_DesktopMonitor"));
    ASSERT_EQ(4u, Generate("ORNSG_MonitorResolution"));
    EXPECT_EQ("DISPLAY\\GSM5B7F\\UID0\\ Setting 1|DISPLAY\\GSM5B7F\\UID0\\ Setting 2|"
              "DISPLAY\\DEL4087\\UID1\\ Setting 1|DISPLAY\\DEL4087\\UID1\\ Setting 2|",
              Column("ORNSG_MonitorResolution", "SettingID"));
    EXPECT_EQ(4u, Generate("ORNSG_MonitorSetting"));  // each resolution has exactly one monitor
}

}  // namespace
