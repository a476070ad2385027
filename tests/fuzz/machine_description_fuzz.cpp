// libFuzzer target: the machine description loader over arbitrary text.
//
// Each input is loaded over a known machine. The loader must either accept
// it or refuse it with a MachineDescriptionError; any other exception, or a
// fault, is a finding. Checked:
// - a refusal reads "fuzz.json: " and then either "not valid JSON: ..." (only
//   for text that does not parse) or the place as a JSON pointer (or "(top
//   level)") and the reason; for text that parses, the pointer names a place
//   in the document;
// - a refusal changes nothing: the machine loaded before is still in place;
// - an accepted machine is what the text describes and is fully usable: the
//   display devices, their monitors and modes, the devices with their
//   identifiers and status, and every registry value come back through the
//   Win32 stand-ins, text in the ANSI code page; a request for all eight
//   classes runs on it; and nothing is left open afterwards.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>
#include <nlohmann/json.hpp>

#include "FuzzCheck.h"
#include "devstatus/DeviceIdList.h"
#include "host/Host.h"
#include "kvtcore/HostControl.h"
#include "platform/Win32.h"
#include "platform/Windows1252.h"
#include "platform/posix/Diagnostics.h"
#include "platform/posix/Machine.h"
#include "platform/posix/MachineDescription.h"
#include "plugin/DisplayInfoCallbacks.h"

namespace {

namespace platform = displayplatform::detail;
using Json = nlohmann::json;

const char* const kSource = "fuzz.json";

// The machine in place before each input.
const char* const kBaseline = R"({
  "computerName": "BASELINE",
  "displayDevices": [{"deviceName": "\\\\.\\DISPLAY1", "stateFlags": 5,
                      "deviceID": "PCI\\VEN_1234&DEV_0001",
                      "currentMode": {"bitsPerPel": 32, "pelsWidth": 1024, "pelsHeight": 768}}],
  "devices": [{"instanceId": "PCI\\VEN_1234&DEV_0001\\0", "hardwareIds": ["PCI\\VEN_1234&DEV_0001"]}]
})";

// A device described without "status": started, with its driver loaded.
const DWORD kStartedDeviceStatus = 0x0180200A;

const char* const kClassNames[] = {
    "ORNSG_VideoController",       "ORNSG_VideoHead",
    "ORNSG_VideoBios",             "ORNSG_BiosOfVideoController",
    "ORNSG_HeadOfVideoController", "ORNSG_DesktopMonitor",
    "ORNSG_MonitorResolution",     "ORNSG_MonitorSetting",
};

std::shared_ptr<const platform::Machine> baseline;
TDisplayInfoCallbacks* callbacks = nullptr;

const Json* Member(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// A text of the description as the "A" functions hand it out.
std::string Ansi(const std::string& utf8)
{
    std::string ansi;
    unsigned badCodePoint = 0;
    FUZZ_CHECK(windows1252::FromUtf8(utf8, ansi, badCodePoint));
    return ansi;
}

std::string AnsiMember(const Json& object, const char* key)
{
    const Json* member = Member(object, key);
    return member != nullptr ? Ansi(member->get<std::string>()) : std::string();
}

DWORD NumberMember(const Json& object, const char* key, DWORD fallback)
{
    const Json* member = Member(object, key);
    return member != nullptr ? member->get<DWORD>() : fallback;
}

// A fixed-size text field holds its text and a terminator.
template <std::size_t N>
std::string Field(const char (&field)[N])
{
    FUZZ_CHECK(std::memchr(field, '\0', N) != nullptr);
    return std::string(field);
}

// ---- refusals ---------------------------------------------------------------

bool IsPointerSyntax(const std::string& pointer)
{
    try {
        Json::json_pointer parsed(pointer);
        return true;
    } catch (const Json::exception&) {
        return false;
    }
}

// Messages show a zero character of a key as the escape \u0000.
std::string WithZeroCharacters(const std::string& shown)
{
    std::string text = shown;
    const std::string escape = "\\u0000";
    for (std::size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at + 1)) {
        text.replace(at, escape.size(), 1, '\0');
    }
    return text;
}

