// The Windows machine as the plug-in sees it: the display devices with their
// monitors and modes, the present devices its lookups can match, the registry
// values it reads, the computer name and the time zone; nothing more.
#include "capture/LiveMachine.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// After windows.h, which they need.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
#include <vector>

#include "collector/DisplayDeviceText.h"
#include "devstatus/DeviceSearch.h"
#include "devstatus/LookupRules.h"
#include "machine/DescriptionCodec.h"

namespace capture {

namespace {

using LookupRules::kEnumKey;

class WindowsCapture {
public:
    LiveMachine Capture()
    {
        CaptureComputer();
        CaptureDisplayDevices();
        std::vector<std::string> adapterPatterns;
        std::vector<std::string> monitorPatterns;
        LookupPatterns(adapterPatterns, monitorPatterns);
        std::vector<std::string> patterns = adapterPatterns;
        patterns.insert(patterns.end(), monitorPatterns.begin(), monitorPatterns.end());
        if (!patterns.empty()) {
            CapturePresentDevices(patterns);
        }
        CaptureRegistry(monitorPatterns);
        return std::move(live_);
    }

private:
    void Problem(const std::string& text) { live_.problems.push_back(text); }

    // ---- display devices ------------------------------------------------------

    static std::optional<machine::DisplayDevice> EnumDisplayDevice(const char* parent, DWORD index)
    {
        DISPLAY_DEVICEA record{};
        record.cb = sizeof record;
        if (!EnumDisplayDevicesA(parent, index, &record, 0)) {
            return std::nullopt;
        }
        return machine::DisplayDevice{FieldText(record.DeviceName), FieldText(record.DeviceString),
                                      record.StateFlags, FieldText(record.DeviceID),
                                      FieldText(record.DeviceKey)};
    }

    static std::optional<machine::DisplayMode> DisplayMode(const std::string& outputName, DWORD mode)
    {
        DEVMODEA record{};
        record.dmSize = sizeof record;
        if (!EnumDisplaySettingsA(outputName.c_str(), mode, &record)) {
            return std::nullopt;
        }
        return machine::DisplayMode{record.dmBitsPerPel, record.dmPelsWidth, record.dmPelsHeight,
                                    record.dmDisplayFrequency, record.dmDisplayFlags};
    }

    void CaptureDisplayDevices()
    {
        for (DWORD i = 0;; ++i) {
            std::optional<machine::DisplayDevice> device = EnumDisplayDevice(nullptr, i);
            if (!device) {
                break;
            }
            machine::Output output;
            static_cast<machine::DisplayDevice&>(output) = *device;
            output.current = DisplayMode(output.name, ENUM_CURRENT_SETTINGS);
            for (DWORD m = 0;; ++m) {
                std::optional<machine::DisplayMode> mode = DisplayMode(output.name, m);
                if (!mode) {
                    break;
                }
                output.modes.push_back(*mode);
            }
            for (DWORD m = 0;; ++m) {
                std::optional<machine::DisplayDevice> monitor =
                    EnumDisplayDevice(output.name.c_str(), m);
                if (!monitor) {
                    break;
                }
                output.monitors.push_back(*monitor);
            }
            live_.machine.outputs.push_back(std::move(output));
        }
    }

    // The patterns the plug-in looks devices up with: the adapters' hardware
    // IDs (an empty one only when no adapter has any, since otherwise such
    // adapters are passed over) and, for monitors, their IDs cut before the
    // first "\{". Monitors count only on adapters with an ID, as only those
    // are examined.
    void LookupPatterns(std::vector<std::string>& adapterPatterns,
                        std::vector<std::string>& monitorPatterns) const
    {
        const std::vector<machine::Output>& outputs = live_.machine.outputs;
        const bool anyAdapterId =
            std::any_of(outputs.begin(), outputs.end(),
                        [](const machine::Output& output) { return !output.id.empty(); });
        for (const machine::Output& output : outputs) {
            if (LookupRules::AdapterExamined(anyAdapterId, output.id)) {
                adapterPatterns.push_back(output.id);
            }
            if (output.id.empty()) {
                continue;
            }
            for (const machine::DisplayDevice& monitor : output.monitors) {
                monitorPatterns.push_back(LookupRules::MonitorHardwareId(monitor.id));
            }
        }
    }

    // ---- present devices --------------------------------------------------------

    static HDEVINFO PresentDevices()
    {
        return SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    }

    static std::optional<machine::IdList> IdList(const std::optional<DeviceIdList>& list)
    {
        if (!list) {
            return std::nullopt;
        }
        machine::IdList ids;
        for (const char* const* id = list->entries.get(); *id != nullptr; ++id) {
            ids.emplace_back(*id);
        }
        return ids;
    }

    // Every present device that one of the patterns matches, in enumeration
    // order; a machine whose device installer gives no list says so.
    void CapturePresentDevices(const std::vector<std::string>& patterns)
    {
        HDEVINFO set = PresentDevices();
        if (set == INVALID_HANDLE_VALUE) {
            Problem("the device installer gave no list of present devices (error " +
                    std::to_string(GetLastError()) + ")");
            live_.machine.faults.deviceListFails = true;
            return;
        }
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &data); ++i) {
            const DeviceIdLists lists =
                ReadDeviceIdLists(set, data, [] { throw std::bad_alloc(); });
            const bool wanted = std::any_of(
                patterns.begin(), patterns.end(),
                [&lists](const std::string& pattern) { return IdListsMatch(lists, pattern.c_str()); });
            if (!wanted) {
                continue;
            }
            std::optional<std::string> instance = InstanceId(data.DevInst);
            if (!instance) {
                Problem("device " + std::to_string(i) + " has no instance identifier; left out");
                continue;
            }
            machine::Device device;
            device.instance = *instance;
            device.hardware = IdList(lists.hardware);
            device.compatible = IdList(lists.compatible);
            ULONG status = 0;
            ULONG problem = 0;
            device.statusQueryFails =
                CM_Get_DevNode_Status(&status, &problem, data.DevInst, 0) != CR_SUCCESS;
            device.status = status;
            device.problem = problem;
            live_.machine.devices.push_back(std::move(device));
        }
        SetupDiDestroyDeviceInfoList(set);
    }

