// The video collector over described machines.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "layout/DisplayLayout.h"
#include "support/HostFixture.h"
#include "video/VideoInfo.h"

namespace {

const char* const kDriverKey = "\\Registry\\Machine\\System\\Video\\";

// Output \\.\DISPLAYn of adapter id whose driver key is the kernel path key.
machine::Output Out(unsigned n, const std::string& id, std::uint32_t flags = 1,
                    const std::string& key = std::string(kDriverKey) + "0")
{
    machine::Output output;
    output.name = layout::OutputName(n);
    output.description = "Example Graphics";
    output.flags = flags;
    output.id = id;
    output.key = key;
    return output;
}

machine::DisplayMode Mode(std::uint32_t frequency, std::uint32_t flags = 0)
{
    return machine::DisplayMode{32, 1920, 1080, frequency, flags};
}

machine::Output WithModes(machine::Output output, std::vector<machine::DisplayMode> modes)
{
    output.modes = std::move(modes);
    return output;
}

machine::Output WithCurrent(machine::Output output, machine::DisplayMode current)
{
    output.current = current;
    return output;
}

// driverValues are the values of the driver key SYSTEM\Video\0.
machine::Machine Machine(std::vector<machine::Output> outputs,
                         std::vector<machine::RegistryValue> driverValues = {})
{
    machine::Machine machine;
    machine.computer = "WS-0042";
    machine.outputs = std::move(outputs);
    machine.registry.Key("SYSTEM\\Video\\0").values = std::move(driverValues);
    return machine;
}

// One property as "value:type", array elements joined by "|", or "absent".
std::string Value(const NORNKVT20::TInstanceSnapshot& instance, const std::string& name)
{
    const NORNKVT20::TPropertySnapshot* property = FindProperty(instance, name);
    if (property == nullptr) {
        return "absent";
    }
    std::string values;
    for (const std::string& element : property->elements) {
        values += (&element == &property->elements.front() ? "" : "|") + element;
    }
    return values + ":" + property->typeName;
}

}  // namespace

class VideoCollectorTest : public HostFixture {
protected:
    // One request through a fresh collector, as the dispatch makes it; gives
    // the instances of the class that it committed.
    std::vector<NORNKVT20::TInstanceSnapshot> Request(const std::string& className)
    {
        const std::size_t before = Committed(className).size();
        // The collector keeps a plain pointer; the request owns the class.
        const boost::shared_ptr<NORNKVT20::ICIMClass> cls = Class(className);
        TVideoInfo collector(cls);
        collector.retrieveInstances();
        const auto all = Committed(className);
        return std::vector<NORNKVT20::TInstanceSnapshot>(all.begin() + before, all.end());
    }
    // One property of each instance a request commits.
    std::vector<std::string> Values(const std::string& className, const std::string& name)
    {
        std::vector<std::string> values;
        for (const auto& instance : Request(className)) {
            values.push_back(Value(instance, name));
        }
        return values;
    }
};

TEST_F(VideoCollectorTest, OutputsWithoutDeviceIdAreSkippedOnlyWhenAnotherHasOne)
{
    // The probe looks past the first output, and the identifier test comes
    // before the attachment test.
    LoadMachine(Machine({Out(1, "", 0), Out(2, ""), Out(3, "VEN_1")}));
    EXPECT_EQ(std::vector<std::string>{"VEN_1:string"}, Values(VideoClass::Head, "DisplayId"));
    EXPECT_EQ(std::vector<std::string>(2, "TVideoInfo::GetVideoInfo: DeviceID is empty"), LogAt(3));

    StartRequest();
    LoadMachine(Machine({Out(1, ""), Out(2, ""), Out(3, "", 0)}));
    EXPECT_EQ(2u, Request(VideoClass::Head).size());
    EXPECT_EQ(1u, Request(VideoClass::Controller).size());
}

