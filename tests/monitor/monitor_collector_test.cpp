#include <algorithm>

#include "MonitorTesting.h"
#include "layout/DisplayLayout.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TestMonitor {
    std::string model;       // the device is DISPLAY\<model>\UID<position>
    Bytes edid;              // the "EDID" value
    std::string deviceDesc;  // the "DeviceDesc" value, none when empty
};

// A monitor's device node with its EDID and, unless empty, its description.
void AddMonitorDevice(machine::Machine& machine, const std::string& instanceId,
                      const std::string& model, const Bytes& edid, const std::string& deviceDesc)
{
    machine.devices.push_back(layout::DeviceNode(instanceId, {"MONITOR\\" + model}, {}));
    const std::string key = layout::kEnumKey + instanceId;
    machine.registry.Key(key + "\\Device Parameters").Set(layout::BinaryValue("EDID", edid));
    if (!deviceDesc.empty()) {
        machine.registry.Key(key).Set(layout::TextValue("DeviceDesc", deviceDesc));
    }
}

// A machine with two adapters that both list the monitors.
machine::Machine MachineOf(const std::vector<TestMonitor>& monitors)
{
    machine::Machine machine;
    machine.computer = "WS-0042";
    machine::Output adapter;
    adapter.id = "PCI";
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const TestMonitor& monitor = monitors[i];
        adapter.monitors.push_back({"M", "", 0, "MONITOR\\" + monitor.model + "\\{x}", ""});
        AddMonitorDevice(machine, "DISPLAY\\" + monitor.model + "\\UID" + std::to_string(i),
                         monitor.model, monitor.edid, monitor.deviceDesc);
    }
    for (const char* name : {"A1", "A2"}) {
        adapter.name = name;
        machine.outputs.push_back(adapter);
    }
    return machine;
}

Bytes ValidEdid()
{
    EdidBlock block;
    block.Set(8, {0x1E, 0x6D}).Set(35, {0x21});  // GSM; 800x600@60 and 640x480@60
    return block.Block();
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
    LoadMachine(MachineOf({{"A", ValidEdid(), "Vendor;"}, {"B", ValidEdid(), "Plain"},
                           {"C", ValidEdid(), ";"}, {"D", ValidEdid(), "a;b;c"},
                           {"E", version2.Block(), "x;Rejected"}, {"F", {}, ""}}));
    ASSERT_EQ(5u, Generate("ORNSG_DesktopMonitor"));
    EXPECT_EQ("|Plain|;|b;c|-|", Column("ORNSG_DesktopMonitor", "Description"));
    EXPECT_EQ("1.3|1.3|1.3|1.3|-|", Column("ORNSG_DesktopMonitor", "EDIDVersion"));
    EXPECT_EQ("DISPLAY\\A\\UID0|DISPLAY\\B\\UID1|DISPLAY\\C\\UID2|DISPLAY\\D\\UID3|DISPLAY\\F\\UID5|",
              Column("ORNSG_DesktopMonitor", "DeviceID"));
}

// Both adapters list both monitors; each is reported once.
TEST_F(MonitorCollectorTest, LinksEachMonitorToItsOwnResolutions)
{
    LoadMachine(MachineOf({{"GSM5B7F", ValidEdid(), ""}, {"DEL4087", ValidEdid(), ""}}));
    ASSERT_EQ(2u, Generate("ORNSG_DesktopMonitor"));
    ASSERT_EQ(4u, Generate("ORNSG_MonitorResolution"));
    EXPECT_EQ("DISPLAY\\GSM5B7F\\UID0\\ Setting 1|DISPLAY\\GSM5B7F\\UID0\\ Setting 2|"
              "DISPLAY\\DEL4087\\UID1\\ Setting 1|DISPLAY\\DEL4087\\UID1\\ Setting 2|",
              Column("ORNSG_MonitorResolution", "SettingID"));
    EXPECT_EQ(4u, Generate("ORNSG_MonitorSetting"));  // each resolution has exactly one monitor
}

