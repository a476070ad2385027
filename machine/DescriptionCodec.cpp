#include "machine/DescriptionCodec.h"

#include <map>
#include <set>
#include <stdexcept>

#include "machine/JsonFields.h"
#include "machine/JsonInput.h"
#include "machine/JsonLayout.h"
#include "machine/TextCodec.h"

namespace machine {

namespace {

using json::FieldReader;
using json::Json;
using json::Place;
using json::Quoted;
using OrderedJson = nlohmann::ordered_json;

// The registry's limit for one value is far above this; the cap only keeps
// descriptions sane.
constexpr std::size_t kMaxValueSize = 1024 * 1024;
// The longest type name, "REG_DWORD_BIG_ENDIAN", with room to spare.
constexpr std::size_t kTypeNameLength = 32;

const std::pair<const char*, std::uint32_t> kValueTypes[] = {
    {"REG_NONE", kRegNone},           {"REG_SZ", kRegSz},
    {"REG_EXPAND_SZ", kRegExpandSz},  {"REG_BINARY", kRegBinary},
    {"REG_DWORD", kRegDword},         {"REG_DWORD_BIG_ENDIAN", kRegDwordBigEndian},
    {"REG_LINK", kRegLink},           {"REG_MULTI_SZ", kRegMultiSz},
    {"REG_QWORD", kRegQword},
};

// The payload kinds of a registry value, each a way to write its bytes.
const char* const kPayloads[] = {"string", "strings", "dword", "hex", "utf16"};

// ---- reading ------------------------------------------------------------------

class DescriptionReader : private FieldReader {
public:
    explicit DescriptionReader(std::string source) : FieldReader(std::move(source)) {}

    Machine Read(const Json& document) const
    {
        Machine machine;
        const Place top;
        const Json& root = Object(document, top,
                                  {"computerName", "timeZone", "displayDevices", "devices",
                                   "registry", "faults"});
        if (const Json* name = Member(root, "computerName")) {
            const std::string text = Text(*name, top / "computerName", limits::kComputerName);
            if (text.empty()) {
                Fail(top / "computerName", "the computer name is empty");
            }
            machine.computer = text;
        }
        if (const Json* zone = Member(root, "timeZone")) {
            machine.zone = ReadTimeZone(*zone, top / "timeZone");
        }
        if (const Json* outputs = Member(root, "displayDevices")) {
            ReadOutputs(*outputs, top / "displayDevices", machine);
        }
        if (const Json* devices = Member(root, "devices")) {
            ReadDevices(*devices, top / "devices", machine);
        }
        if (const Json* registry = Member(root, "registry")) {
            ReadRegistry(*registry, top / "registry", machine.registry);
        }
        if (const Json* faults = Member(root, "faults")) {
            const Place place = top / "faults";
            const Json& object = Object(*faults, place, {"classDevs", "formatMessage"});
            machine.faults.deviceListFails = OptionalFlag(object, place, "classDevs");
            machine.faults.messageTextFails = OptionalFlag(object, place, "formatMessage");
        }
        return machine;
    }

private:
    TimeZone ReadTimeZone(const Json& value, const Place& place) const
    {
        const Json& object =
            Object(value, place, {"result", "bias", "standardBias", "daylightBias"});
        TimeZone zone;
        zone.result = Unsigned(Required(object, place, "result"), place / "result");
        zone.bias = Signed(Required(object, place, "bias"), place / "bias");
        zone.standard = OptionalSigned(object, place, "standardBias");
        zone.daylight = OptionalSigned(object, place, "daylightBias");
        return zone;
    }

    void ReadDisplayDevice(const Json& object, const Place& place, DisplayDevice& device) const
    {
        const Place namePlace = place / "deviceName";
        device.name = Text(Required(object, place, "deviceName"), namePlace, limits::kDeviceName);
        if (device.name.empty()) {
            Fail(namePlace, "the device name is empty");
        }
        device.description = OptionalText(object, place, "deviceString", limits::kDeviceText);
        device.flags = OptionalUnsigned(object, place, "stateFlags", 0);
        device.id = OptionalText(object, place, "deviceID", limits::kDeviceText);
        device.key = OptionalText(object, place, "deviceKey", limits::kDeviceText);
    }

