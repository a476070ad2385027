#pragma once
// The display hardware of a Linux system as the kernel's DRM subsystem shows
// it in sysfs: its cards, their connectors and the monitors on them, read
// plainly, before anything is named the way Windows names it
// (capture/linux/LinuxLayout.h does that).
//
// - Cards are the /sys/class/drm/card<N> entries, by N. A card on PCI has
//   the function's identity, its slot and the parent's path; one that is not
//   is named by its first devicetree "compatible" string, else the uevent's
//   OF_COMPATIBLE_0, else its driver's name, else the device's sysfs name.
// - The name of a PCI card is "<vendor> <device>" from the PCI ID database,
//   its chip the device name alone. Memory size (amdgpu's
//   mem_info_vram_total) and BIOS version (amdgpu's vbios_version, the
//   NVIDIA driver's "Video BIOS:" line) are read where the kernel has them.
// - A card's connectors card<N>-<type>-<k> are ordered by the kernel's
//   connector_id (by name where that file is missing). A connector is
//   enabled when its "enabled" attribute reads "enabled"; a connected one
//   with a usable EDID has a monitor.
// - Modes come from the DRM node through libdrm (with refresh rates and the
//   current mode of the CRTC driving the connector); without the node, from
//   sysfs "modes" with refresh rate 0 and no current mode. They are sorted
//   and listed once each.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/linux/HostIdentity.h"
#include "capture/linux/LinuxIds.h"
#include "capture/linux/ModeSource.h"
#include "capture/linux/PciNames.h"
#include "capture/linux/SysfsFiles.h"
#include "layout/DeviceNodes.h"

namespace capture::sysfs {

struct LiveSources {
    // The folder standing for "/": sysfs is read below <root>/sys, the
    // NVIDIA driver's files below <root>/proc, DRM nodes in <root>/dev/dri.
    std::string root = "/";
    IModeSource* modes = nullptr;
    IPciNames* pciNames = nullptr;
    std::string hostName;
    ZoneOffsets zone;
};

struct Connector {
    std::string name;  // "HDMI-A-1"
    long order = LONG_MAX;
    bool enabled = false;
    std::optional<std::vector<std::uint8_t>> edid;  // connected, with a usable EDID
    ConnectorModes modes;
};

// A card's PCI function.
struct PciFunction {
    layout::PciIdentity identity;
    PciAddress address;
    std::string parentPath;  // below /sys/devices, e.g. "pci0000:00/0000:00:01.0"
};

struct Card {
    unsigned number = 0;
    std::string sysfsName;  // the device's sysfs name: "0000:01:00.0", "gpu"
    std::optional<PciFunction> pci;
    std::string name;  // UTF-8, as the database or the devicetree gives it
    std::optional<std::string> chip;
    std::optional<std::uint64_t> memory;
    std::optional<std::string> bios;
    std::string driver;  // empty: no driver bound
    bool bootVga = false;
    std::vector<Connector> connectors;
};

// The cards below the sources' root; what cannot be read is told to problems
// and the rest is read.
std::vector<Card> ReadInventory(const LiveSources& sources, Problems& problems);

}  // namespace capture::sysfs
