// Reading and checking machine descriptions (JSON).
#include "platform/posix/MachineDescription.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/Windows1252.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/Machine.h"

namespace displayplatform {

using detail::DisplayAdapter;
using detail::DisplayDevice;
using detail::DisplayMode;
using detail::Machine;
using detail::Registry;
using detail::RegistryValue;
using Json = nlohmann::json;

namespace {

// Lengths the Windows structures and limits allow, without terminator.
constexpr std::size_t kDeviceNameLength = sizeof(DISPLAY_DEVICEA::DeviceName) - 1;
constexpr std::size_t kDeviceFieldLength = sizeof(DISPLAY_DEVICEA::DeviceString) - 1;
constexpr std::size_t kInstanceIdLength = MAX_DEVICE_ID_LEN - 1;
constexpr std::size_t kKeyNameLength = 255;
constexpr std::size_t kValueNameLength = 16383;

// The status of a device without "status": started, with its driver loaded
// (DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER).
constexpr DWORD kStartedDeviceStatus =
    DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER;

std::string EscapePointerToken(const std::string& token)
{
    std::string escaped;
    for (char c : token) {
        if (c == '~') {
            escaped += "~0";
        } else if (c == '/') {
            escaped += "~1";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// Text from the document as a message shows it: a zero character, which would
// end the message for whoever reads it as a C string, is written as the JSON
// escape \u0000.
std::string Printable(const std::string& text)
{
    std::string printable;
    for (char c : text) {
        if (c == '\0') {
            printable += "\\u0000";
        } else {
            printable += c;
        }
    }
    return printable;
}

// A place in the document as a JSON pointer.
class Place {
public:
    Place() = default;
    Place operator/(const std::string& key) const { return Place(pointer_ + "/" + EscapePointerToken(key)); }
    Place operator/(std::size_t index) const { return Place(pointer_ + "/" + std::to_string(index)); }
    std::string Text() const { return pointer_.empty() ? "(top level)" : Printable(pointer_); }

private:
    explicit Place(std::string pointer) : pointer_(std::move(pointer)) {}
    std::string pointer_;
};

// Thrown while parsing, before the document exists.
struct DuplicateKey {
    std::string pointer;
};

std::string Quoted(const std::string& text)
{
    return "\"" + Printable(text) + "\"";
}

std::string TypeOf(const Json& value)
{
    if (value.is_number_float()) {
        return "a fractional number";
    }
    if (value.is_number()) {
        return "a number";
    }
    if (value.is_null()) {
        return "null";
    }
    const std::string name = value.type_name();
    return (name == "object" || name == "array") ? "an " + name : "a " + name;
}

class DescriptionReader {
public:
    explicit DescriptionReader(std::string source) : source_(std::move(source)) {}

    std::shared_ptr<Machine> Read(const Json& document) const
    {
        auto machine = std::make_shared<Machine>();
        const Place top;
        const Json& root = Object(document, top,
                                  {"computerName", "timeZone", "displayDevices", "devices",
                                   "registry", "faults"});
        if (const Json* name = Member(root, "computerName")) {
            const std::string text = Text(*name, top / "computerName", MAX_COMPUTERNAME_LENGTH);
            if (text.empty()) {
                Fail(top / "computerName", "the computer name is empty");
            }
            machine->computerName = text;
        }
        if (const Json* zone = Member(root, "timeZone")) {
            machine->timeZone = ReadTimeZone(*zone, top / "timeZone");
        }
        if (const Json* adapters = Member(root, "displayDevices")) {
            ReadAdapters(*adapters, top / "displayDevices", *machine);
        }
        if (const Json* devices = Member(root, "devices")) {
            ReadDevices(*devices, top / "devices", *machine);
        }
        if (const Json* registry = Member(root, "registry")) {
            ReadRegistry(*registry, top / "registry", machine->registry);
        }
        if (const Json* faults = Member(root, "faults")) {
            const Place place = top / "faults";
            const Json& object = Object(*faults, place, {"classDevs", "formatMessage"});
            machine->faults.classDevs = OptionalFlag(object, place, "classDevs");
            machine->faults.formatMessage = OptionalFlag(object, place, "formatMessage");
        }
        return machine;
    }

    [[noreturn]] void Fail(const Place& place, const std::string& what) const
    {
        throw MachineDescriptionError(source_ + ": " + place.Text() + ": " + what);
    }

private:
    // ---- elements ----------------------------------------------------------

    static const Json* Member(const Json& object, const char* key)
    {
        const auto found = object.find(key);
        return found == object.end() ? nullptr : &*found;
    }

    const Json& Object(const Json& value, const Place& place,
                       std::initializer_list<const char*> allowed) const
    {
        if (!value.is_object()) {
            Fail(place, "expected an object, found " + TypeOf(value));
        }
        for (const auto& item : value.items()) {
            bool known = false;
            for (const char* key : allowed) {
                known = known || item.key() == key;
            }
            if (!known) {
                Fail(place / item.key(), "unknown key " + Quoted(item.key()));
            }
        }
        return value;
    }

    const Json& Array(const Json& value, const Place& place) const
    {
        if (!value.is_array()) {
            Fail(place, "expected an array, found " + TypeOf(value));
        }
        return value;
    }

    const Json& Required(const Json& object, const Place& place, const char* key) const
    {
        const Json* member = Member(object, key);
        if (member == nullptr) {
            Fail(place, "the key " + Quoted(key) + " is missing");
        }
        return *member;
    }

    // UTF-8 of the file turned into the code page; what names the text in
    // the message when a character has no place there.
    std::string Ansi(const std::string& utf8, const Place& place, const char* what) const
    {
        std::string converted;
        unsigned badCodePoint = 0;
        if (!windows1252::FromUtf8(utf8, converted, badCodePoint)) {
            std::ostringstream character;
            character << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
                      << badCodePoint;
            Fail(place, std::string("the ") + what + " holds " + character.str() +
                            ", which the ANSI code page (Windows-1252) cannot represent");
        }
        return converted;
    }

    // A string; an embedded zero character is refused unless it may be data.
    // Text the Win32 functions hand out is ANSI: the file's UTF-8 is turned
    // into the code page, and a character it lacks is an error. Payloads that
    // are not ANSI text (hex digits, UTF-16 source text) stay as written.
    std::string Text(const Json& value, const Place& place, std::size_t maxLength,
                     bool zeroAllowed = false, bool ansi = true) const
    {
        if (!value.is_string()) {
            Fail(place, "expected a string, found " + TypeOf(value));
        }
        std::string text = value.get_ref<const std::string&>();
        if (ansi) {
            text = Ansi(text, place, "string");
        }
        if (!zeroAllowed && text.find('\0') != std::string::npos) {
            Fail(place, "the string contains a zero character");
        }
        if (text.size() > maxLength) {
            Fail(place, "the string has " + std::to_string(text.size()) +
                            " characters, more than the " + std::to_string(maxLength) +
                            " that fit");
        }
        return text;
    }

    DWORD Unsigned(const Json& value, const Place& place) const
    {
        if (value.is_number_unsigned()) {
            const auto number = value.get<std::uint64_t>();
            if (number > 0xFFFFFFFFull) {
                Fail(place, std::to_string(number) + " is too large for 32 bits");
            }
            return static_cast<DWORD>(number);
        }
        if (value.is_number_integer()) {
            Fail(place, std::to_string(value.get<std::int64_t>()) + " is negative");
        }
        Fail(place, "expected a whole number, found " + TypeOf(value));
    }

    LONG Signed(const Json& value, const Place& place) const
    {
        if (!value.is_number_integer()) {
            Fail(place, "expected a whole number, found " + TypeOf(value));
        }
        if (value.is_number_unsigned() && value.get<std::uint64_t>() > 0x7FFFFFFFull) {
            Fail(place, std::to_string(value.get<std::uint64_t>()) + " is too large for 32 bits");
        }
        const auto number = value.get<std::int64_t>();
        if (number < -0x80000000LL) {
            Fail(place, std::to_string(number) + " is too small for 32 bits");
        }
        return static_cast<LONG>(number);
    }

    bool Flag(const Json& value, const Place& place) const
    {
        if (!value.is_boolean()) {
            Fail(place, "expected true or false, found " + TypeOf(value));
        }
        return value.get<bool>();
    }

    DWORD OptionalUnsigned(const Json& object, const Place& place, const char* key,
                           DWORD fallback) const
    {
        const Json* member = Member(object, key);
        return member != nullptr ? Unsigned(*member, place / key) : fallback;
    }

    LONG OptionalSigned(const Json& object, const Place& place, const char* key) const
    {
        const Json* member = Member(object, key);
        return member != nullptr ? Signed(*member, place / key) : 0;
    }

    bool OptionalFlag(const Json& object, const Place& place, const char* key) const
    {
        const Json* member = Member(object, key);
        return member != nullptr && Flag(*member, place / key);
    }

    std::string OptionalText(const Json& object, const Place& place, const char* key,
                             std::size_t maxLength) const
    {
        const Json* member = Member(object, key);
        return member != nullptr ? Text(*member, place / key, maxLength) : std::string();
    }

    // ---- sections ----------------------------------------------------------

    detail::TimeZone ReadTimeZone(const Json& value, const Place& place) const
    {
        const Json& object =
            Object(value, place, {"result", "bias", "standardBias", "daylightBias"});
        detail::TimeZone zone;
        zone.result = Unsigned(Required(object, place, "result"), place / "result");
        zone.bias = Signed(Required(object, place, "bias"), place / "bias");
        zone.standardBias = OptionalSigned(object, place, "standardBias");
        zone.daylightBias = OptionalSigned(object, place, "daylightBias");
        return zone;
    }

    void ReadDisplayDevice(const Json& object, const Place& place, DisplayDevice& device) const
    {
        const Place namePlace = place / "deviceName";
        device.deviceName = Text(Required(object, place, "deviceName"), namePlace, kDeviceNameLength);
        if (device.deviceName.empty()) {
            Fail(namePlace, "the device name is empty");
        }
        device.deviceString = OptionalText(object, place, "deviceString", kDeviceFieldLength);
        device.stateFlags = OptionalUnsigned(object, place, "stateFlags", 0);
        device.deviceID = OptionalText(object, place, "deviceID", kDeviceFieldLength);
        device.deviceKey = OptionalText(object, place, "deviceKey", kDeviceFieldLength);
    }

    DisplayMode ReadMode(const Json& value, const Place& place) const
    {
        const Json& object = Object(value, place,
                                    {"bitsPerPel", "pelsWidth", "pelsHeight", "displayFrequency",
                                     "displayFlags"});
        DisplayMode mode;
        mode.bitsPerPel = OptionalUnsigned(object, place, "bitsPerPel", 0);
        mode.pelsWidth = OptionalUnsigned(object, place, "pelsWidth", 0);
        mode.pelsHeight = OptionalUnsigned(object, place, "pelsHeight", 0);
        mode.displayFrequency = OptionalUnsigned(object, place, "displayFrequency", 0);
        mode.displayFlags = OptionalUnsigned(object, place, "displayFlags", 0);
        return mode;
    }

    void ReadAdapters(const Json& value, const Place& place, Machine& machine) const
    {
        const Json& adapters = Array(value, place);
        for (std::size_t i = 0; i < adapters.size(); ++i) {
            const Place at = place / i;
            const Json& object = Object(adapters[i], at,
                                        {"deviceName", "deviceString", "stateFlags", "deviceID",
                                         "deviceKey", "currentMode", "modes", "monitors"});
            DisplayAdapter adapter;
            ReadDisplayDevice(object, at, adapter);
            if (machine.FindAdapter(adapter.deviceName) != nullptr) {
                Fail(at / "deviceName",
                     "the device name " + Quoted(adapter.deviceName) + " is already taken");
            }
            if (const Json* current = Member(object, "currentMode")) {
                adapter.currentMode = ReadMode(*current, at / "currentMode");
            }
            if (const Json* modes = Member(object, "modes")) {
                const Json& list = Array(*modes, at / "modes");
                for (std::size_t m = 0; m < list.size(); ++m) {
                    adapter.modes.push_back(ReadMode(list[m], at / "modes" / m));
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
                    adapter.monitors.push_back(monitor);
                }
            }
            machine.AddAdapter(std::move(adapter));
        }
    }

    // The identifiers as a multi-string.
    std::vector<BYTE> ReadIdList(const Json& value, const Place& place) const
    {
        const Json& list = Array(value, place);
        std::vector<BYTE> ids;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string id = Text(list[i], place / i, kInstanceIdLength);
            if (id.empty()) {
                Fail(place / i, "an empty identifier would end the list");
            }
            ids.insert(ids.end(), id.begin(), id.end());
            ids.push_back(0);
        }
        ids.push_back(0);
        return ids;
    }

    void ReadDevices(const Json& value, const Place& place, Machine& machine) const
    {
        const Json& devices = Array(value, place);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const Place at = place / i;
            const Json& object =
                Object(devices[i], at,
                       {"instanceId", "hardwareIds", "compatibleIds", "status", "problem",
                        "statusFails"});
            detail::Device device;
            const Place idPlace = at / "instanceId";
            device.instanceId = Text(Required(object, at, "instanceId"), idPlace, kInstanceIdLength);
            if (device.instanceId.empty()) {
                Fail(idPlace, "the instance identifier is empty");
            }
            if (machine.FindDevice(device.instanceId) != nullptr) {
                Fail(idPlace, "the instance identifier " + Quoted(device.instanceId) +
                                  " is already taken");
            }
            if (const Json* ids = Member(object, "hardwareIds")) {
                device.hardwareIds = ReadIdList(*ids, at / "hardwareIds");
            }
            if (const Json* ids = Member(object, "compatibleIds")) {
                device.compatibleIds = ReadIdList(*ids, at / "compatibleIds");
            }
            device.status = OptionalUnsigned(object, at, "status", kStartedDeviceStatus);
            device.problem = OptionalUnsigned(object, at, "problem", 0);
            device.statusFails = OptionalFlag(object, at, "statusFails");
            machine.AddDevice(std::move(device));
        }
    }

    void ReadRegistry(const Json& value, const Place& place, Registry& registry) const
    {
        if (!value.is_object()) {
            Fail(place, "expected an object, found " + TypeOf(value));
        }
        // Paths and value names are ANSI text like every other name the
        // plug-in passes to the registry.
        std::map<std::string, std::string> seen;  // folded path -> path as written
        for (const auto& item : value.items()) {
            const Place at = place / item.key();
            const std::string path = Ansi(item.key(), at, "key path");
            CheckKeyPath(path, at);
            const auto earlier = seen.emplace(Registry::Fold(path), item.key());
            if (!earlier.second) {
                Fail(at, "the key is the same as " + Quoted(earlier.first->second) +
                             " (registry paths ignore case)");
            }
            if (!item.value().is_object()) {
                Fail(at, "expected an object, found " + TypeOf(item.value()));
            }
            std::vector<RegistryValue> values;
            for (const auto& entry : item.value().items()) {
                const Place valueAt = at / entry.key();
                const std::string name = Ansi(entry.key(), valueAt, "value name");
                if (name.size() > kValueNameLength) {
                    Fail(valueAt, "the value name is longer than " +
                                      std::to_string(kValueNameLength) + " characters");
                }
                if (name.find('\0') != std::string::npos) {
                    Fail(valueAt, "the value name contains a zero character");
                }
                for (const RegistryValue& other : values) {
                    if (detail::EqualsIgnoringCase(other.name, name)) {
                        Fail(valueAt, "the value name is the same as " +
                                          Quoted(windows1252::ToUtf8(other.name)) +
                                          " (value names ignore case)");
                    }
                }
                values.push_back(ReadValue(name, entry.value(), valueAt));
            }
            registry.AddKey(path, std::move(values));
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
            if (length > kKeyNameLength) {
                Fail(place, "a part of the key path is longer than " +
                                std::to_string(kKeyNameLength) + " characters");
            }
            if (end == std::string::npos) {
                break;
            }
            start = end + 1;
        }
    }

    RegistryValue ReadValue(const std::string& name, const Json& value, const Place& place) const
    {
        static const char* const payloads[] = {"string", "strings", "dword", "hex", "utf16"};
        const Json& object =
            Object(value, place, {"type", "string", "strings", "dword", "hex", "utf16"});
        RegistryValue result;
        result.name = name;
        result.type = ValueType(Required(object, place, "type"), place / "type");
        const char* payload = nullptr;
        for (const char* key : payloads) {
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
            const std::string text = Text(data, at, kMaxValueSize - 1, true);
            result.data.assign(text.begin(), text.end());
            result.data.push_back(0);
        } else if (kind == "strings") {
            const Json& list = Array(data, at);
            for (std::size_t i = 0; i < list.size(); ++i) {
                const std::string text = Text(list[i], at / i, kMaxValueSize);
                if (text.empty()) {
                    Fail(at / i, "an empty string would end the multi-string");
                }
                result.data.insert(result.data.end(), text.begin(), text.end());
                result.data.push_back(0);
            }
            result.data.push_back(0);
        } else if (kind == "dword") {
            const DWORD number = Unsigned(data, at);
            for (int shift = 0; shift < 32; shift += 8) {
                result.data.push_back(static_cast<BYTE>(number >> shift));
            }
        } else if (kind == "hex") {
            result.data = Hex(Text(data, at, 3 * kMaxValueSize, false, false), at);
        } else {
            result.data = Utf16(Text(data, at, kMaxValueSize, true, false), at);
        }
        if (result.data.size() > kMaxValueSize) {
            Fail(at, "the value is larger than " + std::to_string(kMaxValueSize) + " bytes");
        }
        return result;
    }

    DWORD ValueType(const Json& value, const Place& place) const
    {
        static const std::map<std::string, DWORD> types = {
            {"REG_NONE", REG_NONE},           {"REG_SZ", REG_SZ},
            {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_BINARY", REG_BINARY},
            {"REG_DWORD", REG_DWORD},         {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
            {"REG_LINK", REG_LINK},           {"REG_MULTI_SZ", REG_MULTI_SZ},
            {"REG_QWORD", REG_QWORD},
        };
        const std::string name = Text(value, place, 32);
        const auto found = types.find(name);
        if (found == types.end()) {
            Fail(place, "unknown value type " + Quoted(name) +
                            " (REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ, ...)");
        }
        return found->second;
    }

    // Pairs of hexadecimal digits, with blanks allowed between the pairs.
    std::vector<BYTE> Hex(const std::string& text, const Place& place) const
    {
        auto digit = [](char c) -> int {
            if (c >= '0' && c <= '9') return c - '0';
            if (c >= 'a' && c <= 'f') return c - 'a' + 10;
            if (c >= 'A' && c <= 'F') return c - 'A' + 10;
            return -1;
        };
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
        std::vector<BYTE> bytes;
        for (std::size_t i = 0; i < text.size();) {
            if (blank(text[i])) {
                ++i;
                continue;
            }
            const int high = digit(text[i]);
            const int low = i + 1 < text.size() ? digit(text[i + 1]) : -1;
            if (high < 0 || low < 0) {
                const std::size_t bad = high < 0 ? i : i + 1;
                Fail(place, bad < text.size()
                                ? "bad hexadecimal data at character " + std::to_string(bad + 1) +
                                      " (" + Quoted(text.substr(bad, 1)) + "); bytes are pairs of "
                                      "hexadecimal digits"
                                : "bad hexadecimal data: the last byte has only one digit");
            }
            bytes.push_back(static_cast<BYTE>(high * 16 + low));
            i += 2;
        }
        return bytes;
    }

    // The text as UTF-16LE with its two-byte terminator.
    std::vector<BYTE> Utf16(const std::string& text, const Place& place) const
    {
        std::vector<BYTE> bytes;
        auto unit = [&bytes](std::uint32_t u) {
            bytes.push_back(static_cast<BYTE>(u & 0xFF));
            bytes.push_back(static_cast<BYTE>(u >> 8));
        };
        for (std::size_t i = 0; i < text.size();) {
            const auto lead = static_cast<unsigned char>(text[i]);
            std::uint32_t code = lead;
            std::size_t extra = 0;
            if (lead >= 0xF0) {
                code = lead & 0x07;
                extra = 3;
            } else if (lead >= 0xE0) {
                code = lead & 0x0F;
                extra = 2;
            } else if (lead >= 0xC0) {
                code = lead & 0x1F;
                extra = 1;
            }
            if (i + extra >= text.size()) {
                Fail(place, "the text is not valid UTF-8");
            }
            for (std::size_t k = 1; k <= extra; ++k) {
                code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
            }
            i += extra + 1;
            if (code >= 0x10000) {
                code -= 0x10000;
                unit(0xD800 + (code >> 10));
                unit(0xDC00 + (code & 0x3FF));
            } else {
                unit(code);
            }
        }
        unit(0);
        return bytes;
    }

    // The registry's limit for one value is far above this; the cap only
    // keeps descriptions sane.
    static constexpr std::size_t kMaxValueSize = 1024 * 1024;

    std::string source_;
};


// An output stream buffer that appends to a string.
class StringSink : public std::streambuf {
public:
    explicit StringSink(std::string& text) : text_(text) {}

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override
    {
        text_.append(data, static_cast<std::size_t>(count));
        return count;
    }
    int_type overflow(int_type c) override
    {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            text_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }

private:
    std::string& text_;
};

std::string Source(const std::string& sourceName)
{
    return sourceName.empty() ? std::string("machine description") : sourceName;
}

// Reads the document's events and throws DuplicateKey for the first object
// key given twice, with the place of the repeated key. Syntax errors are
// thrown as the library's own exceptions, as its parser throws them.
class DuplicateKeyCheck {
public:
    bool null() { return Value(); }
    bool boolean(bool) { return Value(); }
    bool number_integer(Json::number_integer_t) { return Value(); }
    bool number_unsigned(Json::number_unsigned_t) { return Value(); }
    bool number_float(Json::number_float_t, const Json::string_t&) { return Value(); }
    bool string(Json::string_t&) { return Value(); }
    bool binary(Json::binary_t&) { return Value(); }
    bool start_object(std::size_t) { return Start(false); }
    bool start_array(std::size_t) { return Start(true); }
    bool end_object() { return End(); }
    bool end_array() { return End(); }

    bool key(Json::string_t& key)
    {
        Frame& frame = frames_.back();
        frame.key = key;
        if (!frame.keys.insert(frame.key).second) {
            throw DuplicateKey{Printable(Pointer())};
        }
        return true;
    }

    template <class Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error)
    {
        throw error;
    }

private:
    struct Frame {
        bool isArray;
        long index;
        std::string key;
        std::set<std::string> keys;
    };

    bool Value()
    {
        if (!frames_.empty() && frames_.back().isArray) {
            ++frames_.back().index;
        }
        return true;
    }

    bool Start(bool isArray)
    {
        Value();
        frames_.push_back(Frame{isArray, -1, {}, {}});
        return true;
    }

    bool End()
    {
        frames_.pop_back();
        return true;
    }

    std::string Pointer() const
    {
        std::string text;
        for (const Frame& frame : frames_) {
            text += "/" + (frame.isArray ? std::to_string(frame.index)
                                         : EscapePointerToken(frame.key));
        }
        return text;
    }

    std::vector<Frame> frames_;
};

// Parses the text, refusing objects with a key given twice (which the JSON
// library would otherwise resolve silently). The check is a pass of its own:
// the library's parser with a callback, which could check while building,
// searches the enclosing object after every nested one, which takes time
// quadratic in the number of registry keys.
Json Parse(const std::string& json)
{
    try {
        DuplicateKeyCheck check;
        Json::sax_parse(json, &check);
    } catch (const DuplicateKey& duplicate) {
        throw MachineDescriptionError(duplicate.pointer + ": the key is given twice");
    }
    return Json::parse(json);
}

}  // namespace

void LoadMachineJson(const std::string& json, const std::string& sourceName)
{
    const std::string source = Source(sourceName);
    const DescriptionReader reader(source);
    Json document;
    try {
        document = Parse(json);
    } catch (const MachineDescriptionError& error) {
        throw MachineDescriptionError(source + ": " + error.what());
    } catch (const Json::exception& error) {
        // Syntax errors, and numbers too large for a double (out_of_range).
        std::string what = error.what();
        const std::size_t tag = what.find("] ");
        if (what.rfind("[json.exception", 0) == 0 && tag != std::string::npos) {
            what = what.substr(tag + 2);
        }
        throw MachineDescriptionError(source + ": not valid JSON: " + what);
    }
    detail::ReplaceMachine(reader.Read(document));
}

void LoadMachineFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw MachineDescriptionError(path + ": cannot be opened: " + std::strerror(errno));
    }
    // A description of thousands of devices runs to megabytes. The text is
    // copied into one string made large enough for a regular file at once,
    // rather than into a growing string stream and out again, which held it
    // twice while it was parsed.
    std::string text;
    std::error_code sizeUnknown;
    const std::uintmax_t size = std::filesystem::file_size(path, sizeUnknown);
    if (!sizeUnknown) {
        text.reserve(static_cast<std::size_t>(size));
    }
    StringSink sink(text);
    std::ostream copy(&sink);
    copy << file.rdbuf();
    if (file.bad()) {
        throw MachineDescriptionError(path + ": cannot be read: " + std::strerror(errno));
    }
    LoadMachineJson(text, path);
}

bool LoadMachineFromEnvironment()
{
    const char* path = std::getenv("DISPLAYINFO_MACHINE");
    if (path == nullptr || path[0] == '\0') {
        return false;
    }
    LoadMachineFile(path);
    return true;
}

void ResetMachine()
{
    detail::ReplaceMachine(std::make_shared<const Machine>());
}

OpenHandleCounts CountOpenHandles()
{
    OpenHandleCounts counts;
    counts.registryKeys = detail::CountRegistryKeys();
    counts.deviceInfoSets = detail::CountDeviceInfoSets();
    counts.localAllocations = detail::CountLocalAllocations();
    return counts;
}

}  // namespace displayplatform
