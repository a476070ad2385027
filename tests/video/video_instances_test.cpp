#include <gtest/gtest.h>

#include "video/VideoTestMachine.h"

using VideoInstancesTest = VideoTest;

TEST_F(VideoInstancesTest, ControllerProperties)
{
    LoadMachine(Machine({Out(1, "VEN_1"), Out(2, "VEN_2")}, "",
                        R"({"instanceId": "PCI\\VEN_1\\0", "hardwareIds": ["VEN_1"]})"));
    const auto controllers = Request(VideoClass::Controller);
    ASSERT_EQ(2u, controllers.size());
    EXPECT_EQ((std::vector<std::string>{
                  "CreationClassName=ORNSG_VideoController:string",
                  "Description=Example Graphics:string", "DeviceID=PCI\\VEN_1\\0:string",
                  "DisplayId=VEN_1:string", "Name=Example Graphics:string",
                  "OperationalStatus=2:uint16[]", "OtherIdentifyingInfo=Example Graphics:string[]",
                  "StatusDescriptions=Device is started:string[]",
                  "SystemCreationClassName=CIM_ComputerSystem:string",
                  "SystemName=WS-0042:string"}),
              Flat(controllers[0]));
    // Unknown to the device installer: an empty identifier and no status.
    EXPECT_EQ(":string", Value(controllers[1], "DeviceID"));
    EXPECT_EQ("absent", Value(controllers[1], "OperationalStatus"));
}

TEST_F(VideoInstancesTest, HeadNumbersCountOnAcrossRequestsAndWrapAfter255)
{
    // The counter is module-wide and other tests move it as well, so only
    // the steps from one number to the next are checked.
    LoadMachine(Machine({Out(1, "VEN_1"), Out(2, "VEN_1")}));
    std::vector<unsigned> numbers;
    for (int request = 0; request < 130; ++request) {
        Host().Reset();
        for (const auto& head : Request(VideoClass::Head)) {
            const std::string number = Value(head, "HeadNumber");
            ASSERT_EQ(":uint8", number.substr(number.find(':')));
            numbers.push_back(static_cast<unsigned>(std::stoul(number)));
        }
    }
    ASSERT_EQ(260u, numbers.size());
    bool wrapped = false;
    for (std::size_t i = 1; i < numbers.size(); ++i) {
        ASSERT_EQ((numbers[i - 1] + 1) % 256, numbers[i]) << "head " << i;
        wrapped = wrapped || numbers[i] == 0;
    }
    EXPECT_TRUE(wrapped);
}

TEST_F(VideoInstancesTest, HostFailureCostsOnlyTheInstanceItHappenedOn)
{
    struct Case {
        const char* operation;
        unsigned nth;
        const char* lostDisplay;
    };
    const Case cases[] = {{"SetPropertyValue", 1, "VEN_1:string"},
                          {"CreateInstance", 2, "VEN_2:string"},
                          {"Commit", 3, "VEN_3:string"}};
    LoadMachine(Machine({Out(1, "VEN_1"), Out(2, "VEN_2"), Out(3, "VEN_3")}));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        Host().Reset();
        Host().InjectFault(c.operation, c.nth, "x");
        const auto heads = Request(VideoClass::Head);
        EXPECT_EQ(2u, returned);
        ASSERT_EQ(2u, heads.size());
        EXPECT_NE(c.lostDisplay, Value(heads[0], "DisplayId"));
        EXPECT_NE(c.lostDisplay, Value(heads[1], "DisplayId"));
        EXPECT_EQ(std::vector<std::string>{"VideoInfo encountered an error\t\t\t\t\t\t\t\t"
                                           "generating CIM instances for ORNSG_VideoHead"
                                           " Error Code: x"},
                  LogAt(2));
    }
}

TEST_F(VideoInstancesTest, SchemaHelperFailureEndsDiscoveryWithTheMapsSoFar)
{
    LoadMachine(Machine({Out(1, "VEN_1"), Out(2, "VEN_2"), Out(3, "VEN_3")}));
    Host().InjectFault("GetSystemName", 2, "no system name");
    const auto controllers = Request(VideoClass::Controller);
    ASSERT_EQ(1u, controllers.size());
    EXPECT_EQ("VEN_1:string", Value(controllers[0], "DisplayId"));
    EXPECT_EQ(std::vector<std::string>{"no system name"}, LogAt(0));
}

TEST_F(VideoInstancesTest, BiosPerAdapterWithABiosStringAndItsAssociations)
{
    const std::string otherKey = R"(\\Registry\\Machine\\System\\Video\\1)";
    LoadMachine(Machine({Out(1, "VEN_1"), Out(2, "VEN_1"), Out(3, "VEN_2", 1, "", otherKey)},
                        R"("HardwareInformation.BiosString": {"type": "REG_BINARY",
                                                              "utf16": "94.02"},
                           "HardwareInformation.ChipType": {"type": "REG_SZ", "string": "X"})"));
    const auto bios = Request(VideoClass::Bios);
    ASSERT_EQ(1u, bios.size());
    EXPECT_EQ((std::vector<std::string>{"Name=Video Device:string",
                                        "SoftwareElementID=KVT Video Bios Firmware:string",
                                        "SoftwareElementState=3:uint16",
                                        "TargetOperatingSystem=0:uint16", "Version=94.02:string"}),
              Flat(bios[0]));

    Request(VideoClass::Controller);
    Request(VideoClass::Head);
    // VEN_2's controller has no BIOS string, and an empty text is contained
    // in every "Version".
    EXPECT_EQ(2u, Request(VideoClass::BiosOfController).size());
    EXPECT_EQ(3u, Request(VideoClass::HeadOfController).size());
    EXPECT_TRUE(LogAt(2).empty());

    const std::pair<const char*, std::string> associations[] = {
        {VideoClass::BiosOfController, "ORNSG_VideoBios"},
        {VideoClass::HeadOfController, "ORNSG_VideoHead"}};
    for (const auto& association : associations) {
        Host().Reset();
        Host().InjectFault("EnumerateInstances", 2, "x");
        EXPECT_TRUE(Request(association.first).empty());
        EXPECT_EQ(std::vector<std::string>{"Video association encountered an error\t\t\t\t\t\t\t"
                                           "enumerating CIM instances for ORNSG_VideoController"
                                           " OR " + association.second + " Error Code: x"},
                  LogAt(2));
    }
}