bool NamesPlaceIn(const Json& document, const std::string& pointer)
{
    return document.contains(Json::json_pointer(pointer)) ||
           document.contains(Json::json_pointer(WithZeroCharacters(pointer)));
}

void CheckRefusal(const std::string& text, const std::string& message)
{
    const std::string prefix = std::string(kSource) + ": ";
    FUZZ_CHECK(message.compare(0, prefix.size(), prefix) == 0);
    const std::string rest = message.substr(prefix.size());
    const Json document = Json::parse(text, nullptr, false);

    const std::string notJson = "not valid JSON: ";
    if (rest.compare(0, notJson.size(), notJson) == 0) {
        FUZZ_CHECK(document.is_discarded());
        FUZZ_CHECK(rest.size() > notJson.size());
        return;
    }
    const std::string topLevel = "(top level): ";
    if (rest.compare(0, topLevel.size(), topLevel) == 0) {
        FUZZ_CHECK(rest.size() > topLevel.size());
        return;
    }
    // "<pointer>: <reason>"; a key in the pointer may itself hold ": ".
    FUZZ_CHECK(!rest.empty() && rest[0] == '/');
    bool placed = false;
    for (std::size_t colon = rest.find(": "); colon != std::string::npos && !placed;
         colon = rest.find(": ", colon + 1)) {
        const std::string pointer = rest.substr(0, colon);
        if (!IsPointerSyntax(pointer) || colon + 2 == rest.size()) {
            continue;
        }
        // A key given twice is found while parsing, so the text may break later.
        placed = document.is_discarded() || NamesPlaceIn(document, pointer);
    }
    FUZZ_CHECK(placed);
}

// ---- accepted machines ----------------------------------------------------------

void CheckDisplayDevice(const DISPLAY_DEVICEA& device, const Json& described)
{
    FUZZ_CHECK(Field(device.DeviceName) == AnsiMember(described, "deviceName"));
    FUZZ_CHECK(Field(device.DeviceString) == AnsiMember(described, "deviceString"));
    FUZZ_CHECK(device.StateFlags == NumberMember(described, "stateFlags", 0));
    FUZZ_CHECK(Field(device.DeviceID) == AnsiMember(described, "deviceID"));
    FUZZ_CHECK(Field(device.DeviceKey) == AnsiMember(described, "deviceKey"));
}

void CheckMode(const char* adapter, DWORD modeNumber, const Json* described)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    const BOOL found = EnumDisplaySettingsA(adapter, modeNumber, &mode);
    FUZZ_CHECK(found == (described != nullptr ? TRUE : FALSE));
    if (described != nullptr) {
        FUZZ_CHECK(mode.dmBitsPerPel == NumberMember(*described, "bitsPerPel", 0));
        FUZZ_CHECK(mode.dmPelsWidth == NumberMember(*described, "pelsWidth", 0));
        FUZZ_CHECK(mode.dmPelsHeight == NumberMember(*described, "pelsHeight", 0));
        FUZZ_CHECK(mode.dmDisplayFrequency == NumberMember(*described, "displayFrequency", 0));
        FUZZ_CHECK(mode.dmDisplayFlags == NumberMember(*described, "displayFlags", 0));
    }
}

void CheckDisplayDevices(const Json& document)
{
    static const Json none = Json::array();
    const Json* listed = Member(document, "displayDevices");
    const Json& adapters = listed != nullptr ? *listed : none;
    DISPLAY_DEVICEA adapter{};
    adapter.cb = sizeof adapter;
    for (std::size_t i = 0; i < adapters.size(); ++i) {
        FUZZ_CHECK(EnumDisplayDevicesA(nullptr, static_cast<DWORD>(i), &adapter, 0));
        CheckDisplayDevice(adapter, adapters[i]);

        const Json* monitors = Member(adapters[i], "monitors");
        const std::size_t monitorCount = monitors != nullptr ? monitors->size() : 0;
        DISPLAY_DEVICEA monitor{};
        monitor.cb = sizeof monitor;
        for (std::size_t m = 0; m < monitorCount; ++m) {
            FUZZ_CHECK(EnumDisplayDevicesA(adapter.DeviceName, static_cast<DWORD>(m), &monitor, 0));
            CheckDisplayDevice(monitor, (*monitors)[m]);
        }
        FUZZ_CHECK(!EnumDisplayDevicesA(adapter.DeviceName, static_cast<DWORD>(monitorCount),
                                        &monitor, 0));

        CheckMode(adapter.DeviceName, ENUM_CURRENT_SETTINGS, Member(adapters[i], "currentMode"));
        const Json* modes = Member(adapters[i], "modes");
        const std::size_t modeCount = modes != nullptr ? modes->size() : 0;
        for (std::size_t m = 0; m < modeCount; ++m) {
            CheckMode(adapter.DeviceName, static_cast<DWORD>(m), &(*modes)[m]);
        }
        CheckMode(adapter.DeviceName, static_cast<DWORD>(modeCount), nullptr);
    }
    FUZZ_CHECK(!EnumDisplayDevicesA(nullptr, static_cast<DWORD>(adapters.size()), &adapter, 0));
}