TEST_F(VideoCollectorTest, HardwareInformationComesFromMachinePathsOfTheDriverKey)
{
    const std::vector<machine::RegistryValue> values = {
        layout::TextValue("HardwareInformation.BiosString", "94.02"),
        layout::DwordValue("HardwareInformation.ChipType", 7),
        layout::BinaryValue("HardwareInformation.DacType", {0, 0}),
        layout::BinaryValue("HardwareInformation.AdapterString",
                            {'E', 0, 'x', 0, 'a', 0, 'm', 0, 'p', 0, 'l', 0, 'e', 0, 0, 0}),
        layout::BinaryValue("HardwareInformation.MemorySize", {0, 0, 0, 0x40})};
    LoadMachine(Machine({Out(1, "VEN_1", 1, "\\REGISTRY\\MACHINE\\SYSTEM\\VIDEO\\0"),
                         Out(2, "VEN_2", 1, "\\Registry\\User\\System\\Video\\0"),
                         Out(3, "VEN_3", 1, "\\Registry\\Machine\\Software\\Video\\0")},
                        values));
    EXPECT_EQ((std::vector<std::string>{"94.02:string", "absent", "absent"}),
              Values(VideoClass::Head, "BiosString"));
    const auto controller = Request(VideoClass::Controller).at(0);
    // A text stored as a number, or as binary zeros, is an empty text.
    EXPECT_EQ((std::vector<std::string>{":string", ":string", "Example:string",
                                        "1073741824:uint32"}),
              (std::vector<std::string>{
                  Value(controller, "VideoProcessor"), Value(controller, "DACType"),
                  Value(controller, "AdapterString"), Value(controller, "VideoRamSize")}));
}

TEST_F(VideoCollectorTest, DisplayModeOfEachOutput)
{
    machine::Output withMonitors = WithCurrent(Out(5, "E"), Mode(50, 1));
    withMonitors.monitors = {{"M0", "A", 0, "", ""}, {"M1", "B", 0, "", ""}};
    LoadMachine(Machine({WithModes(Out(1, "A"), {Mode(100), Mode(60), Mode(75), Mode(85)}),
                         WithModes(Out(2, "B"), {Mode(60), Mode(0), Mode(1)}),
                         WithModes(Out(3, "C"), {Mode(60), Mode(70000), Mode(1)}),
                         WithCurrent(Out(4, "D"), Mode(50, 2)), withMonitors}));
    // Mode 0 does not count towards the refresh range, nor do rates 0 and 1.
    const char* const expected[] = {
        "60:uint32 85:uint32 absent absent", "absent absent absent absent",
        "absent 70000:uint32 absent absent", "absent absent 3:uint16 absent",
        "absent absent 4:uint16 A|B:string[]"};
    const auto heads = Request(VideoClass::Head);
    ASSERT_EQ(5u, heads.size());
    for (std::size_t i = 0; i < heads.size(); ++i) {
        std::string text;
        for (const char* name :
             {"MinRefreshRate", "MaxRefreshRate", "CurrentScanMode", "MonitorString"}) {
            text += (text.empty() ? "" : " ") + Value(heads[i], name);
        }
        EXPECT_EQ(expected[i], text) << "head " << i;
    }
}

// Controllers and BIOS entries pair when the BIOS version contains the
// controller's BIOS string anywhere, not only at its start: a BIOS string
// found inside another one links that BIOS to both controllers.
TEST_F(VideoCollectorTest, BiosLinksWhereverOneStringContainsTheOther)
{
    machine::Machine machine = Machine(
        {Out(1, "VEN_1"), Out(2, "VEN_2", 1, std::string(kDriverKey) + "1")},
        {layout::TextValue("HardwareInformation.BiosString", "BIOS 2.1")});
    machine.registry.Key("SYSTEM\\Video\\1")
        .Set(layout::TextValue("HardwareInformation.BiosString", "Vendor BIOS 2.1 build 7"));
    LoadMachine(machine);
    ASSERT_EQ(2u, Request(VideoClass::Controller).size());
    ASSERT_EQ(2u, Request(VideoClass::Bios).size());
    std::vector<std::string> pairs;
    for (const auto& link : Request(VideoClass::BiosOfController)) {
        pairs.push_back(Value(link, "Antecedent") + " -> " + Value(link, "Dependent"));
    }
    EXPECT_EQ(3u, pairs.size()) << ::testing::PrintToString(pairs);
}
