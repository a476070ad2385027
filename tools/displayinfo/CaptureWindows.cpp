#include "Capture.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which they need.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <new>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "collector/DisplayDeviceText.h"
#include "devstatus/DeviceIdList.h"
#include "devstatus/LookupRules.h"
#include "platform/Windows1252.h"
#include "OutputWriter.h"

namespace {

using Json = nlohmann::ordered_json;
using IdList = std::optional<DeviceIdList>;
using LookupRules::kEnumKey;

void Warn(const std::string& text)
{
    std::cerr << "displayinfo: capture: " << text << "\n";
}

// Text from the ANSI functions, as UTF-8 for the JSON file. The Linux
// stand-ins read it back into the same bytes.
std::string AnsiToUtf8(const std::string& text)
{
    return windows1252::ToUtf8(text);
}

std::string LowerAscii(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// ---- display devices ------------------------------------------------------

struct DisplayDevice {
    std::string deviceName;
    std::string deviceString;
    DWORD stateFlags = 0;
    std::string deviceID;
    std::string deviceKey;
};

struct Adapter {
    DisplayDevice device;
    std::vector<DisplayDevice> monitors;
    Json json;
};

std::optional<DisplayDevice> EnumDisplayDevice(const char* parent, DWORD index)
{
    DISPLAY_DEVICEA record{};
    record.cb = sizeof record;
    if (!EnumDisplayDevicesA(parent, index, &record, 0)) {
        return std::nullopt;
    }
    return DisplayDevice{FieldText(record.DeviceName), FieldText(record.DeviceString),
                         record.StateFlags, FieldText(record.DeviceID),
                         FieldText(record.DeviceKey)};
}

Json DeviceJson(const DisplayDevice& device)
{
    return Json{{"deviceName", AnsiToUtf8(device.deviceName)},
                {"deviceString", AnsiToUtf8(device.deviceString)},
                {"stateFlags", device.stateFlags},
                {"deviceID", AnsiToUtf8(device.deviceID)},
                {"deviceKey", AnsiToUtf8(device.deviceKey)}};
}

std::optional<Json> DisplayMode(const std::string& adapterName, DWORD mode)
{
    DEVMODEA record{};
    record.dmSize = sizeof record;
    if (!EnumDisplaySettingsA(adapterName.c_str(), mode, &record)) {
        return std::nullopt;
    }
    return Json{{"bitsPerPel", record.dmBitsPerPel},
                {"pelsWidth", record.dmPelsWidth},
                {"pelsHeight", record.dmPelsHeight},
                {"displayFrequency", record.dmDisplayFrequency},
                {"displayFlags", record.dmDisplayFlags}};
}

std::vector<Adapter> CaptureDisplayDevices()
{
    std::vector<Adapter> adapters;
    for (DWORD i = 0;; ++i) {
        std::optional<DisplayDevice> device = EnumDisplayDevice(nullptr, i);
        if (!device) {
            break;
        }
        Adapter adapter;
        adapter.device = *device;
        adapter.json = DeviceJson(*device);
        if (std::optional<Json> current = DisplayMode(device->deviceName, ENUM_CURRENT_SETTINGS)) {
            adapter.json["currentMode"] = *current;
        }
        adapter.json["modes"] = Json::array();
        for (DWORD m = 0;; ++m) {
            std::optional<Json> mode = DisplayMode(device->deviceName, m);
            if (!mode) {
                break;
            }
            adapter.json["modes"].push_back(*mode);
        }
        adapter.json["monitors"] = Json::array();
        for (DWORD m = 0;; ++m) {
            std::optional<DisplayDevice> monitor = EnumDisplayDevice(device->deviceName.c_str(), m);
            if (!monitor) {
                break;
            }
            adapter.monitors.push_back(*monitor);
            adapter.json["monitors"].push_back(DeviceJson(*monitor));
        }
        adapters.push_back(std::move(adapter));
    }
    return adapters;
}

// The patterns the plug-in looks devices up with: the adapters' hardware IDs
// (an empty one only when no adapter has any, since otherwise such adapters
// are passed over) and, for monitors, their IDs cut before the first "\{".
// Monitors count only on adapters with an ID, as only those are examined.
void LookupPatterns(const std::vector<Adapter>& adapters, std::vector<std::string>& adapterPatterns,
                    std::vector<std::string>& monitorPatterns)
{
    bool anyAdapterId = false;
    for (const Adapter& adapter : adapters) {
        anyAdapterId = anyAdapterId || !adapter.device.deviceID.empty();
    }
    for (const Adapter& adapter : adapters) {
        if (LookupRules::AdapterExamined(anyAdapterId, adapter.device.deviceID)) {
            adapterPatterns.push_back(adapter.device.deviceID);
        }
        if (adapter.device.deviceID.empty()) {
            continue;
        }
        for (const DisplayDevice& monitor : adapter.monitors) {
            monitorPatterns.push_back(LookupRules::MonitorHardwareId(monitor.deviceID));
        }
    }
}

// ---- present devices --------------------------------------------------------

struct Device {
    std::string instanceId;
    IdList hardwareIds;
    IdList compatibleIds;
    bool statusFails = false;
    ULONG status = 0;
    ULONG problem = 0;
};

bool DeviceMatches(const Device& device, const std::string& pattern)
{
    return ListHasPrefix(device.hardwareIds, pattern.c_str()) ||
           ListHasPrefix(device.compatibleIds, pattern.c_str());
}

// An identifier list read the way the plug-in reads it.
IdList ReadIdList(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD property)
{
    DeviceIdListRead read = ReadDeviceIdList(set, data, property);
    if (read.outOfMemory) {
        throw std::bad_alloc();
    }
    return std::move(read.list);
}

// Every present device that one of the patterns matches, in enumeration
// order; false when the device installer gives no device list at all.
bool CapturePresentDevices(const std::vector<std::string>& patterns, std::vector<Device>& devices)
{
    HDEVINFO set =
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (set == INVALID_HANDLE_VALUE) {
        Warn("the device installer gave no list of present devices (error " +
             std::to_string(GetLastError()) + ")");
        return false;
    }
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &data); ++i) {
        Device device;
        device.hardwareIds = ReadIdList(set, data, SPDRP_HARDWAREID);
        device.compatibleIds = ReadIdList(set, data, SPDRP_COMPATIBLEIDS);
        const bool wanted = std::any_of(patterns.begin(), patterns.end(),
                                        [&device](const std::string& pattern) {
                                            return DeviceMatches(device, pattern);
                                        });
        if (!wanted) {
            continue;
        }
        char id[MAX_DEVICE_ID_LEN] = {0};
        const CONFIGRET idResult = CM_Get_Device_IDA(data.DevInst, id, sizeof id, 0);
        if (idResult != CR_SUCCESS) {
            Warn("device " + std::to_string(i) + " has no instance identifier (result " +
                 std::to_string(idResult) + "); left out");
            continue;
        }
        device.instanceId = id;
        device.statusFails =
            CM_Get_DevNode_Status(&device.status, &device.problem, data.DevInst, 0) != CR_SUCCESS;
        devices.push_back(std::move(device));
    }
    SetupDiDestroyDeviceInfoList(set);
    return true;
}

