#pragma once
// A machine as the plug-in sees it through the Win32 functions: its display
// outputs with their modes and monitors, its present device nodes, the
// registry values below HKEY_LOCAL_MACHINE, the computer name and the time
// zone. Machine descriptions are read into it and written from it
// (machine/DescriptionCodec.h), the captures of real machines fill it, and the
// Win32 stand-ins of the non-Windows builds answer from it.
//
// Text is held as the Win32 "A" functions hand it out: in the ANSI code page
// (Windows-1252).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace machine {

// What the Win32 records and limits hold, without a terminator.
namespace limits {
constexpr std::size_t kDeviceName = 31;    // DISPLAY_DEVICEA::DeviceName
constexpr std::size_t kDeviceText = 127;   // DeviceString, DeviceID and DeviceKey
constexpr std::size_t kInstanceId = 199;   // MAX_DEVICE_ID_LEN, with its terminator
constexpr std::size_t kComputerName = 15;  // MAX_COMPUTERNAME_LENGTH
constexpr std::size_t kKeyName = 255;      // one part of a registry path
constexpr std::size_t kValueName = 16383;
}  // namespace limits

// Device names, instance identifiers and registry names are compared as
// Windows compares them: without regard to ASCII case.
std::string FoldCase(const std::string& text);
bool EqualsFolded(const std::string& a, const std::string& b);

// One entry of EnumDisplaySettingsA.
struct DisplayMode {
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t frequency = 0;
    std::uint32_t flags = 0;  // DM_INTERLACED and its kin
};

// One entry of EnumDisplayDevicesA.
struct DisplayDevice {
    std::string name;         // DeviceName: "\\.\DISPLAY1", "\\.\DISPLAY1\Monitor0"
    std::string description;  // DeviceString
    std::uint32_t flags = 0;  // StateFlags
    std::string id;           // DeviceID
    std::string key;          // DeviceKey
};

// An adapter output as EnumDisplayDevicesA(NULL, i) reports it, with its
// current mode, its mode list and its monitors.
struct Output : DisplayDevice {
    std::optional<DisplayMode> current;
    std::vector<DisplayMode> modes;
    std::vector<DisplayDevice> monitors;
};

// Identifiers of a device in the order the device installer lists them, most
// specific first. None is empty (an empty one would end the list).
using IdList = std::vector<std::string>;

// The device node status of a started device with its driver loaded:
// DN_DRIVER_LOADED | DN_STARTED | DN_DISABLEABLE | DN_NT_ENUMERATOR | DN_NT_DRIVER.
constexpr std::uint32_t kStartedNodeStatus = 0x0180200A;

// A present device node. An absent identifier list means the property is
// absent, which is not the same as an empty list.
struct Device {
    std::string instance;
    std::optional<IdList> hardware;
    std::optional<IdList> compatible;
    std::uint32_t status = kStartedNodeStatus;
    std::uint32_t problem = 0;
    bool statusQueryFails = false;  // CM_Get_DevNode_Status fails for it
};

// Registry value types (winnt.h).
enum RegistryType : std::uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegDwordBigEndian = 5,
    kRegLink = 6,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct RegistryValue {
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

struct RegistryKey {
    std::string path;  // below HKEY_LOCAL_MACHINE
    std::vector<RegistryValue> values;

    // The value of that name, or null.
    const RegistryValue* Find(const std::string& name) const;
    // Replaces the value of the same name where it stands, or adds it last.
    void Set(RegistryValue value);
};

// A registry path without empty parts: backslashes in a row count as one,
// and one at either end is dropped, as a subkey path is opened.
std::string WithoutEmptyParts(const std::string& path);

// Keys below HKEY_LOCAL_MACHINE in the order they were added.
class Registry {
public:
    // Adds a key; false when one of the same path is there already.
    bool Add(RegistryKey key);
    // The key of that path, added last with no values if it is missing.
    RegistryKey& Key(const std::string& path);
    // The key of that path, or null.
    const RegistryKey* Find(const std::string& path) const;
    const std::vector<RegistryKey>& Keys() const { return keys_; }

private:
    std::vector<RegistryKey> keys_;
    std::unordered_map<std::string, std::size_t> byFoldedPath_;
};

// What GetTimeZoneInformation answers.
struct TimeZone {
    std::uint32_t result = 0;  // TIME_ZONE_ID_UNKNOWN, _STANDARD or _DAYLIGHT
    std::int32_t bias = 0;     // minutes west of UTC
    std::int32_t standard = 0; // StandardBias
    std::int32_t daylight = 0; // DaylightBias
};

// Failures a machine cannot show otherwise.
struct Faults {
    bool deviceListFails = false;   // SetupDiGetClassDevsA returns INVALID_HANDLE_VALUE
    bool messageTextFails = false;  // FormatMessageA fails for every message
};

struct Machine {
    std::optional<std::string> computer;  // the host's own when absent
    std::optional<TimeZone> zone;         // UTC when absent
    std::vector<Output> outputs;
    std::vector<Device> devices;
    Registry registry;
    Faults faults;
};

}  // namespace machine
