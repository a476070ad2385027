#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PlatformTest.h"

namespace {

using displayplatform::LoadMachineFile;
using displayplatform::LoadMachineJson;
using displayplatform::MachineDescriptionError;

using MachineDescriptionTest = PlatformTest;

// The message of the error that loading the text gives, or "" if it loads.
std::string LoadError(const std::string& json)
{
    try {
        LoadMachineJson(json, "bad.json");
    } catch (const MachineDescriptionError& error) {
        return error.what();
    }
    return "";
}

TEST_F(MachineDescriptionTest, RefusesBadDescriptionsNamingPlaceAndReason)
{
    const std::string monitor = R"({"deviceName": "\\\\.\\DISPLAY1\\Monitor0")";
    const std::string value = R"({"registry": {"SYSTEM\\X": {"V": )";
    const struct {
        std::string json;
        std::string expected;  // "<pointer>: <reason>" or a part of the message
    } cases[] = {
        {"{", "bad.json: not valid JSON: "},
        {"[]", "bad.json: (top level): expected an object, found an array"},
        {R"({"displayDevice": []})", "/displayDevice: unknown key \"displayDevice\""},
        {R"({"displayDevices": [{"deviceName": "A", "monitors": [)" + monitor + "}, " + monitor +
             R"(, "deviceId": "x"}]}]})",
         "/displayDevices/0/monitors/1/deviceId: unknown key"},
        {R"({"displayDevices": [{"deviceName": "A", "monitors": [)" + monitor + R"(, "deviceID": ")" +
             std::string(128, 'M') + R"("}]}]})",
         "/displayDevices/0/monitors/0/deviceID: the string has 128 characters, more than the 127"},
        {R"({"displayDevices": [{"deviceString": "x"}]})",
         "/displayDevices/0: the key \"deviceName\" is missing"},
        {R"({"displayDevices": [{"deviceName": "A"}, {"deviceName": "a"}]})",
         "/displayDevices/1/deviceName: the device name \"a\" is already taken"},
        {R"({"displayDevices": [{"deviceName": "A", "stateFlags": -1}]})",
         "/displayDevices/0/stateFlags: -1 is negative"},
        {R"({"displayDevices": [{"deviceName": "A", "stateFlags": 4294967296}]})",
         "/displayDevices/0/stateFlags: 4294967296 is too large for 32 bits"},
        {R"({"displayDevices": [{"deviceName": "A", "modes": [{"pelsWidth": 1.5}]}]})",
         "/displayDevices/0/modes/0/pelsWidth: expected a whole number, found a fractional number"},
        {R"({"devices": [{"instanceId": "A\\B\\C", "instanceId": "D"}]})",
         "/devices/0/instanceId: the key is given twice"},
        {R"({"devices": [{"instanceId": ")" + std::string(200, 'I') + R"("}]})",
         "/devices/0/instanceId: the string has 200 characters, more than the 199"},
        {R"({"devices": [{"instanceId": "A\\B\\C", "hardwareIds": ["X", ""]}]})",
         "/devices/0/hardwareIds/1: an empty identifier would end the list"},
        {value + R"({"type": "REG_BINARY", "hex": "00 0g"}}}})",
         "/registry/SYSTEM\\X/V/hex: bad hexadecimal data at character 5 (\"g\")"},
        {value + R"({"type": "REG_BINARY", "hex": "00 f"}}}})",
         "/registry/SYSTEM\\X/V/hex: bad hexadecimal data: the last byte has only one digit"},
        {value + R"({"type": "REG_BINARY", "hex": "00", "utf16": "x"}}}})",
         "/registry/SYSTEM\\X/V: the value has two payloads, \"hex\" and \"utf16\""},
        {value + R"({"type": "REG_BINARY"}}}})", "/registry/SYSTEM\\X/V: the value has no payload"},
        {value + R"({"type": "REG_FOO", "dword": 1}}}})",
         "/registry/SYSTEM\\X/V/type: unknown value type \"REG_FOO\""},
        {value + R"({"type": "REG_SZ", "string": "a"}, "v": {"type": "REG_SZ", "string": "b"}}}})",
         "/registry/SYSTEM\\X/v: the value name is the same as \"V\""},
        {R"({"registry": {"SYSTEM\\X\\": {}}})", "/registry/SYSTEM\\X\\: the key path has an empty part"},
        {R"({"registry": {"SYSTEM\\X": {}, "system\\x": {}}})",
         "/registry/system\\x: the key is the same as \"SYSTEM\\X\""},
        {R"({"registry": {"a/b~c": 1}})", "/registry/a~1b~0c: expected an object, found a number"},
        {R"({"computerName": "A-NAME-TOO-LONG-"})",
         "/computerName: the string has 16 characters, more than the 15"},
        {R"({"timeZone": {"result": 1, "bias": 2147483648}})",
         "/timeZone/bias: 2147483648 is too large for 32 bits"},
        {R"({"faults": {"classDevs": true, "enumDisplay": true}})",
         "/faults/enumDisplay: unknown key \"enumDisplay\""},
    };
    for (const auto& c : cases) {
        const std::string message = LoadError(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos)
            << "description: " << c.json << "\nmessage:  " << message
            << "\nexpected: " << c.expected;
        EXPECT_EQ(message.rfind("bad.json: ", 0), 0u) << message;
    }
}

TEST_F(MachineDescriptionTest, RefusedDescriptionLeavesTheMachineAsItWas)
{
    Load(R"({"computerName": "KEEP", "devices": [{"instanceId": "A\\B\\C"}]})");
    EXPECT_NE(LoadError(R"({"computerName": "NEW", "devices": [{"instanceId": 5}]})"), "");
    char name[16];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_STREQ(name, "KEEP");
    EXPECT_THROW(LoadMachineFile("/nonexistent/machine.json"), MachineDescriptionError);
    size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_STREQ(name, "KEEP");
}

TEST_F(MachineDescriptionTest, EnvironmentNamesTheMachineFile)
{
    const auto path = std::filesystem::temp_directory_path() / "displayplatform-env-machine.json";
    {
        std::ofstream(path) << R"({"computerName": "FROM-ENV"})";
    }
    setenv("DISPLAYINFO_MACHINE", path.c_str(), 1);
    EXPECT_TRUE(displayplatform::LoadMachineFromEnvironment());
    unsetenv("DISPLAYINFO_MACHINE");
    EXPECT_FALSE(displayplatform::LoadMachineFromEnvironment());
    std::filesystem::remove(path);
    char name[16];
    DWORD size = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &size));
    EXPECT_STREQ(name, "FROM-ENV");
}

}  // namespace
