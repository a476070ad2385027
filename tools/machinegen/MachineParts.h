#pragma once
// The pieces a machine description is built from: registry values, device
// nodes and their identifiers, display devices with their modes and
// monitors, and the registry keys that go with adapters and monitors.
// Objects keep their keys in the order they are given.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tools/machinegen/Edid.h"

namespace machinegen {

using Json = nlohmann::ordered_json;

extern const char* const kMonitorClass;  // the monitors' setup class GUID
extern const char* const kVideoKey;      // below HKEY_LOCAL_MACHINE
extern const char* const kEnumKey;

// Device node status (cfg.h): started with its driver, or stopped with a
// problem.
constexpr unsigned kDnDriverLoaded = 0x00000002;
constexpr unsigned kDnStarted = 0x00000008;
constexpr unsigned kDnHasProblem = 0x00000400;
constexpr unsigned kDnDisableable = 0x00002000;
constexpr unsigned kDnNtEnumerator = 0x00800000;
constexpr unsigned kDnNtDriver = 0x01000000;
constexpr unsigned kStarted =
    kDnDriverLoaded | kDnStarted | kDnDisableable | kDnNtEnumerator | kDnNtDriver;
constexpr unsigned kStoppedWithProblem =
    kDnHasProblem | kDnDisableable | kDnNtEnumerator | kDnNtDriver;
constexpr unsigned kProblemNoDriver = 28;         // CM_PROB_FAILED_INSTALL
constexpr unsigned kProblemFailedPostStart = 43;  // the device reported problems

// DISPLAY_DEVICEA state flags.
constexpr unsigned kAttachedToDesktop = 0x1;
constexpr unsigned kPrimaryDevice = 0x4;
constexpr unsigned kMonitorActiveAttached = 0x3;

// snprintf into a string, for the numbered parts of names and identifiers.
std::string Format(const char* format, unsigned a, unsigned b = 0, unsigned c = 0);

// ---- registry values ----------------------------------------------------------

Json StringValue(const std::string& text);
Json MultiStringValue(const std::vector<std::string>& texts);
Json DwordValue(unsigned number);
Json Utf16Value(const std::string& text);  // REG_BINARY holding UTF-16LE text
Json BinaryValue(const Bytes& bytes);      // REG_BINARY
// A number as that many little-endian bytes of the given type.
Json HexValue(const char* type, std::uint64_t number, int bytes);

// ---- devices ------------------------------------------------------------------

// A present device; without compatible identifiers the property is left out.
Json DeviceEntry(const std::string& instanceId, const std::vector<std::string>& hardwareIds,
                 const std::vector<std::string>& compatibleIds, unsigned status = kStarted,
                 unsigned problem = 0);

struct PciIdLists {
    std::vector<std::string> hardware;
    std::vector<std::string> compatible;
};

// The hardware and compatible identifiers Windows gives a PCI function, most
// specific first; hexadecimal digits in upper case, the class code of six.
PciIdLists PciIds(const std::string& vendor, const std::string& device,
                  const std::string& subsystem, const std::string& revision,
                  const std::string& classCode);

// A monitor's device node, DISPLAY\<pnpId>\<instance>.
Json MonitorDevice(const std::string& pnpId, const std::string& instance);

// ---- display devices ----------------------------------------------------------

Json Mode(unsigned bits, unsigned width, unsigned height, unsigned frequency);

struct ModeSize {
    unsigned width, height;
    std::vector<unsigned> rates;
};

// Every depth, then every size, then every rate.
Json ModeList(const std::vector<ModeSize>& sizes, const std::vector<unsigned>& depths);

// An adapter output as EnumDisplayDevicesA(NULL, i) reports it; an output on
// the desktop also gets "currentMode", "modes" and "monitors".
Json DisplayDevice(const std::string& name, const std::string& description, unsigned stateFlags,
                   const std::string& deviceId, const std::string& deviceKey);

// Monitor number (1-based, over the machine) shown as monitor index of the
// output: EnumDisplayDevicesA(outputName, index).
Json MonitorEntry(const std::string& outputName, unsigned index, const std::string& pnpId,
                  unsigned number, const std::string& description);

// The adapter output's driver key, System\CurrentControlSet\Control\Video\<guid>\<index>.
std::string VideoKey(const std::string& guid, unsigned index);
// The same key as DISPLAY_DEVICEA.DeviceKey names it.
std::string DeviceKey(const std::string& guid, unsigned index);

// ---- registry keys ------------------------------------------------------------

// The values of an output's driver key. The 32-bit memory size of cards of
// 4 GB and more reads 0xFFF00000; qwMemorySize holds the real size.
Json DriverKey(const std::string& description, const std::string& bios, const std::string& chip,
               const std::string& dac, std::uint64_t memory);

// The adapter's key under Enum, with the description its driver package gives.
void AddAdapterEnumKey(Json& registry, const std::string& instanceId,
                       const std::string& infDescription, const std::string& service);

// kAllValues: what Windows' monitor driver package writes; kLookedUpValues:
// only those the plug-in reads (description, hardware identifier, driver,
// service), for machines that are large rather than lifelike.
enum class MonitorValues { kAllValues, kLookedUpValues };

// The monitor's key under Enum and its Device Parameters with the EDID.
void AddMonitorKeys(Json& registry, const std::string& pnpId, const std::string& instance,
                    unsigned number, const EdidBlocks& edid, MonitorValues values);

Json TimeZone(int result, int bias, int standardBias, int daylightBias);

}  // namespace machinegen
