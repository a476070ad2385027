// Machine descriptions: what cannot stand for a machine is refused with the
// JSON pointer of the fault and its reason, and what the writer writes reads
// back into the same machine.
#include <string>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "machine/DescriptionCodec.h"
#include "machine/JsonLayout.h"
#include "platform/posix/MachineDescription.h"

namespace {

std::string ReadError(const std::string& json)
{
    try {
        machine::ReadDescription(json, "bad.json");
    } catch (const machine::DescriptionError& error) {
        return error.what();
    }
    return "loaded";
}

TEST(DescriptionCodec, RefusesBadDescriptionsNamingPlaceAndReason)
{
    const std::string value = R"({"registry": {"SYSTEM\\X": {"V": )";
    const struct {
        std::string json;
        std::string expected;  // a part of the message
    } cases[] = {
        {"[1e400]", "bad.json: not valid JSON: number overflow parsing '1e400'"},
        {R"({"devices": [], "devices": []})", "bad.json: /devices: the key is given twice"},
        {R"({"displayDevice": []})", "bad.json: /displayDevice: unknown key \"displayDevice\""},
        {R"({"displayDevices": [{"deviceName": "A", "modes": [{"pelsWidth": "x"}]}]})",
         "/displayDevices/0/modes/0/pelsWidth: expected a whole number, found a string"},
        {R"({"displayDevices": [{"deviceName": "A"}, {"deviceName": "a"}]})",
         "/displayDevices/1/deviceName: the device name \"a\" is already taken"},
        {R"({"devices": [{"instanceId": ")" + std::string(200, 'I') + R"("}]})",
         "/devices/0/instanceId: the string has 200 characters, more than the 199"},
        {R"({"devices": [{"instanceId": "X", "hardwareIds": ["A", ""]}]})",
         "/devices/0/hardwareIds/1: an empty identifier would end the list"},
        {value + R"({"type": "REG_BINARY", "hex": "00 0g"}}}})",
         "/registry/SYSTEM\\X/V/hex: bad hexadecimal data at character 5 (\"g\")"},
        {value + R"({"type": "REG_BINARY", "hex": "00 0"}}}})",
         "/registry/SYSTEM\\X/V/hex: bad hexadecimal data: the last byte has only one digit"},
        {value + R"({"type": "REG_BINARY", "hex": "00", "utf16": "x"}}}})",
         "/registry/SYSTEM\\X/V: the value has two payloads, \"hex\" and \"utf16\""},
        {value + R"({"type": "REG_WORD", "dword": 1}}}})",
         "/registry/SYSTEM\\X/V/type: unknown value type \"REG_WORD\""},
        {R"({"registry": {"a/b~c": 1}})", "/registry/a~1b~0c: expected an object, found a number"},
        {R"({"registry": {"SYSTEM\\X": {}, "system\\x": {}}})",
         "/registry/system\\x: the key is the same as \"SYSTEM\\X\" (registry paths ignore case)"},
        {R"({"registry": {"SYSTEM\\\\X": {}}})", "the key path has an empty part"},
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
        const std::string message = ReadError(c.json);
        EXPECT_NE(message.find(c.expected), std::string::npos)
            << "description: " << c.json << "\nmessage:  " << message;
    }
    // The platform library hands the same message out as its own error.
    try {
        displayplatform::LoadMachineJson(cases[0].json, "bad.json");
        ADD_FAILURE() << "loaded";
    } catch (const displayplatform::MachineDescriptionError& error) {
        EXPECT_EQ(error.what(), ReadError(cases[0].json));
    }
}

machine::RegistryValue Value(std::uint32_t type, const std::string& bytes)
{
    return machine::RegistryValue{"V", type, {bytes.begin(), bytes.end()}};
}

// Every value comes back byte for byte, whichever payload the writer picks
// for it; the payload is the plainest that can carry the bytes.
TEST(DescriptionCodec, RegistryValuesReadBackByteForByte)
{
    using namespace std::string_literals;
    const struct {
        machine::RegistryValue value;
        const char* payload;
    } cases[] = {
        {Value(machine::kRegSz, "Caf\xe9 \x80\x81\0"s), "string"},
        {Value(machine::kRegSz, "two\0parts\0"s), "string"},
        {Value(machine::kRegSz, "unended"), "hex"},
        {Value(machine::kRegExpandSz, "%SystemRoot%\0"s), "string"},
        {Value(machine::kRegMultiSz, "a\0b\0\0"s), "strings"},
        {Value(machine::kRegMultiSz, "\0"s), "strings"},
        {Value(machine::kRegMultiSz, "a\0\0b\0\0"s), "hex"},
        {Value(machine::kRegMultiSz, "a\0"s), "hex"},
        {Value(machine::kRegDword, "\x01\x02\x03\x04"), "dword"},
        {Value(machine::kRegDword, "\x01\x02\x03"), "hex"},
        {Value(machine::kRegBinary, "N\0V\0\0\0"s), "utf16"},
        {Value(machine::kRegBinary, "\x3d\xd8\x00\xde\0\0"s), "utf16"},  // U+1F600
        {Value(machine::kRegBinary, "\x3d\xd8\0\0"s), "hex"},            // a lone surrogate
        {Value(machine::kRegBinary, "\x01\0\0\0"s), "hex"},             // a control
        {Value(machine::kRegBinary, "A\0\0\0B\0\0\0"s), "hex"},        // an early terminator
        {Value(machine::kRegBinary, "\0\xff\xff\xff\xff\xff\xff\0"s), "hex"},
        {Value(machine::kRegBinary, ""), "hex"},
        {Value(machine::kRegQword, "\0\0\0\x40\0\0\0\0"s), "hex"},
        {Value(machine::kRegNone, "x"), "hex"},
    };
    for (const auto& c : cases) {
        machine::Machine original;
        original.registry.Key("SYSTEM\\Values").Set(c.value);
        const std::string text = machine::WriteDescription(original);
        const machine::Machine read = machine::ReadDescription(text, "written");
        ASSERT_EQ(read.registry.Keys().size(), 1u) << text;
        const machine::RegistryValue& value = read.registry.Keys()[0].values.at(0);
        EXPECT_EQ(value.type, c.value.type) << text;
        EXPECT_TRUE(value.data == c.value.data) << text;
        EXPECT_NE(text.find(std::string("\"") + c.payload + "\":"), std::string::npos) << text;
    }
}

// The rest of the model reads back as written, text in the code page too.
TEST(DescriptionCodec, MachinesReadBackAsWritten)
{
    machine::Machine original;
    original.computer = "R\xc4UM-1";
    original.zone = machine::TimeZone{2, -60, 0, -60};
    machine::Output output;
    output.name = "\\\\.\\DISPLAY1";
    output.description = "Gr\xe4" "fik \x99";
    output.flags = 5;
    output.id = "PCI\\VEN_1234";
    output.key = "\\Registry\\Machine\\X";
    output.modes = {{32, 640, 480, 60, 2}};
    output.monitors = {{"\\\\.\\DISPLAY1\\Monitor0", "M", 3, "MONITOR\\X", "K"}};
    original.outputs = {output, output};
    original.outputs[1].name = "\\\\.\\DISPLAY2";
    original.outputs[1].current = machine::DisplayMode{16, 800, 600, 75, 0};
    original.outputs[1].monitors.clear();
    machine::Device device;
    device.instance = "PCI\\VEN_1234\\1";
    device.hardware = machine::IdList{"PCI\\VEN_1234"};
    device.compatible = machine::IdList{};
    device.status = 0x01802400;
    device.problem = 43;
    device.statusQueryFails = true;
    original.devices = {device, machine::Device{"ROOT\\X\\0", std::nullopt, std::nullopt}};
    original.registry.Key("SYSTEM\\Empty");
    original.faults.deviceListFails = true;

    const std::string text = machine::WriteDescription(original);
    const machine::Machine read = machine::ReadDescription(text, "written");
    EXPECT_EQ(machine::WriteDescription(read), text);
    EXPECT_EQ(read.computer, original.computer);
    ASSERT_EQ(read.outputs.size(), 2u);
    EXPECT_EQ(read.outputs[0].description, output.description);
    EXPECT_EQ(read.outputs[0].modes[0].flags, 2u);
    EXPECT_FALSE(read.outputs[0].current);
    EXPECT_EQ(read.outputs[1].current->frequency, 75u);
    ASSERT_EQ(read.devices.size(), 2u);
    EXPECT_EQ(read.devices[0].compatible, machine::IdList{});
    EXPECT_EQ(read.devices[0].problem, 43u);
    EXPECT_TRUE(read.devices[0].statusQueryFails);
    EXPECT_FALSE(read.devices[1].hardware);
    EXPECT_NE(read.registry.Find("system\\empty"), nullptr);
    EXPECT_TRUE(read.faults.deviceListFails);
    EXPECT_FALSE(read.faults.messageTextFails);
}

// The layout of descriptions is still JSON that reads back as written:
// characters beyond ASCII stay as they are, control characters and quotes
// are escaped, and objects of every size keep their keys in order.
TEST(DescriptionCodec, LayoutReadsBackAsTheSameValue)
{
    using Json = nlohmann::ordered_json;
    const Json value = {
        {"name", "Bildschirm \xc3\xa4 \"1\"\\\x01\t"},
        {"z", {{"b", 1}, {"a", -2}, {"list", Json::array()}}},
        {"seven", {{"g", 1}, {"f", 2}, {"e", 3}, {"d", 4}, {"c", 5}, {"b", 6}, {"a", 7}}},
        {"empty", Json::object()},
        {"mixed", {1, "two", {{"three", 3}}}}};
    const std::string text = machine::json::LayOut(value);
    EXPECT_EQ(Json::parse(text), value) << text;
    EXPECT_NE(text.find("Bildschirm \xc3\xa4 \\\"1\\\"\\\\\\u0001\\t"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