void CheckIdList(HDEVINFO set, SP_DEVINFO_DATA& record, DWORD property, const Json* described)
{
    const std::optional<DeviceIdList> list = ReadDeviceIdList(set, record, property);
    FUZZ_CHECK(list.has_value() == (described != nullptr));
    if (!list) {
        return;
    }
    std::size_t i = 0;
    for (; list->entries[i] != nullptr; ++i) {
        FUZZ_CHECK(i < described->size());
        FUZZ_CHECK(list->entries[i] == Ansi((*described)[i].get<std::string>()));
    }
    FUZZ_CHECK(i == described->size());
}

void CheckDevices(const Json& document, const platform::Machine& machine)
{
    HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    FUZZ_CHECK((set == INVALID_HANDLE_VALUE) == machine.faults.classDevs);
    if (set == INVALID_HANDLE_VALUE) {
        return;
    }
    static const Json none = Json::array();
    const Json* listed = Member(document, "devices");
    const Json& devices = listed != nullptr ? *listed : none;
    SP_DEVINFO_DATA record{};
    record.cbSize = sizeof record;
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const Json& described = devices[i];
        FUZZ_CHECK(SetupDiEnumDeviceInfo(set, static_cast<DWORD>(i), &record));

        char instanceId[MAX_DEVICE_ID_LEN];
        FUZZ_CHECK(CM_Get_Device_IDA(record.DevInst, instanceId, sizeof instanceId, 0) == CR_SUCCESS);
        FUZZ_CHECK(Field(instanceId) == AnsiMember(described, "instanceId"));

        CheckIdList(set, record, SPDRP_HARDWAREID, Member(described, "hardwareIds"));
        CheckIdList(set, record, SPDRP_COMPATIBLEIDS, Member(described, "compatibleIds"));

        ULONG status = 0;
        ULONG problem = 0;
        const CONFIGRET result = CM_Get_DevNode_Status(&status, &problem, record.DevInst, 0);
        const Json* fails = Member(described, "statusFails");
        if (fails != nullptr && fails->get<bool>()) {
            FUZZ_CHECK(result == CR_NO_SUCH_DEVNODE);
        } else {
            FUZZ_CHECK(result == CR_SUCCESS);
            FUZZ_CHECK(status == NumberMember(described, "status", kStartedDeviceStatus));
            FUZZ_CHECK(problem == NumberMember(described, "problem", 0));
        }
    }
    FUZZ_CHECK(!SetupDiEnumDeviceInfo(set, static_cast<DWORD>(devices.size()), &record));
    FUZZ_CHECK(SetupDiDestroyDeviceInfoList(set));
}

DWORD TypeCode(const std::string& name)
{
    static const std::pair<const char*, DWORD> kTypes[] = {
        {"REG_NONE", REG_NONE},           {"REG_SZ", REG_SZ},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ}, {"REG_BINARY", REG_BINARY},
        {"REG_DWORD", REG_DWORD},         {"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
        {"REG_LINK", REG_LINK},           {"REG_MULTI_SZ", REG_MULTI_SZ},
        {"REG_QWORD", REG_QWORD},
    };
    for (const auto& type : kTypes) {
        if (name == type.first) {
            return type.second;
        }
    }
    FUZZ_CHECK(false);
    return REG_NONE;
}

