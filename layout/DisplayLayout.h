#pragma once
// Display hardware as Windows lays it out: an adapter's outputs as the window
// system lists them (\\.\DISPLAY1, ...) with their driver keys below
// Control\Video, and the monitors on them with their device nodes, their keys
// below Enum and their EDID blocks. The Linux capture, the machine generator
// and the tests build machines through here; the plug-in only reads them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "layout/DeviceNodes.h"
#include "machine/Machine.h"

namespace layout {

using Bytes = std::vector<std::uint8_t>;

// The device string of a monitor that Windows knows by no other name.
inline constexpr const char kGenericMonitorName[] = "Generic PnP Monitor";
// A monitor that gave no EDID: Windows installs it by this model, with this
// device string, and keeps an EDID value for it that is empty.
inline constexpr const char kDefaultMonitorModel[] = "Default_Monitor";
inline constexpr const char kNonPnpMonitorName[] = "Generic Non-PnP Monitor";

// DISPLAY_DEVICEA state flags.
constexpr std::uint32_t kAttachedToDesktop = 0x1;  // of an output
constexpr std::uint32_t kPrimaryDevice = 0x4;      // of an output
constexpr std::uint32_t kMonitorActive = 0x1;
constexpr std::uint32_t kMonitorAttached = 0x2;

// ---- adapters and outputs ------------------------------------------------------

// What a display driver writes into an output's driver key: its description
// (DriverDesc and the adapter string) and, where it knows them,
// the BIOS, chip and DAC names and the memory size.
struct DriverValues {
    std::string description;
    std::optional<std::string> bios;
    std::optional<std::string> chip;
    std::optional<std::string> dac;
    std::optional<std::uint64_t> memory;  // bytes
};

// The output's driver key, System\CurrentControlSet\Control\Video\<guid>\<index>,
// with the driver's values. Drivers of cards with 4 GB or more store
// 0xFFF00000 in the 32-bit MemorySize; qwMemorySize holds the whole size.
void AddDriverKey(machine::Registry& registry, const std::string& guid, unsigned index,
                  const DriverValues& values);

// "\\.\DISPLAY<number>", numbered from 1 over the machine.
std::string OutputName(unsigned number);

// An output as EnumDisplayDevicesA(NULL, i) reports it: its adapter's
// description and hardware ID, and its driver key in the kernel's spelling.
machine::Output OutputDevice(const std::string& name, const std::string& description,
                             std::uint32_t flags, const std::string& hardwareId,
                             const std::string& guid, unsigned index);

// ---- monitors -------------------------------------------------------------------

// The model part of a monitor's hardware ID ("DEL40F2" in "MONITOR\DEL40F2"):
// the three-letter manufacturer ID and the product code in four upper-case
// hexadecimal digits.
std::string MonitorModelId(const std::string& manufacturer, unsigned product);
// The same, read from an EDID block; nothing, with the reason in why, when
// the block is shorter than 128 bytes or lacks the fixed header. Like
// Windows, letters out of range are kept as the characters they give.
std::optional<std::string> MonitorModelFromEdid(const Bytes& edid, std::string& why);

// Which of a monitor's values its Enum key holds: all that Windows' monitor
// driver package writes, or only those the plug-in reads (for machines that
// are large rather than lifelike).
enum class MonitorValues { kAll, kLookedUp };

struct Monitor {
    std::string model;     // "DEL40F2"
    std::string instance;  // below DISPLAY\<model>, e.g. "5&2B3C4D5E&0&UID4352"
    unsigned number = 0;   // its driver key below the monitor class: 0000, 0001, ...
    std::optional<Bytes> edid;  // none: the monitor has no EDID value
};

std::string MonitorInstanceId(const Monitor& monitor);

// A monitor without EDID, MONITOR\Default_Monitor, with its empty EDID value.
Monitor MonitorWithoutEdid(const std::string& instance, unsigned number);

// The monitor's device node, DISPLAY\<model>\<instance>, its Enum key and,
// with it, Device Parameters holding the EDID block.
void AddMonitorNode(machine::Machine& machine, const Monitor& monitor, MonitorValues values);

// The monitor as EnumDisplayDevicesA(outputName, index) reports it.
machine::DisplayDevice MonitorDevice(const std::string& outputName, unsigned index,
                                     const Monitor& monitor, const std::string& description,
                                     std::uint32_t flags);

// ---- whole adapters ----------------------------------------------------------------

struct MonitorSpec {
    Monitor monitor;
    std::string description = kGenericMonitorName;
    bool active = true;  // shows the desktop (flags 3), or only attached (2)
};

struct OutputSpec {
    unsigned index = 0;  // of its driver key below the adapter's GUID
    std::uint32_t flags = 0;
    std::optional<machine::DisplayMode> current;
    std::vector<machine::DisplayMode> modes;
    std::vector<MonitorSpec> monitors;
};

struct AdapterSpec {
    std::string instanceId;
    IdLists ids;  // ids.hardware[0] is what the window system reports
    NodeState state;
    std::string enumDescription;
    std::string service;
    std::string guid;  // of its driver keys below Control\Video
    DriverValues driver;
    std::vector<OutputSpec> outputs;
};

// Adds an adapter to the machine: its device node and Enum key (once per
// instance ID, as two adapters of one device share them), then for each
// output its driver key, its display device (numbered on from the outputs
// already there) and its monitors. Monitors' instance IDs must be free
// (std::invalid_argument otherwise).
void AddAdapter(machine::Machine& machine, const AdapterSpec& adapter);

}  // namespace layout