    static std::optional<std::string> InstanceId(DEVINST node)
    {
        char id[MAX_DEVICE_ID_LEN] = {0};
        if (CM_Get_Device_IDA(node, id, sizeof id, 0) != CR_SUCCESS) {
            return std::nullopt;
        }
        return std::string(id);
    }

    // The instance ID of the device that the plug-in's lookup of pattern ends
    // at (the last match), if any.
    static std::optional<std::string> LookedUpInstance(const std::string& pattern)
    {
        HDEVINFO set = PresentDevices();
        if (set == INVALID_HANDLE_VALUE) {
            return std::nullopt;
        }
        SP_DEVINFO_DATA match{};
        std::optional<std::string> instance;
        if (FindLastMatchingDevice(set, pattern.c_str(), match, [] { throw std::bad_alloc(); })) {
            instance = InstanceId(match.DevInst);
        }
        SetupDiDestroyDeviceInfoList(set);
        return instance;
    }

    // ---- registry ---------------------------------------------------------------

    // The key with the named values that exist; a key that exists is
    // recorded even without values, since opening it succeeds.
    void CaptureKey(const std::string& path, const std::vector<std::string>& names)
    {
        const std::string cleanPath = machine::WithoutEmptyParts(path);
        HKEY key = nullptr;
        if (cleanPath.empty() ||
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, cleanPath.c_str(), 0, KEY_READ, &key) !=
                ERROR_SUCCESS) {
            return;
        }
        machine::RegistryKey& captured = live_.machine.registry.Key(cleanPath);
        for (const std::string& name : names) {
            machine::RegistryValue value{name, REG_NONE, {}};
            if (captured.Find(name) != nullptr || !ReadValue(key, value)) {
                continue;
            }
            if (!machine::NamesValueType(value.type)) {
                Problem("value " + name + " of " + cleanPath + " has type " +
                        std::to_string(value.type) +
                        ", which a description cannot name; recorded as REG_NONE");
                value.type = REG_NONE;
            }
            captured.Set(std::move(value));
        }
        RegCloseKey(key);
    }

    bool ReadValue(HKEY key, machine::RegistryValue& value)
    {
        value.data.assign(4096, 0);
        for (;;) {
            DWORD type = REG_NONE;
            DWORD size = static_cast<DWORD>(value.data.size());
            const LSTATUS result = RegQueryValueExA(key, value.name.c_str(), nullptr, &type,
                                                    value.data.data(), &size);
            if (result == ERROR_MORE_DATA) {
                value.data.assign(std::max<std::size_t>(size, 2 * value.data.size()), 0);
                continue;
            }
            if (result != ERROR_SUCCESS) {
                if (result != ERROR_FILE_NOT_FOUND) {
                    Problem("value " + value.name + " cannot be read (error " +
                            std::to_string(result) + ")");
                }
                return false;
            }
            value.type = type;
            value.data.resize(size);
            return true;
        }
    }

    void CaptureRegistry(const std::vector<std::string>& monitorPatterns)
    {
        // The driver key of every output, with the values the plug-in reads there.
        const std::vector<std::string> driverValues(std::begin(LookupRules::kDriverValues),
                                                    std::end(LookupRules::kDriverValues));
        char path[LookupRules::kDriverValueSize];
        for (const machine::Output& output : live_.machine.outputs) {
            if (const char* driverKey = LookupRules::DriverKeyInPath(output.key, path)) {
                CaptureKey(driverKey, driverValues);
            }
        }
        // Monitors: the enumeration key of the device that each monitor's
        // lookup ends at, and of every captured device under DISPLAY\.
        std::vector<std::string> instances;
        for (const std::string& pattern : monitorPatterns) {
            if (std::optional<std::string> instance = LookedUpInstance(pattern)) {
                instances.push_back(*instance);
            }
        }
        const char* const display = LookupRules::kDisplayEnumerator;
        for (const machine::Device& device : live_.machine.devices) {
            if (_strnicmp(device.instance.c_str(), display, std::strlen(display)) == 0) {
                instances.push_back(device.instance);
            }
        }
        for (const std::string& instance : instances) {
            CaptureKey(kEnumKey + instance, {LookupRules::kDeviceDescValue});
            CaptureKey(kEnumKey + instance + LookupRules::kDeviceParameters,
                       {LookupRules::kEdidValue});
        }
    }

    // ---- computer ---------------------------------------------------------------

    void CaptureComputer()
    {
        char name[MAX_COMPUTERNAME_LENGTH + 1] = {0};
        DWORD size = sizeof name;
        if (GetComputerNameA(name, &size) && size > 0) {
            live_.machine.computer = std::string(name, size);
        } else {
            Problem("the computer name cannot be read (error " + std::to_string(GetLastError()) +
                    ")");
        }
        TIME_ZONE_INFORMATION zone{};
        const DWORD result = GetTimeZoneInformation(&zone);
        live_.machine.zone =
            machine::TimeZone{result, zone.Bias, zone.StandardBias, zone.DaylightBias};
    }

    LiveMachine live_;
};

}  // namespace

LiveMachine ReadLiveMachine(const std::string& /*root*/)
{
    return WindowsCapture().Capture();
}

}  // namespace capture