// The value's bytes where the payload gives them in text; nothing for hex
// and utf16 payloads.
std::optional<std::string> TextPayloadBytes(const Json& value)
{
    if (const Json* text = Member(value, "string")) {
        return Ansi(text->get<std::string>()) + '\0';
    }
    if (const Json* strings = Member(value, "strings")) {
        std::string bytes;
        for (const Json& text : *strings) {
            bytes += Ansi(text.get<std::string>()) + '\0';
        }
        return bytes + '\0';
    }
    if (const Json* number = Member(value, "dword")) {
        const auto dword = number->get<std::uint32_t>();
        std::string bytes;
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((dword >> shift) & 0xFF);
        }
        return bytes;
    }
    return std::nullopt;
}

// Every described key opens by its path and every value reads back, both
// named in the ANSI code page as the plug-in names them.
void CheckRegistry(const Json& document)
{
    const Json* registry = Member(document, "registry");
    if (registry == nullptr) {
        return;
    }
    for (const auto& key : registry->items()) {
        HKEY handle = nullptr;
        FUZZ_CHECK(RegOpenKeyExA(HKEY_LOCAL_MACHINE, Ansi(key.key()).c_str(), 0, KEY_READ,
                                 &handle) == ERROR_SUCCESS);
        for (const auto& value : key.value().items()) {
            const std::string name = Ansi(value.key());
            DWORD type = REG_NONE;
            DWORD size = 0;
            FUZZ_CHECK(RegQueryValueExA(handle, name.c_str(), nullptr, &type, nullptr, &size) ==
                       ERROR_SUCCESS);
            FUZZ_CHECK(type == TypeCode(value.value().at("type").get<std::string>()));
            std::vector<BYTE> data(size + 1);
            DWORD read = size;
            FUZZ_CHECK(RegQueryValueExA(handle, name.c_str(), nullptr, &type, data.data(), &read) ==
                       ERROR_SUCCESS);
            FUZZ_CHECK(read == size);
            if (const std::optional<std::string> bytes = TextPayloadBytes(value.value())) {
                FUZZ_CHECK(std::string(data.begin(), data.begin() + size) == *bytes);
            }
        }
        FUZZ_CHECK(RegCloseKey(handle) == ERROR_SUCCESS);
    }
}

// A data request for all eight classes, as the host makes it.
void RunRequest()
{
    NORNKVT20::IHostControl* host = KvtGetHostControl();
    std::vector<boost::shared_ptr<NORNKVT20::ICIMClass> > classes;
    for (const char* name : kClassNames) {
        classes.push_back(host->GetCIMNamespace()->GetClass(name, NORNKVT20::PropertyMap()));
    }
    callbacks->GetData(host->CreateQueryContext(), classes);
}

void CheckAccepted(const std::string& text)
{
    const std::shared_ptr<const platform::Machine> machine = platform::CurrentMachine();
    FUZZ_CHECK(machine != baseline);
    const Json document = Json::parse(text);
    FUZZ_CHECK(document.is_object());
    CheckDisplayDevices(document);
    CheckDevices(document, *machine);
    CheckRegistry(document);
    RunRequest();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    displayplatform::LoadMachineJson(kBaseline, "baseline");
    baseline = platform::CurrentMachine();
    // Registers with the host and opens the logging gate; kept for the run.
    callbacks = new TDisplayInfoCallbacks();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    platform::ReplaceMachine(baseline);
    KvtGetHostControl()->Reset();

    bool accepted = true;
    try {
        displayplatform::LoadMachineJson(text, kSource);
    } catch (const displayplatform::MachineDescriptionError& error) {
        accepted = false;
        CheckRefusal(text, error.what());
        FUZZ_CHECK(platform::CurrentMachine() == baseline);
    }
    if (accepted) {
        CheckAccepted(text);
    }

    const displayplatform::OpenHandleCounts open = displayplatform::CountOpenHandles();
    FUZZ_CHECK(open.registryKeys == 0);
    FUZZ_CHECK(open.deviceInfoSets == 0);
    FUZZ_CHECK(open.localAllocations == 0);
    return 0;
}
