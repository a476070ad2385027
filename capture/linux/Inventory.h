#pragma once
// The live machine: the display hardware the kernel's DRM subsystem shows in
// sysfs, written as a machine description (the JSON that
// displayplatform::LoadMachineJson reads), so that running live and
// replaying a capture go through the same loader.
//
// Where the kernel and Windows differ (see also DeviceIds.h):
// - Adapters are the /sys/class/drm/card<N> entries, by N; each connector
//   card<N>-<type>-<k> is one output \\.\DISPLAY<n>, numbered from 1 over
//   the cards by number and, on a card, by the kernel's connector_id (by
//   name where that file is missing). A card without connectors has its
//   device node but no output.
// - An output is attached to the desktop when its "enabled" attribute reads
//   "enabled". The primary output is the first attached one on the boot VGA
//   card (device/boot_vga = 1), else on the first card when no card is the
//   boot VGA one, else the first attached output of all.
// - A connected connector with an EDID has one monitor, "Generic PnP
//   Monitor" (the kernel loads no monitor drivers): active and attached (3)
//   when its output is attached, attached (2) otherwise. Monitors are
//   numbered 0000, 0001, ... below the monitor class key in output order.
// - The adapter's name is "<vendor> <device>" from the PCI ID database; the
//   chip type is the device name alone. Memory size (amdgpu's
//   mem_info_vram_total) and BIOS version (amdgpu's vbios_version, the
//   NVIDIA driver's "Video BIOS:" line) are given where the kernel has
//   them; the DAC type never is. HardwareInformation.MemorySize holds the
//   size up to 4 GiB - 1 MiB, larger sizes as 0xFFF00000 (as the example
//   workstation does), qwMemorySize the whole size.
// - A card with a driver bound is started (status 0x0180200A); one without
//   has problem 28, CM_PROB_FAILED_INSTALL (status 0x01802400).
// - A card that is not on PCI is identified by PLATFORM\<name>, <name>
//   being the first devicetree "compatible" string, else the uevent's
//   OF_COMPATIBLE_0, else its driver's name, else the device's sysfs name;
//   characters other than letters, digits, '-', '_' and '.' become '_'. Its
//   instance ID adds the device's sysfs name. Its name is <name> unaltered.
// - Modes come from the DRM node through libdrm (with refresh rates and the
//   current mode of the CRTC driving the connector); without the node, from
//   sysfs "modes" with refresh rate 0 and no current mode. The kernel has
//   no colour depth per mode: every mode has 32 bits per pixel. Modes are
//   sorted and listed once each.
// - Text that the ANSI code page cannot hold has those characters replaced
//   by '?', and is cut to what the Win32 structures hold.
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/posix/live/HostIdentity.h"
#include "platform/posix/live/ModeSource.h"
#include "platform/posix/live/PciNames.h"

namespace displayplatform::live {

struct LiveSources {
    // The folder standing for "/": sysfs is read below <root>/sys, the
    // NVIDIA driver's files below <root>/proc, DRM nodes in <root>/dev/dri.
    std::string root = "/";
    IModeSource* modes = nullptr;
    IPciNames* pciNames = nullptr;
    std::string computerName;
    ZoneOffsets zone;
};

struct LiveMachine {
    nlohmann::json description;
    // What could not be read, one message each; the description holds the
    // rest of the tree.
    std::vector<std::string> problems;
};

// Reads the tree with the given sources.
LiveMachine ReadLiveMachine(const LiveSources& sources);
// Reads the system below root with libdrm, libpci, the host name and the
// C library's zone.
LiveMachine ReadLiveMachine(const std::string& root);

}  // namespace displayplatform::live