// Every display descriptor a scan passes logs its tag at info level: the
// desktop-monitor request scans for the name (up to the first FC), the serial
// number (up to the first FF) and the range limits (all four); the resolution
// request scans up to the first detailed timing. Detailed timings log nothing.
TEST_F(MonitorCollectorTest, DescriptorTagLinesOfEachScan)
{
    const struct {
        const char* layout;
        EdidBlock block;
        std::string desktopTags;
        std::string resolutionTags;
    } cases[] = {
        {"timing, serial, name, range",
         EdidBlock().Timing(0, 0).Display(1, 0xFF, "S").Display(2, 0xFC, "N").Display(3, 0xFD, ""),
         "ff fc ff ff fc fd ", ""},
        {"name, range, serial, timing",
         EdidBlock().Display(0, 0xFC, "N").Display(1, 0xFD, "").Display(2, 0xFF, "S").Timing(3, 0),
         "fc fc fd ff fc fd ff ", "fc fd ff "},
        {"four empty display descriptors", EdidBlock(), "0 0 0 0 0 0 0 0 0 0 0 0 ", "0 0 0 0 "},
        {"untagged name (byte 2 set), then the name",
         EdidBlock().Display(0, 0xFC, "X").Set(56, {1}).Display(1, 0xFC, "N").Timing(2, 0).Timing(3, 0),
         "fc fc fc fc fc fc ", "fc fc "},
    };
    const std::string prefix = "Monitor Information EDID Tag: ";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.layout);
        StartRequest();
        LoadMachine(MachineOf({{"GSM5B7F", c.block.Block(), ""}}));
        for (const auto& request : {std::make_pair("ORNSG_DesktopMonitor", &c.desktopTags),
                                    std::make_pair("ORNSG_MonitorResolution", &c.resolutionTags)}) {
            StartRequest();
            Generate(request.first);
            std::string tags;
            for (const std::string& line : LogAt(3)) {
                if (line.compare(0, prefix.size(), prefix) == 0) {
                    tags += line.substr(prefix.size());  // the tag and its trailing space
                }
            }
            EXPECT_EQ(*request.second, tags) << request.first;
        }
    }
}

// Without adapters there are no monitors: each builder says so once.
TEST_F(MonitorCollectorTest, NoMonitorArrayWarnings)
{
    machine::Machine empty;
    empty.computer = "WS-0042";
    LoadMachine(empty);
    const struct {
        const char* className;
        const char* warning;
    } cases[] = {
        {"ORNSG_DesktopMonitor", "Monitor Info:Did not get monitor Array"},
        {"ORNSG_MonitorResolution", "Monitor Resolution:Could not get monitor Array"},
    };
    for (const auto& c : cases) {
        StartRequest();
        EXPECT_EQ(0u, Generate(c.className));
        EXPECT_EQ(std::vector<std::string>{c.warning}, LogAt(2)) << c.className;
    }
}

// An instance ID of 99 characters fits the configuration manager's buffer of
// 100; one of 100 does not, so the monitor is found without an ID. Its EDID
// would then be read below the bare enumeration key ("Enum\\Device
// Parameters"), which no registry holds: the monitor is left out with the
// registry reader's debug line, before its modes could miss a device ID.
TEST_F(MonitorCollectorTest, InstanceIdTooLongForItsBuffer)
{
    for (const std::size_t length : {99u, 100u}) {
        SCOPED_TRACE(length);
        machine::Machine machine = MachineOf({});
        machine.outputs.resize(1);
        machine.outputs[0].monitors.push_back({"M", "", 0, "MONITOR\\GSM5B7F\\{x}", ""});
        AddMonitorDevice(machine, "DISPLAY\\" + std::string(length - 13, 'M') + "\\UID0", "GSM5B7F",
                         ValidEdid(), "");
        StartRequest();
        LoadMachine(machine);
        const bool fits = length < 100;
        EXPECT_EQ(fits ? 2u : 0u, Generate("ORNSG_MonitorResolution"));
        EXPECT_EQ(std::vector<std::string>{}, LogAt(2));
        const std::vector<std::string> debug = LogAt(4);
        EXPECT_EQ(fits ? 0 : 1, std::count(debug.begin(), debug.end(),
                                           "The system cannot find the file specified.\r\n"));
    }
}

}  // namespace
