// Descriptions that cannot stand for a machine are refused with the JSON
// pointer of the fault and its reason.
#include <string>

#include "PlatformTest.h"

namespace {

using MachineDescriptionTest = PlatformTest;

TEST_F(MachineDescriptionTest, RefusesBadDescriptionsNamingPlaceAndReason)
{
    const std::string value = R"({"registry": {"SYSTEM\\X": {"V": )";
    const struct {
        std::string json;
        std::string expected;  // a part of the message
    } cases[] = {
        {"[1e400]", "bad.json: not valid JSON: number overflow parsing '1e400'"},
        {R"({"displayDevice": []})", "bad.json: /displayDevice: unknown key \"displayDevice\""},
        {R"({"displayDevices": [{"deviceName": "A", "modes": [{"pelsWidth": "x"}]}]})",
         "/displayDevices/0/modes/0/pelsWidth: expected a whole number, found a string"},
        {R"({"devices": [{"instanceId": ")" + std::string(200, 'I') + R"("}]})",
         "/devices/0/instanceId: the string has 200 characters, more than the 199"},
        {value + R"({"type": "REG_BINARY", "hex": "00 0g"}}}})",
         "/registry/SYSTEM\\X/V/hex: bad hexadecimal data at character 5 (\"g\")"},
        {value + R"({"type": "REG_BINARY", "hex": "00", "utf16": "x"}}}})",
         "/registry/SYSTEM\\X/V: the value has two payloads, \"hex\" and \"utf16\""},
        {R"({"registry": {"a/b~c": 1}})", "/registry/a~1b~0c: expected an object, found a number"},
        // A zero character in a key is shown escaped, so the message goes on after it.
        {R"({"regist\u0000ry": 1})", "bad.json: /regist\\u0000ry: unknown key \"regist\\u0000ry\""},
        {R"({"registry": {"SYSTEM\u0000X": {}}})",
         "/registry/SYSTEM\\u0000X: the key path contains a zero character"},
        {R"({"registry": {"SYSTEM\\\u0100": {}}})",
         ": the key path holds U+0100, which the ANSI code page (Windows-1252) cannot represent"},
        {R"({"registry": {"SYSTEM": {"\u20ac\u0100": {"type": "REG_SZ", "string": ""}}}})",
         "/registry/SYSTEM/\u20ac\u0100: the value name holds U+0100"},
    };
    for (const auto& c : cases) {
        std::string message = "loaded";
        try {
            displayplatform::LoadMachineJson(c.json, "bad.json");
        } catch (const displayplatform::MachineDescriptionError& error) {
            message = error.what();
        }
        EXPECT_NE(message.find(c.expected), std::string::npos)
            << "description: " << c.json << "\nmessage:  " << message;
    }
}

}  // namespace
