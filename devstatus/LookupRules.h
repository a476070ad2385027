#pragma once
#include <cstddef>
#include <string>

#include "platform/Win32.h"

// How the collectors find a display device's records: the buffer sizes they
// offer, the registry keys and value names they read and how they turn the
// window system's device texts into lookup patterns and key paths. Needs no
// host, so the capture of a machine and the benchmark's platform floor make
// the same lookups as the collectors.
namespace LookupRules {

// A device's identifier list is first read with this much room, large enough
// for nearly every device, so that one call per list is the common case.
constexpr DWORD kIdListFirstOffer = 9000;
// Room for two zero bytes after the data of an identifier list: a list stored
// without its final terminators still ends in an empty string.
constexpr DWORD kIdListTerminatorRoom = 2;
// CM_Get_Device_IDA's buffer: an identifier of up to 99 characters fits.
constexpr ULONG kInstanceIdBufferLength = 100;
// The room offered for each "HardwareInformation." value of an adapter's
// driver key, and for the lower-cased path of that key.
constexpr DWORD kDriverValueSize = 512;
// The room offered for a monitor's "DeviceDesc" value.
constexpr DWORD kDeviceDescSize = 512;

// A device's enumeration key below HKEY_LOCAL_MACHINE is this followed by its
// instance identifier; its EDID lies in the subkey kDeviceParameters.
inline constexpr const char* kEnumKey = "System\\CurrentControlSet\\Enum\\";
inline constexpr const char* kDeviceParameters = "\\Device Parameters";
inline constexpr const char* kEdidValue = "EDID";
inline constexpr const char* kDeviceDescValue = "DeviceDesc";
// Monitors are enumerated by the device installer below this enumerator.
inline constexpr const char* kDisplayEnumerator = "DISPLAY\\";

// The values of an adapter's driver key, in the order they are read.
inline constexpr const char* kBiosStringValue = "HardwareInformation.BiosString";
inline constexpr const char* kChipTypeValue = "HardwareInformation.ChipType";
inline constexpr const char* kDacTypeValue = "HardwareInformation.DacType";
inline constexpr const char* kAdapterStringValue = "HardwareInformation.AdapterString";
inline constexpr const char* kMemorySizeValue = "HardwareInformation.MemorySize";
inline constexpr const char* kDriverValues[] = {kBiosStringValue, kChipTypeValue, kDacTypeValue,
                                                kAdapterStringValue, kMemorySizeValue};

// Whether an adapter with this hardware identifier is looked at. On systems
// where some output reports an identifier, outputs without one are passed
// over; where none does, every output counts.
bool AdapterExamined(bool anyIdReported, const std::string& deviceId);

// Where a monitor's display-device ID stops being its hardware ID:
// "MONITOR\GSM5B7F\{4d36e96e-...}\0001" names the monitor model as
// "MONITOR\GSM5B7F", which is how the device installer lists it.
inline constexpr const char* kInstanceSuffix = "\\{";
// The length of the hardware ID at the start of a monitor's display-device ID.
std::size_t MonitorHardwareIdLength(const char* monitorDeviceId);
std::string MonitorHardwareId(const std::string& monitorDeviceId);

// Writes deviceKey lower-cased into path (kDriverValueSize bytes; longer keys
// are cut) and returns where the driver key below HKEY_LOCAL_MACHINE begins in
// it, or null when the text names no key there. The window system reports a
// kernel path such as \registry\machine\system\...; from "system" on it is the
// same key below HKEY_LOCAL_MACHINE.
const char* DriverKeyInPath(const std::string& deviceKey, char* path);

}  // namespace LookupRules