    DisplayMode ReadMode(const Json& value, const Place& place) const
    {
        const Json& object = Object(value, place,
                                    {"bitsPerPel", "pelsWidth", "pelsHeight", "displayFrequency",
                                     "displayFlags"});
        DisplayMode mode;
        mode.bitsPerPixel = OptionalUnsigned(object, place, "bitsPerPel", 0);
        mode.width = OptionalUnsigned(object, place, "pelsWidth", 0);
        mode.height = OptionalUnsigned(object, place, "pelsHeight", 0);
        mode.frequency = OptionalUnsigned(object, place, "displayFrequency", 0);
        mode.flags = OptionalUnsigned(object, place, "displayFlags", 0);
        return mode;
    }

    void ReadOutputs(const Json& value, const Place& place, Machine& machine) const
    {
        const Json& outputs = Array(value, place);
        std::set<std::string> names;
        for (std::size_t i = 0; i < outputs.size(); ++i) {
            const Place at = place / i;
            const Json& object = Object(outputs[i], at,
                                        {"deviceName", "deviceString", "stateFlags", "deviceID",
                                         "deviceKey", "currentMode", "modes", "monitors"});
            Output output;
            ReadDisplayDevice(object, at, output);
            if (!names.insert(FoldCase(output.name)).second) {
                Fail(at / "deviceName",
                     "the device name " + Quoted(output.name) + " is already taken");
            }
            if (const Json* current = Member(object, "currentMode")) {
                output.current = ReadMode(*current, at / "currentMode");
            }
            if (const Json* modes = Member(object, "modes")) {
                const Json& list = Array(*modes, at / "modes");
                for (std::size_t m = 0; m < list.size(); ++m) {
                    output.modes.push_back(ReadMode(list[m], at / "modes" / m));
                }
            }
            if (const Json* monitors = Member(object, "monitors")) {
                const Json& list = Array(*monitors, at / "monitors");
                for (std::size_t m = 0; m < list.size(); ++m) {
                    const Place monitorAt = at / "monitors" / m;
                    DisplayDevice monitor;
                    ReadDisplayDevice(Object(list[m], monitorAt,
                                             {"deviceName", "deviceString", "stateFlags",
                                              "deviceID", "deviceKey"}),
                                      monitorAt, monitor);
                    output.monitors.push_back(monitor);
                }
            }
            machine.outputs.push_back(std::move(output));
        }
    }

    IdList ReadIdList(const Json& value, const Place& place) const
    {
        const Json& list = Array(value, place);
        IdList ids;
        for (std::size_t i = 0; i < list.size(); ++i) {
            std::string id = Text(list[i], place / i, limits::kInstanceId);
            if (id.empty()) {
                Fail(place / i, "an empty identifier would end the list");
            }
            ids.push_back(std::move(id));
        }
        return ids;
    }

    void ReadDevices(const Json& value, const Place& place, Machine& machine) const
    {
        const Json& devices = Array(value, place);
        std::set<std::string> instances;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const Place at = place / i;
            const Json& object =
                Object(devices[i], at,
                       {"instanceId", "hardwareIds", "compatibleIds", "status", "problem",
                        "statusFails"});
            Device device;
            const Place idPlace = at / "instanceId";
            device.instance =
                Text(Required(object, at, "instanceId"), idPlace, limits::kInstanceId);
            if (device.instance.empty()) {
                Fail(idPlace, "the instance identifier is empty");
            }
            if (!instances.insert(FoldCase(device.instance)).second) {
                Fail(idPlace, "the instance identifier " + Quoted(device.instance) +
                                  " is already taken");
            }
            if (const Json* ids = Member(object, "hardwareIds")) {
                device.hardware = ReadIdList(*ids, at / "hardwareIds");
            }
            if (const Json* ids = Member(object, "compatibleIds")) {
                device.compatible = ReadIdList(*ids, at / "compatibleIds");
            }
            device.status = OptionalUnsigned(object, at, "status", kStartedNodeStatus);
            device.problem = OptionalUnsigned(object, at, "problem", 0);
            device.statusQueryFails = OptionalFlag(object, at, "statusFails");
            machine.devices.push_back(std::move(device));
        }
    }

