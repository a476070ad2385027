// The video collector over described machines. JSON fragments are
// written as raw strings, so "\\" in them is one backslash of the value.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/HostFixture.h"
#include "video/VideoInfo.h"

namespace {

// Output \\.\DISPLAYn of adapter id; extra adds members such as "modes".
std::string Out(int n, const std::string& id, int flags = 1, const std::string& extra = "",
                const std::string& key = R"(\\Registry\\Machine\\System\\Video\\0)")
{
    return R"({"deviceName": "\\\\.\\DISPLAY)" + std::to_string(n) +
           R"(", "deviceString": "Example Graphics", "stateFlags": )" + std::to_string(flags) +
           R"(, "deviceID": ")" + id + R"(", "deviceKey": ")" + key + "\"" + extra + "}";
}

std::string Mode(unsigned frequency, unsigned flags = 0)
{
    return R"({"bitsPerPel": 32, "pelsWidth": 1920, "pelsHeight": 1080, "displayFrequency": )" +
           std::to_string(frequency) + R"(, "displayFlags": )" + std::to_string(flags) + "}";
}

// driverValues are the members of the driver key SYSTEM\Video\0.
std::string Machine(const std::vector<std::string>& outputs, const std::string& driverValues = "",
                    const std::string& devices = "")
{
    std::string json = R"({"computerName": "WS-0042", "displayDevices": [)";
    for (const std::string& output : outputs) {
        json += (&output == &outputs.front() ? "" : ", ") + output;
    }
    return json + R"(], "registry": {"SYSTEM\\Video\\0": {)" + driverValues +
           R"(}}, "devices": [)" + devices + "]}";
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
    const std::string values = R"(
        "HardwareInformation.BiosString": {"type": "REG_SZ", "string": "94.02"},
        "HardwareInformation.ChipType": {"type": "REG_DWORD", "dword": 7},
        "HardwareInformation.DacType": {"type": "REG_BINARY", "hex": "00 00"},
        "HardwareInformation.AdapterString": {"type": "REG_BINARY", "utf16": "Example"},
        "HardwareInformation.MemorySize": {"type": "REG_BINARY", "hex": "00 00 00 40"})";
    LoadMachine(Machine({Out(1, "VEN_1", 1, "", R"(\\REGISTRY\\MACHINE\\SYSTEM\\VIDEO\\0)"),
                         Out(2, "VEN_2", 1, "", R"(\\Registry\\User\\System\\Video\\0)"),
                         Out(3, "VEN_3", 1, "", R"(\\Registry\\Machine\\Software\\Video\\0)")},
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
    const std::string modes = R"(, "modes": [)";
    LoadMachine(Machine(
        {Out(1, "A", 1, modes + Mode(100) + "," + Mode(60) + "," + Mode(75) + "," + Mode(85) + "]"),
         Out(2, "B", 1, modes + Mode(60) + "," + Mode(0) + "," + Mode(1) + "]"),
         Out(3, "C", 1, modes + Mode(60) + "," + Mode(70000) + "," + Mode(1) + "]"),
         Out(4, "D", 1, R"(, "currentMode": )" + Mode(50, 2)),
         Out(5, "E", 1, R"(, "currentMode": )" + Mode(50, 1) + R"(, "monitors": [
             {"deviceName": "M0", "deviceString": "A", "stateFlags": 0},
             {"deviceName": "M1", "deviceString": "B"}])")}));
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
    const std::string key = R"(\\Registry\\Machine\\System\\Video\\)";
    const std::string bios = R"("HardwareInformation.BiosString": {"type": "REG_SZ", "string": ")";
    LoadMachine(R"({"displayDevices": [)" + Out(1, "VEN_1", 1, "", key + "0") + ", " +
                Out(2, "VEN_2", 1, "", key + "1") + R"(], "registry": {)" +
                R"("SYSTEM\\Video\\0": {)" + bios + R"(BIOS 2.1"}}, )" +
                R"("SYSTEM\\Video\\1": {)" + bios + R"(Vendor BIOS 2.1 build 7"}}}})");
    ASSERT_EQ(2u, Request(VideoClass::Controller).size());
    ASSERT_EQ(2u, Request(VideoClass::Bios).size());
    std::vector<std::string> pairs;
    for (const auto& link : Request(VideoClass::BiosOfController)) {
        pairs.push_back(Value(link, "Antecedent") + " -> " + Value(link, "Dependent"));
    }
    EXPECT_EQ(3u, pairs.size()) << ::testing::PrintToString(pairs);
}