Json DevicesJson(const std::vector<Device>& devices)
{
    Json list = Json::array();
    for (const Device& device : devices) {
        Json entry{{"instanceId", AnsiToUtf8(device.instanceId)}};
        for (const auto& ids : {std::make_pair("hardwareIds", &device.hardwareIds),
                                std::make_pair("compatibleIds", &device.compatibleIds)}) {
            if (*ids.second) {
                Json array = Json::array();
                for (const char* const* id = (*ids.second)->entries.get(); *id != nullptr; ++id) {
                    array.push_back(AnsiToUtf8(*id));
                }
                entry[ids.first] = array;
            }
        }
        if (device.statusFails) {
            entry["statusFails"] = true;
        } else {
            entry["status"] = device.status;
            entry["problem"] = device.problem;
        }
        list.push_back(entry);
    }
    return list;
}

// ---- registry -----------------------------------------------------------------

std::string TypeName(DWORD type)
{
    static const std::map<DWORD, std::string> names = {
        {REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
        {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
        {REG_DWORD, "REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
        {REG_LINK, "REG_LINK"},           {REG_MULTI_SZ, "REG_MULTI_SZ"},
        {REG_QWORD, "REG_QWORD"},
    };
    const auto found = names.find(type);
    return found == names.end() ? std::string() : found->second;
}

// ASCII without zero bytes: text that a JSON string gives back byte for byte.
bool IsPlainText(std::vector<BYTE>::const_iterator begin, std::vector<BYTE>::const_iterator end)
{
    return std::all_of(begin, end, [](BYTE b) { return b >= 0x01 && b <= 0x7F; });
}

std::string HexText(const std::vector<BYTE>& data)
{
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(pair, sizeof pair, i == 0 ? "%02X" : " %02X", data[i]);
        text += pair;
    }
    return text;
}

// The value with the plainest payload that gives back exactly its bytes.
Json ValueJson(DWORD type, const std::vector<BYTE>& data)
{
    Json value{{"type", TypeName(type)}};
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && !data.empty() && data.back() == 0 &&
        IsPlainText(data.begin(), data.end() - 1)) {
        value["string"] = std::string(data.begin(), data.end() - 1);
        return value;
    }
    if (type == REG_MULTI_SZ) {
        std::vector<std::string> strings;
        std::vector<BYTE> again;
        for (auto at = data.begin(); at != data.end() && *at != 0;) {
            const auto end = std::find(at, data.end(), BYTE{0});
            if (end == data.end() || !IsPlainText(at, end)) {
                break;
            }
            strings.emplace_back(at, end);
            again.insert(again.end(), at, end + 1);
            at = end + 1;
        }
        again.push_back(0);
        if (again == data) {
            value["strings"] = strings;
            return value;
        }
    }
    if (type == REG_DWORD && data.size() == 4) {
        value["dword"] = static_cast<DWORD>(data[0]) | static_cast<DWORD>(data[1]) << 8 |
                         static_cast<DWORD>(data[2]) << 16 | static_cast<DWORD>(data[3]) << 24;
        return value;
    }
    value["hex"] = HexText(data);
    return value;
}

// The keys below HKEY_LOCAL_MACHINE that the plug-in opens, with the values
// it reads from them. A key that exists is recorded even without values,
// since opening it succeeds.
class RegistryCapture {
public:
    void CaptureKey(const std::string& path, const std::vector<std::string>& names)
    {
        const std::string cleanPath = WithoutEmptyParts(path);
        HKEY key = nullptr;
        if (cleanPath.empty() ||
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, cleanPath.c_str(), 0, KEY_READ, &key) !=
                ERROR_SUCCESS) {
            return;
        }
        const std::string folded = LowerAscii(cleanPath);
        auto known = index_.find(folded);
        if (known == index_.end()) {
            known = index_.emplace(folded, keys_.size()).first;
            keys_.emplace_back(AnsiToUtf8(cleanPath), Json::object());
        }
        Json& values = keys_[known->second].second;
        for (const std::string& name : names) {
            DWORD type = REG_NONE;
            std::vector<BYTE> data;
            if (values.contains(name) || !ReadValue(key, name, type, data)) {
                continue;
            }
            if (TypeName(type).empty()) {
                Warn("value " + name + " of " + cleanPath + " has type " + std::to_string(type) +
                     ", which a description cannot name; recorded as REG_NONE");
                type = REG_NONE;
            }
            values[name] = ValueJson(type, data);
        }
        RegCloseKey(key);
    }

    Json ToJson() const
    {
        Json registry = Json::object();
        for (const auto& key : keys_) {
            registry[key.first] = key.second;
        }
        return registry;
    }

private:
    static std::string WithoutEmptyParts(const std::string& path)
    {
        std::string clean;
        std::size_t start = 0;
        while (start <= path.size()) {
            std::size_t end = path.find('\\', start);
            if (end == std::string::npos) {
                end = path.size();
            }
            if (end > start) {
                clean += (clean.empty() ? "" : "\\") + path.substr(start, end - start);
            }
            start = end + 1;
        }
        return clean;
    }

    static bool ReadValue(HKEY key, const std::string& name, DWORD& type,
                          std::vector<BYTE>& data)
    {
        data.assign(4096, 0);
        for (;;) {
            DWORD size = static_cast<DWORD>(data.size());
            const LSTATUS result =
                RegQueryValueExA(key, name.c_str(), nullptr, &type, data.data(), &size);
            if (result == ERROR_MORE_DATA) {
                data.assign(std::max<std::size_t>(size, 2 * data.size()), 0);
                continue;
            }
            if (result != ERROR_SUCCESS) {
                if (result != ERROR_FILE_NOT_FOUND) {
                    Warn("value " + name + " cannot be read (error " + std::to_string(result) +
                         ")");
                }
                return false;
            }
            data.resize(size);
            return true;
        }
    }

    std::vector<std::pair<std::string, Json>> keys_;
    std::map<std::string, std::size_t> index_;
};

