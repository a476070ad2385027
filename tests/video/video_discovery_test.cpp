#include <gtest/gtest.h>

#include "video/VideoTestMachine.h"

namespace {

const std::string kNotOn = "TVideoInfo::GetVideoInfo: StateFlags shows this device is not ON";
const std::string kNoId = "TVideoInfo::GetVideoInfo: DeviceID is empty";

std::vector<std::string> Values(const std::vector<NORNKVT20::TInstanceSnapshot>& instances,
                                const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& instance : instances) {
        values.push_back(Value(instance, name));
    }
    return values;
}

}  // namespace

using VideoDiscoveryTest = VideoTest;

TEST_F(VideoDiscoveryTest, ControllerPerAdapterAndHeadPerAttachedOutput)
{
    EXPECT_TRUE(Request(VideoClass::Controller).empty());
    EXPECT_TRUE(Log().empty());

    LoadMachine(Machine({Out(1, "VEN_1", 1, R"(, "currentMode": )" + Mode(144)),
                         Out(2, "VEN_1", 1, R"(, "currentMode": )" + Mode(60)),
                         Out(3, "VEN_2", 0)}));
    // The first output of an adapter speaks for it.
    EXPECT_EQ(std::vector<std::string>{"144:uint32"},
              Values(Request(VideoClass::Controller), "CurrentRefreshRate"));
    EXPECT_EQ((std::vector<std::string>{"VIDEOHEAD\\\\.\\DISPLAY1:string",
                                        "VIDEOHEAD\\\\.\\DISPLAY2:string"}),
              Values(Request(VideoClass::Head), "DeviceID"));
    EXPECT_EQ(2u, returned);
    EXPECT_EQ((std::vector<std::string>{kNotOn, kNotOn}), LogAt(3));
}

TEST_F(VideoDiscoveryTest, OutputsWithoutDeviceIdAreSkippedOnlyWhenAnotherHasOne)
{
    // The probe looks past the first output, and the identifier test comes
    // before the attachment test.
    LoadMachine(Machine({Out(1, "", 0), Out(2, ""), Out(3, "VEN_1")}));
    EXPECT_EQ(std::vector<std::string>{"VEN_1:string"},
              Values(Request(VideoClass::Head), "DisplayId"));
    EXPECT_EQ((std::vector<std::string>{kNoId, kNoId}), LogAt(3));

    Host().Reset();
    LoadMachine(Machine({Out(1, ""), Out(2, ""), Out(3, "", 0)}));
    EXPECT_EQ(2u, Request(VideoClass::Head).size());
    EXPECT_EQ(1u, Request(VideoClass::Controller).size());
    EXPECT_EQ((std::vector<std::string>{kNotOn, kNotOn}), LogAt(3));
}

TEST_F(VideoDiscoveryTest, HardwareInformationComesFromMachinePathsOfTheDriverKey)
{
    const std::string values = R"(
        "HardwareInformation.BiosString": {"type": "REG_SZ", "string": "94.02"},
        "HardwareInformation.ChipType": {"type": "REG_DWORD", "dword": 7},
        "HardwareInformation.DacType": {"type": "REG_BINARY", "hex": "00 00"},
        "HardwareInformation.AdapterString": {"type": "REG_BINARY", "utf16": "Example"},
        "HardwareInformation.MemorySize": {"type": "REG_BINARY", "hex": "00 00 00 40"})";
    struct Case {
        const char* key;
        const char* biosString;
    };
    const Case cases[] = {
        {R"(\\REGISTRY\\MACHINE\\SYSTEM\\VIDEO\\0)", "94.02:string"},
        {R"(\\Registry\\User\\System\\Video\\0)", "absent"},
        {R"(System\\Video\\0)", "absent"},
        {R"(\\Registry\\Machine\\Software\\Video\\0)", "absent"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Host().Reset();
        LoadMachine(Machine({Out(1, "VEN_1", 1, "", c.key)}, values));
        EXPECT_EQ(c.biosString, Value(Request(VideoClass::Head).at(0), "BiosString"));
    }

    LoadMachine(Machine({Out(1, "VEN_1")}, values));
    const auto controller = Request(VideoClass::Controller).at(0);
    // A text stored as a number, or as binary zeros, is an empty text.
    EXPECT_EQ((std::vector<std::string>{":string", ":string", "Example:string",
                                        "1073741824:uint32"}),
              (std::vector<std::string>{
                  Value(controller, "VideoProcessor"), Value(controller, "DACType"),
                  Value(controller, "AdapterString"), Value(controller, "VideoRamSize")}));
}

TEST_F(VideoDiscoveryTest, DisplayModeOfAnOutput)
{
    struct Case {
        std::string extra;
        std::vector<std::string> expected;  // Min/MaxRefreshRate, CurrentScanMode, MonitorString
    };
    const Case cases[] = {
        {R"(, "modes": [)" + Mode(100) + "," + Mode(60) + "," + Mode(75) + "," + Mode(85) + "]",
         {"60:uint32", "85:uint32", "absent", "absent"}},
        {R"(, "modes": [)" + Mode(60) + "]", {"absent", "absent", "absent", "absent"}},
        {R"(, "modes": [)" + Mode(60) + "," + Mode(0) + "," + Mode(1) + "]",
         {"absent", "absent", "absent", "absent"}},
        {R"(, "modes": [)" + Mode(60) + "," + Mode(70000) + "," + Mode(1) + "]",
         {"absent", "70000:uint32", "absent", "absent"}},
        {R"(, "currentMode": )" + Mode(50, 2), {"absent", "absent", "3:uint16", "absent"}},
        {R"(, "currentMode": )" + Mode(50, 1) +
             R"(, "monitors": [{"deviceName": "M0", "deviceString": "A", "stateFlags": 0},
                               {"deviceName": "M1", "deviceString": "B"}])",
         {"absent", "absent", "4:uint16", "A|B:string[]"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra);
        Host().Reset();
        LoadMachine(Machine({Out(1, "VEN_1", 1, c.extra)}));
        const auto head = Request(VideoClass::Head).at(0);
        EXPECT_EQ(c.expected,
                  (std::vector<std::string>{Value(head, "MinRefreshRate"),
                                            Value(head, "MaxRefreshRate"),
                                            Value(head, "CurrentScanMode"),
                                            Value(head, "MonitorString")}));
    }
}
