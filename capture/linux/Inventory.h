#pragma once
// The display hardware of a Linux system as the kernel shows it in sysfs:
// its display devices, their connectors and the monitors on them, read
// plainly, before anything is named the way Windows names it
// (capture/linux/LinuxLayout.h does that).
//
// - A display device is a /sys/class/drm/card<N> entry (by N), or a PCI
//   function of the display class (0x03) that has no DRM card, as with the
//   NVIDIA driver without nvidia-drm or a GPU given to vfio-pci (by address,
//   after the cards). A card without connectors (a render engine, a driver
//   without modesetting) is a device without outputs.
// - What identifies a card is the nearest device above its DRM device that
//   is a PCI function (virtio-gpu before 5.19 hangs below virtio0), a USB
//   device (udl, gud; the DRM device hangs below the interface) or a VMBus
//   device (hyperv_drm); else the card is a platform device named by its
//   first devicetree "compatible" string, else the uevent's
//   OF_COMPATIBLE_0, else its driver's name, else the device's sysfs name.
// - The name of a PCI device is "<vendor> <device>" from the PCI ID
//   database, its chip the device name alone; a USB device is named by its
//   own manufacturer and product strings, else by the USB ID database.
//   Memory size (amdgpu's mem_info_vram_total) and BIOS version (amdgpu's
//   vbios_version, the NVIDIA driver's "Video BIOS:" line unless it is the
//   driver's placeholder of question marks) are read where the kernel has
//   them.
// - The boot display is the card whose boot_display attribute reads 1
//   (kernels from 2026), else the PCI device whose boot_vga reads 1 (a file
//   the kernel writes for VGA-class devices only).
// - A device in runtime suspend (power/runtime_status "suspended") is not
//   woken: its DRM node is not opened and the NVIDIA driver's file is not
//   read (reading it takes a power reference).
// - Writeback connectors (cardN-Writeback-k) are no outputs: the kernel
//   shows them only to clients that ask for them, and they are left out.
// - A connector has a monitor when its status is "connected" (with or
//   without an EDID: drivers without hot-plug detection, virtual GPUs and
//   forced outputs have none), or when its status is "unknown" and it carries
//   an EDID (bridges without hot-plug detection).
// - Connectors are ordered by the kernel's connector_id. Kernels before 6.5
//   have no such file; then the order is the one the DRM node lists (the
//   order the driver created them in), else built-in panels first (eDP,
//   LVDS, DSI), then by type name and by number (DP-2 before DP-10).
// - Modes come from the DRM node through libdrm (with refresh rates and the
//   current mode of the CRTC driving the connector), matched by connector
//   ID, else by name; without the node, from sysfs "modes" with refresh rate
//   0 and no current mode. They are sorted and listed once each.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/linux/HostIdentity.h"
#include "capture/linux/LinuxIds.h"
#include "capture/linux/ModeSource.h"
#include "capture/linux/PciNames.h"
#include "capture/linux/SysfsFiles.h"
#include "capture/linux/UsbNames.h"
#include "layout/DeviceNodes.h"

namespace capture::sysfs {

struct LiveSources {
    // The folder standing for "/": sysfs is read below <root>/sys, the
    // NVIDIA driver's files below <root>/proc, DRM nodes in <root>/dev/dri.
    std::string root = "/";
    IModeSource* modes = nullptr;
    IPciNames* pciNames = nullptr;
    IUsbNames* usbNames = nullptr;
    std::string hostName;
    ZoneOffsets zone;
};

struct Connector {
    std::string name;             // "HDMI-A-1"
    std::optional<long> id;       // connector_id, on kernels from 6.5
    bool enabled = false;
    bool monitor = false;         // a display is attached
    std::optional<std::vector<std::uint8_t>> edid;  // the monitor's usable EDID
    ConnectorModes modes;
};

struct PciFunction {
    layout::PciIdentity identity;
    PciAddress address;
    std::string parentPath;  // below /sys/devices, e.g. "pci0000:00/0000:00:01.0"
};

struct UsbDevice {
    layout::UsbIdentity identity;
    std::string serial;      // empty when the device has none
    std::string port;        // its sysfs name, e.g. "3-2": bus 3, port 2
    std::string parentPath;  // below /sys/devices
};

struct VmbusDevice {
    std::string classGuid;     // "{da0a7802-...}", as class_id gives it
    std::string instanceGuid;  // "{5620e0c7-...}", as device_id gives it
};

struct Card {
    std::optional<unsigned> number;  // its DRM card; none for a display device without one
    std::string sysfsName;           // the device's sysfs name: "0000:01:00.0", "gpu"
    std::optional<PciFunction> pci;
    std::optional<UsbDevice> usb;
    std::optional<VmbusDevice> vmbus;
    std::string name;  // UTF-8, as the database, the device or the devicetree gives it
    std::optional<std::string> chip;
    std::optional<std::uint64_t> memory;
    std::optional<std::string> bios;
    std::string driver;  // empty: no driver bound
    bool bootDisplay = false;
    bool suspended = false;
    std::vector<Connector> connectors;
};

// The display devices below the sources' root; what cannot be read is told
// to problems and the rest is read.
std::vector<Card> ReadInventory(const LiveSources& sources, Problems& problems);

// The order of connectors of which some lack connector_id and the DRM node
// gives none: built-in panels first, then by type name and number.
bool ComesBefore(const std::string& connector, const std::string& other);

}  // namespace capture::sysfs