void CaptureRegistry(const std::vector<Adapter>& adapters, const std::vector<Device>& devices,
                     const std::vector<std::string>& monitorPatterns, RegistryCapture& registry)
{
    // The driver key of every adapter, with its "HardwareInformation." values.
    const std::vector<std::string> driverValues(std::begin(LookupRules::kDriverValues),
                                                std::end(LookupRules::kDriverValues));
    char path[LookupRules::kDriverValueSize];
    for (const Adapter& adapter : adapters) {
        if (const char* driverKey = LookupRules::DriverKeyInPath(adapter.device.deviceKey, path)) {
            registry.CaptureKey(driverKey, driverValues);
        }
    }
    // Monitors: the enumeration key of the device that each monitor's lookup
    // ends at (the last match), and of every device under DISPLAY\.
    std::vector<bool> monitorDevice(devices.size(), false);
    for (const std::string& pattern : monitorPatterns) {
        for (std::size_t i = devices.size(); i-- > 0;) {
            if (DeviceMatches(devices[i], pattern)) {
                monitorDevice[i] = true;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < devices.size(); ++i) {
        const std::string& id = devices[i].instanceId;
        const char* const display = LookupRules::kDisplayEnumerator;
        if (monitorDevice[i] || _strnicmp(id.c_str(), display, std::strlen(display)) == 0) {
            registry.CaptureKey(kEnumKey + id, {LookupRules::kDeviceDescValue});
            registry.CaptureKey(kEnumKey + id + LookupRules::kDeviceParameters,
                                {LookupRules::kEdidValue});
        }
    }
}

// ---- computer ---------------------------------------------------------------

void CaptureComputer(Json& document)
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
    DWORD size = sizeof name;
    if (GetComputerNameA(name, &size) && size > 0) {
        document["computerName"] = AnsiToUtf8(std::string(name, size));
    } else {
        Warn("the computer name cannot be read (error " + std::to_string(GetLastError()) + ")");
    }
    TIME_ZONE_INFORMATION zone{};
    const DWORD result = GetTimeZoneInformation(&zone);
    document["timeZone"] = Json{{"result", result},
                                {"bias", zone.Bias},
                                {"standardBias", zone.StandardBias},
                                {"daylightBias", zone.DaylightBias}};
}

}  // namespace

bool CaptureSupported()
{
    return true;
}

bool CaptureMachine(const std::string& path, const std::string& /*systemRootOption*/,
                    std::string& error)
{
    Json document = Json::object();
    CaptureComputer(document);

    std::vector<Adapter> adapters = CaptureDisplayDevices();
    document["displayDevices"] = Json::array();
    for (const Adapter& adapter : adapters) {
        document["displayDevices"].push_back(adapter.json);
    }

    std::vector<std::string> adapterPatterns;
    std::vector<std::string> monitorPatterns;
    LookupPatterns(adapters, adapterPatterns, monitorPatterns);
    std::vector<std::string> patterns = adapterPatterns;
    patterns.insert(patterns.end(), monitorPatterns.begin(), monitorPatterns.end());
    std::vector<Device> devices;
    const bool deviceList = patterns.empty() || CapturePresentDevices(patterns, devices);
    document["devices"] = DevicesJson(devices);

    RegistryCapture registry;
    CaptureRegistry(adapters, devices, monitorPatterns, registry);
    document["registry"] = registry.ToJson();
    if (!deviceList) {
        document["faults"] = Json{{"classDevs", true}};
    }

    return WriteOutputFile(path, document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n",
                           error);
}