    void ReadRegistry(const Json& value, const Place& place, Registry& registry) const
    {
        Object(value, place);
        // Paths and value names are ANSI text like every other name the
        // plug-in passes to the registry.
        std::map<std::string, std::string> seen;  // folded path -> path as written
        for (const auto& item : value.items()) {
            const Place at = place / item.key();
            const std::string path = Ansi(item.key(), at, "key path");
            CheckKeyPath(path, at);
            const auto earlier = seen.emplace(FoldCase(path), item.key());
            if (!earlier.second) {
                Fail(at, "the key is the same as " + Quoted(earlier.first->second) +
                             " (registry paths ignore case)");
            }
            RegistryKey key{path, {}};
            for (const auto& entry : Object(item.value(), at).items()) {
                const Place valueAt = at / entry.key();
                const std::string name = Ansi(entry.key(), valueAt, "value name");
                if (name.size() > limits::kValueName) {
                    Fail(valueAt, "the value name is longer than " +
                                      std::to_string(limits::kValueName) + " characters");
                }
                if (name.find('\0') != std::string::npos) {
                    Fail(valueAt, "the value name contains a zero character");
                }
                if (const RegistryValue* other = key.Find(name)) {
                    Fail(valueAt, "the value name is the same as " +
                                      Quoted(textcodec::AnsiToUtf8(other->name)) +
                                      " (value names ignore case)");
                }
                key.values.push_back(ReadValue(name, entry.value(), valueAt));
            }
            registry.Add(std::move(key));
        }
    }

