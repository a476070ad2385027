#pragma once
// A Linux system's cards as Windows would show them, through Windows' layout
// (layout/DisplayLayout.h). Where the kernel and Windows differ (see also
// capture/linux/LinuxIds.h):
// - Each card is an adapter; each of its connectors one output
//   \\.\DISPLAY<n>, numbered from 1 over the cards by number and on a card in
//   connector order. A card without connectors has its device node but no
//   output.
// - A PCI card has the hardware and compatible IDs Windows' PCI bus driver
//   gives it, a USB adapter those of Windows' USB hub driver, a VMBus device
//   VMBUS\<class GUID> (named "Microsoft Hyper-V Video" for the synthetic
//   video device). Any other card is PLATFORM\<name> (characters other
//   than letters, digits, '-', '_' and '.' become '_'), compatible with
//   PLATFORM\<driver> where that differs; its instance ID adds the device's
//   sysfs name.
// - A card with a driver bound is started; one without has problem 28,
//   CM_PROB_FAILED_INSTALL. The driver is its service.
// - An output is attached to the desktop when its connector is enabled. The
//   primary output is the first attached one on the boot display's card,
//   else on the first card when no card is the boot display, else the first
//   attached output of all.
// - A monitor is a generic PnP monitor (the kernel loads no monitor
//   drivers), or, without an EDID, a generic non-PnP monitor
//   (MONITOR\Default_Monitor) whose EDID value is empty, as Windows installs
//   such a display: active and attached when its output is attached,
//   attached otherwise. Monitors are numbered 0000, 0001, ... below the
//   monitor class in output order.
// - The adapter's name (DriverDesc, AdapterString, the output's device
//   string) and its chip and BIOS are the card's; the DAC type is never
//   known. The kernel has no colour depth per mode: every mode has 32 bits
//   per pixel.
// - Text that the ANSI code page cannot hold has those characters replaced
//   by '?', and is cut to what the Win32 records hold.
#include <string>
#include <vector>

#include "capture/linux/HostIdentity.h"
#include "capture/linux/Inventory.h"
#include "machine/Machine.h"

namespace capture::sysfs {

// The primary output as (card, connector) positions; (cards.size(), 0) when
// no output is attached.
std::pair<std::size_t, std::size_t> PrimaryOutput(const std::vector<Card>& cards);

// The machine of these cards, with the host's computer name (as NetBIOS
// names it) and zone. A monitor whose instance ID another output's monitor
// took already is left out with a message.
machine::Machine LayOutMachine(const std::vector<Card>& cards, const std::string& hostName,
                               const ZoneOffsets& zone, Problems& problems);

}  // namespace capture::sysfs
