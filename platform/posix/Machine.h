#pragma once
// The machine that the stand-in Win32 functions answer from, shared by every
// module of the process. Internal to the platform library.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/posix/Win32Types.h"

namespace displayplatform::detail {

struct DisplayMode {
    DWORD bitsPerPel = 0;
    DWORD pelsWidth = 0;
    DWORD pelsHeight = 0;
    DWORD displayFrequency = 0;
    DWORD displayFlags = 0;
};

// One entry of EnumDisplayDevicesA; the strings fit their DISPLAY_DEVICEA fields.
struct DisplayDevice {
    std::string deviceName;
    std::string deviceString;
    DWORD stateFlags = 0;
    std::string deviceID;
    std::string deviceKey;
};

// An adapter output as EnumDisplayDevicesA(NULL, i) reports it, with its
// monitors and display modes.
struct DisplayAdapter : DisplayDevice {
    std::optional<DisplayMode> currentMode;
    std::vector<DisplayMode> modes;
    std::vector<DisplayDevice> monitors;
};

// A present device node. Identifier lists are kept as the device installer
// hands them out, a multi-string: each identifier and its zero, then one more
// zero. An absent list means the property is absent.
struct Device {
    std::string instanceId;
    std::optional<std::vector<BYTE>> hardwareIds;
    std::optional<std::vector<BYTE>> compatibleIds;
    DWORD status = 0;
    DWORD problem = 0;
    bool statusFails = false;
};

struct RegistryValue {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Keys below HKEY_LOCAL_MACHINE. Paths and value names are compared without
// regard to case; a key exists when it holds values or lies above one that does.
class Registry {
public:
    // Folds a path or name for comparison (ASCII upper case, as the registry
    // compares names).
    static std::string Fold(const std::string& text);

    // Adds a key; false if a key with the same folded path is already there.
    bool AddKey(const std::string& path, std::vector<RegistryValue> values);
    bool KeyExists(const std::string& foldedPath) const;
    // Null when the key or the value does not exist.
    const RegistryValue* FindValue(const std::string& foldedPath, const std::string& name) const;

private:
    struct Key {
        std::string path;
        std::vector<RegistryValue> values;
    };
    std::map<std::string, Key> keys_;
    std::set<std::string> existing_{""};
};

struct TimeZone {
    DWORD result = 0;
    LONG bias = 0;
    LONG standardBias = 0;
    LONG daylightBias = 0;
};

// Failures that a description cannot express otherwise.
struct Faults {
    bool classDevs = false;      // SetupDiGetClassDevsA returns INVALID_HANDLE_VALUE
    bool formatMessage = false;  // FormatMessageA fails for every message
};

// Adapters and devices are added through AddAdapter and AddDevice, which
// keep them findable by name.
struct Machine {
    std::optional<std::string> computerName;
    std::optional<TimeZone> timeZone;
    std::vector<DisplayAdapter> displayDevices;
    std::vector<Device> devices;
    Registry registry;
    Faults faults;

    // Adds an adapter or a device; false if one of the same name or instance
    // identifier (compared without regard to case) is there already.
    bool AddAdapter(DisplayAdapter adapter);
    bool AddDevice(Device device);
    // The adapter or device of that name or instance identifier, compared
    // without regard to case; null when there is none.
    const DisplayAdapter* FindAdapter(const std::string& name) const;
    const Device* FindDevice(const std::string& instanceId) const;

private:
    // Positions in displayDevices and devices by folded name, so that the
    // functions that take a name need not search.
    std::unordered_map<std::string, std::size_t> adapterByName_;
    std::unordered_map<std::string, std::size_t> deviceByInstanceId_;
};

// The current machine; never null (an empty machine until one is loaded).
std::shared_ptr<const Machine> CurrentMachine();
void ReplaceMachine(std::shared_ptr<const Machine> machine);

// Device instance handles as the configuration manager hands them out: the
// position of the device in the machine's list, counted from 1.
inline DEVINST DevInstOf(std::size_t deviceIndex)
{
    return static_cast<DEVINST>(deviceIndex + 1);
}
// The device of a handle, or null for a handle that names no device.
const Device* DeviceOf(const Machine& machine, DEVINST devInst);

// Handles and buffers given out and not yet given back.
std::size_t CountRegistryKeys();
std::size_t CountDeviceInfoSets();
std::size_t CountLocalAllocations();

// Case-insensitive comparison of ASCII text, as Windows compares device
// names, registry names and instance identifiers.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace displayplatform::detail