    void CheckKeyPath(const std::string& path, const Place& place) const
    {
        if (path.empty()) {
            Fail(place, "the key path is empty");
        }
        if (path.find('\0') != std::string::npos) {
            Fail(place, "the key path contains a zero character");
        }
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = path.find('\\', start);
            const std::size_t length = (end == std::string::npos ? path.size() : end) - start;
            if (length == 0) {
                Fail(place, "the key path has an empty part (a backslash at its start or end, "
                            "or two in a row)");
            }
            if (length > limits::kKeyName) {
                Fail(place, "a part of the key path is longer than " +
                                std::to_string(limits::kKeyName) + " characters");
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }

    RegistryValue ReadValue(const std::string& name, const Json& value, const Place& place) const
    {
        const Json& object =
            Object(value, place, {"type", "string", "strings", "dword", "hex", "utf16"});
        RegistryValue result;
        result.name = name;
        result.type = ValueType(Required(object, place, "type"), place / "type");
        const char* payload = nullptr;
        for (const char* key : kPayloads) {
            if (Member(object, key) == nullptr) {
                continue;
            }
            if (payload != nullptr) {
                Fail(place, std::string("the value has two payloads, ") + Quoted(payload) +
                                " and " + Quoted(key));
            }
            payload = key;
        }
        if (payload == nullptr) {
            Fail(place, "the value has no payload (string, strings, dword, hex or utf16)");
        }
        const Place at = place / payload;
        const Json& data = *Member(object, payload);
        const std::string kind = payload;
        if (kind == "string") {
            result.data = textcodec::TerminatedText(Text(data, at, kMaxValueSize - 1, true));
        } else if (kind == "strings") {
            const Json& list = Array(data, at);
            std::vector<std::string> strings;
            for (std::size_t i = 0; i < list.size(); ++i) {
                strings.push_back(Text(list[i], at / i, kMaxValueSize));
                if (strings.back().empty()) {
                    Fail(at / i, "an empty string would end the multi-string");
                }
            }
            result.data = textcodec::MultiString(strings);
        } else if (kind == "dword") {
            const std::uint32_t number = Unsigned(data, at);
            for (int shift = 0; shift < 32; shift += 8) {
                result.data.push_back(static_cast<std::uint8_t>(number >> shift));
            }
        } else if (kind == "hex") {
            result.data = Hex(Text(data, at, 3 * kMaxValueSize, false, false), at);
        } else {
            const std::optional<textcodec::Bytes> utf16 =
                textcodec::Utf8ToUtf16(Text(data, at, kMaxValueSize, true, false));
            if (!utf16) {
                Fail(at, "the text is not valid UTF-8");
            }
            result.data = *utf16;
        }
        if (result.data.size() > kMaxValueSize) {
            Fail(at, "the value is larger than " + std::to_string(kMaxValueSize) + " bytes");
        }
        return result;
    }

    std::uint32_t ValueType(const Json& value, const Place& place) const
    {
        const std::string name = Text(value, place, kTypeNameLength);
        for (const auto& type : kValueTypes) {
            if (name == type.first) {
                return type.second;
            }
        }
        Fail(place, "unknown value type " + Quoted(name) +
                        " (REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, ...)");
    }

    textcodec::Bytes Hex(const std::string& text, const Place& place) const
    {
        textcodec::Bytes bytes;
        if (const auto fault = textcodec::ParseHexPairs(text, bytes)) {
            const std::size_t bad = fault->position;
            Fail(place, bad < text.size()
                            ? "bad hexadecimal data at character " + std::to_string(bad + 1) +
                                  " (" + Quoted(text.substr(bad, 1)) + "); bytes are pairs of "
                                  "hexadecimal digits"
                            : "bad hexadecimal data: the last byte has only one digit");
        }
        return bytes;
    }
};

std::string SourceName(const std::string& source)
{
    return source.empty() ? std::string("machine description") : source;
}

// ---- writing ------------------------------------------------------------------

OrderedJson ModeJson(const DisplayMode& mode)
{
    return OrderedJson{{"bitsPerPel", mode.bitsPerPixel},
                       {"pelsWidth", mode.width},
                       {"pelsHeight", mode.height},
                       {"displayFrequency", mode.frequency},
                       {"displayFlags", mode.flags}};
}

OrderedJson DisplayDeviceJson(const DisplayDevice& device)
{
    return OrderedJson{{"deviceName", textcodec::AnsiToUtf8(device.name)},
                       {"deviceString", textcodec::AnsiToUtf8(device.description)},
                       {"stateFlags", device.flags},
                       {"deviceID", textcodec::AnsiToUtf8(device.id)},
                       {"deviceKey", textcodec::AnsiToUtf8(device.key)}};
}

OrderedJson OutputJson(const Output& output)
{
    OrderedJson entry = DisplayDeviceJson(output);
    if (output.current) {
        entry["currentMode"] = ModeJson(*output.current);
    }
    if (!output.modes.empty()) {
        entry["modes"] = OrderedJson::array();
        for (const DisplayMode& mode : output.modes) {
            entry["modes"].push_back(ModeJson(mode));
        }
    }
    if (!output.monitors.empty()) {
        entry["monitors"] = OrderedJson::array();
        for (const DisplayDevice& monitor : output.monitors) {
            entry["monitors"].push_back(DisplayDeviceJson(monitor));
        }
    }
    return entry;
}

OrderedJson TextList(const std::vector<std::string>& texts)
{
    OrderedJson list = OrderedJson::array();
    for (const std::string& text : texts) {
        list.push_back(textcodec::AnsiToUtf8(text));
    }
    return list;
}

OrderedJson DeviceJson(const Device& device)
{
    OrderedJson entry{{"instanceId", textcodec::AnsiToUtf8(device.instance)}};
    if (device.hardware) {
        entry["hardwareIds"] = TextList(*device.hardware);
    }
    if (device.compatible) {
        entry["compatibleIds"] = TextList(*device.compatible);
    }
    entry["status"] = device.status;
    entry["problem"] = device.problem;
    if (device.statusQueryFails) {
        entry["statusFails"] = true;
    }
    return entry;
}

// The name a description gives a registry value type; null for a type it
// cannot name.
const char* FindTypeName(std::uint32_t type)
{
    for (const auto& known : kValueTypes) {
        if (known.second == type) {
            return known.first;
        }
    }
    return nullptr;
}

const char* TypeName(std::uint32_t type)
{
    if (const char* name = FindTypeName(type)) {
        return name;
    }
    throw std::invalid_argument("registry value type " + std::to_string(type) +
                                " has no name in a machine description");
}

// The plainest payload that reads back into exactly the value's bytes.
OrderedJson ValueJson(const RegistryValue& value)
{
    OrderedJson entry{{"type", TypeName(value.type)}};
    const std::vector<std::uint8_t>& data = value.data;
    if ((value.type == kRegSz || value.type == kRegExpandSz) && !data.empty() && data.back() == 0) {
        entry["string"] = textcodec::AnsiToUtf8(std::string(data.begin(), data.end() - 1));
        return entry;
    }
    if (value.type == kRegMultiSz) {
        if (const auto strings = textcodec::SplitMultiString(data)) {
            entry["strings"] = TextList(*strings);
            return entry;
        }
    }
    if (value.type == kRegDword && data.size() == 4) {
        entry["dword"] = static_cast<std::uint32_t>(data[0]) |
                         static_cast<std::uint32_t>(data[1]) << 8 |
                         static_cast<std::uint32_t>(data[2]) << 16 |
                         static_cast<std::uint32_t>(data[3]) << 24;
        return entry;
    }
    if (value.type == kRegBinary) {
        if (const auto text = textcodec::Utf16TextToUtf8(data)) {
            entry["utf16"] = *text;
            return entry;
        }
    }
    entry["hex"] = textcodec::HexPairs(data);
    return entry;
}

}  // namespace

Machine ReadDescription(const std::string& json, const std::string& source)
{
    const std::string name = SourceName(source);
    return DescriptionReader(name).Read(json::ParseDocument(json, name));
}

Machine ReadDescriptionFile(const std::string& path)
{
    return ReadDescription(json::ReadTextFile(path), path);
}

bool NamesValueType(std::uint32_t type)
{
    return FindTypeName(type) != nullptr;
}

std::string WriteDescription(const Machine& machine)
{
    OrderedJson document = OrderedJson::object();
    if (machine.computer) {
        document["computerName"] = textcodec::AnsiToUtf8(*machine.computer);
    }
    if (machine.zone) {
        document["timeZone"] = OrderedJson{{"result", machine.zone->result},
                                           {"bias", machine.zone->bias},
                                           {"standardBias", machine.zone->standard},
                                           {"daylightBias", machine.zone->daylight}};
    }
    document["displayDevices"] = OrderedJson::array();
    for (const Output& output : machine.outputs) {
        document["displayDevices"].push_back(OutputJson(output));
    }
    document["devices"] = OrderedJson::array();
    for (const Device& device : machine.devices) {
        document["devices"].push_back(DeviceJson(device));
    }
    document["registry"] = OrderedJson::object();
    for (const RegistryKey& key : machine.registry.Keys()) {
        OrderedJson values = OrderedJson::object();
        for (const RegistryValue& value : key.values) {
            values[textcodec::AnsiToUtf8(value.name)] = ValueJson(value);
        }
        document["registry"][textcodec::AnsiToUtf8(key.path)] = std::move(values);
    }
    if (machine.faults.deviceListFails || machine.faults.messageTextFails) {
        OrderedJson faults = OrderedJson::object();
        if (machine.faults.deviceListFails) {
            faults["classDevs"] = true;
        }
        if (machine.faults.messageTextFails) {
            faults["formatMessage"] = true;
        }
        document["faults"] = faults;
    }
    return json::LayOut(document);
}

}  // namespace machine
