#include "MonitorTesting.h"

namespace {

const int kWarning = 2;

struct TestMonitor {
    std::string model;       // the device is DISPLAY\<model>\UID<position>
    std::string edidHex;     // the "EDID" value
    std::string deviceDesc;  // the "DeviceDesc" value, none when empty
};

// A JSON string holding text.
std::string Str(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return quoted + "\"";
}

// A machine whose adapters all list the same monitors.
std::string MachineJson(const std::vector<TestMonitor>& monitors, int adapters = 1)
{
    std::string monitorList, devices, registry;
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const std::string& model = monitors[i].model;
        const std::string instanceId = "DISPLAY\\" + model + "\\UID" + std::to_string(i);
        const std::string key = "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId;
        const std::string sep = i ? ", " : "";
        monitorList += sep + "{\"deviceName\": " + Str("\\\\.\\DISPLAY1\\Monitor0") +
                       ", \"deviceID\": " + Str("MONITOR\\" + model + "\\{4d36e96e}\\0001") + "}";
        devices += sep + "{\"instanceId\": " + Str(instanceId) + ", \"hardwareIds\": [" +
                   Str("MONITOR\\" + model) + "], \"status\": 25174026}";
        registry += sep + Str(key + "\\Device Parameters") +
                    ": {\"EDID\": {\"type\": \"REG_BINARY\", \"hex\": " + Str(monitors[i].edidHex) +
                    "}}";
        if (!monitors[i].deviceDesc.empty()) {
            registry += ", " + Str(key) + ": {\"DeviceDesc\": {\"type\": \"REG_SZ\", \"string\": " +
                        Str(monitors[i].deviceDesc) + "}}";
        }
    }
    std::string adapterList;
    for (int a = 1; a <= adapters; ++a) {
        adapterList += std::string(a > 1 ? ", " : "") +
                       "{\"deviceName\": " + Str("\\\\.\\DISPLAY" + std::to_string(a)) +
                       ", \"deviceID\": \"PCI\\\\VEN_10DE\", \"monitors\": [" + monitorList + "]}";
    }
    return "{\"computerName\": \"WS-0042\", \"displayDevices\": [" + adapterList +
           "], \"devices\": [" + devices + "], \"registry\": {" + registry + "}}";
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

TEST_F(MonitorCollectorTest, ReportsAMonitorSeenThroughTwoAdaptersOnce)
{
    LoadMachine(MachineJson({{"GSM5B7F", ValidEdid(), "@monitor.inf,%desc%;Generic PnP"}}, 2));
    ASSERT_EQ(1u, Generate("ORNSG_DesktopMonitor"));
    std::string text;
    for (const char* name : {"DeviceID", "Description", "OperationalStatus", "StatusDescriptions",
                             "MonitorManufacturer", "SystemCreationClassName", "SystemName",
                             "CreationClassName"}) {
        text += Column("ORNSG_DesktopMonitor", name);
    }
    EXPECT_EQ("DISPLAY\\GSM5B7F\\UID0|Generic PnP|2|Device is started|GSM|CIM_ComputerSystem|"
              "WS-0042|ORNSG_DesktopMonitor|",
              text);
}

TEST_F(MonitorCollectorTest, DescriptionIsTheTextAfterTheFirstSemicolon)
{
    const std::pair<const char*, const char*> cases[] = {
        {"@monitor.inf,%x%;Generic", "Generic|"}, {"Vendor;", "|"}, {"Plain", "Plain|"},
        {";", ";|"}, {"a;b;c", "b;c|"}};
    for (const auto& c : cases) {
        Host().Reset();
        LoadMachine(MachineJson({{"GSM5B7F", ValidEdid(), c.first}}));
        Generate("ORNSG_DesktopMonitor");
        EXPECT_EQ(c.second, Column("ORNSG_DesktopMonitor", "Description")) << c.first;
    }
}

TEST_F(MonitorCollectorTest, RejectedMonitorLeavesNothingForTheNext)
{
    EdidBlock version2;
    version2.Set(18, {2});
    LoadMachine(MachineJson({{"GSM5B7F", version2.Hex(), "x;Rejected"}, {"DEL4087", "", ""}}));
    ASSERT_EQ(1u, Generate("ORNSG_DesktopMonitor"));
    EXPECT_EQ("DISPLAY\\DEL4087\\UID1|", Column("ORNSG_DesktopMonitor", "DeviceID"));
    EXPECT_EQ("-|", Column("ORNSG_DesktopMonitor", "Description"));
    EXPECT_EQ("-|", Column("ORNSG_DesktopMonitor", "EDIDVersion"));  // empty value: not decoded
    EXPECT_EQ(std::vector<std::string>{"EDID structure for monitor is not valid or not supported"},
              LogAt(kWarning));
}

TEST_F(MonitorCollectorTest, HostFailureCostsOnlyThatInstance)
{
    const std::string edid = ValidEdid();
    LoadMachine(MachineJson({{"A", edid, ""}, {"B", edid, ""}, {"C", edid, ""}}));
    Host().InjectFault("CreateInstance", 2, "x");
    EXPECT_EQ(2u, Generate("ORNSG_DesktopMonitor"));
    EXPECT_EQ("DISPLAY\\A\\UID0|DISPLAY\\C\\UID2|", Column("ORNSG_DesktopMonitor", "DeviceID"));
    const std::string warning = "Monitor encountered an error\t\t\t\t\t\t\t\t generating CIM "
                                "instances. Error Code: x";
    EXPECT_EQ(std::vector<std::string>{warning}, LogAt(kWarning));
}

TEST_F(MonitorCollectorTest, LinksEachMonitorToItsOwnResolutions)
{
    LoadMachine(MachineJson({{"GSM5B7F", ValidEdid(), ""}, {"DEL4087", ValidEdid(), ""}}));
    ASSERT_EQ(2u, Generate("ORNSG_DesktopMonitor"));
    ASSERT_EQ(4u, Generate("ORNSG_MonitorResolution"));
    EXPECT_EQ("DISPLAY\\GSM5B7F\\UID0\\ Setting 1|DISPLAY\\GSM5B7F\\UID0\\ Setting 2|"
              "DISPLAY\\DEL4087\\UID1\\ Setting 1|DISPLAY\\DEL4087\\UID1\\ Setting 2|",
              Column("ORNSG_MonitorResolution", "SettingID"));
    EXPECT_EQ("800|640|800|640|", Column("ORNSG_MonitorResolution", "HorizontalResolution"));

    // Each resolution belongs to exactly one monitor.
    EXPECT_EQ(4u, Generate("ORNSG_MonitorSetting"));
}

TEST_F(MonitorCollectorTest, WarnsWhenThereIsNoMonitor)
{
    EXPECT_EQ(0u, Generate("ORNSG_DesktopMonitor"));
    EXPECT_EQ(0u, Generate("ORNSG_MonitorResolution"));
    EXPECT_EQ(0u, Generate("ornsg_DesktopMonitor"));  // names are compared exactly
    EXPECT_EQ((std::vector<std::string>{"Monitor Info:Did not get monitor Array",
                                        "Monitor Resolution:Could not get monitor Array"}),
              LogAt(kWarning));
}

}  // namespace
