#pragma once
// The identifiers that Windows draws at random or from its own bus drivers,
// made here from what the kernel knows of a device, so that they stay the
// same from run to run:
// - Windows' PCI instance IDs end in "<parent-bus-id>&0&<slot>", where the
//   parent part is an opaque number the PnP manager assigns. Here it is
//   "4&HHHHHHHH&0&FFSS": HHHHHHHH is the FNV-1a hash (32 bits) of the
//   parent's sysfs path below /sys/devices (e.g. "pci0000:00/0000:00:01.0"),
//   FF the function and SS the device number times 8 plus the function, as
//   the example machines show. The ID stays the same while the card sits in
//   the same slot.
// - A monitor's instance ID is "5&HHHHHHHH&0&UIDn": HHHHHHHH hashes the
//   adapter's instance ID, n is the connector's position on its card.
// - A USB display adapter is identified by its own serial number (see
//   UsbInstanceSuffix); a VMBus device by its instance GUID.
// - The adapter's driver key below Control\Video is a GUID that Windows
//   draws at random on installation; here it is made from two FNV-1a hashes
//   (64 bits) of the adapter's instance ID and its card.
#include <cstdint>
#include <optional>
#include <string>

namespace capture::sysfs {

// A PCI address "dddd:bb:dd.f" as sysfs names devices.
struct PciAddress {
    std::uint32_t domain = 0;
    std::uint8_t bus = 0;
    std::uint8_t device = 0;
    std::uint8_t function = 0;
};

std::optional<PciAddress> ParsePciAddress(const std::string& text);

// "4&HHHHHHHH&0&FFSS" (see above).
std::string PciInstanceSuffix(const std::string& parentPath, const PciAddress& address);
// "5&HHHHHHHH&0&UIDn" (see above).
std::string MonitorInstanceSuffix(const std::string& adapterInstanceId, unsigned connector);
// A USB device's instance ID ends, as on Windows, in its serial number when
// it has one that an ID can hold (printable ASCII without "\\" and "&");
// else in "5&HHHHHHHH&0&P", HHHHHHHH hashing the hub's sysfs path (below
// /sys/devices) and P the device's port on the hub (the last number of its
// sysfs name, "3-2" or "1-1.4").
std::string UsbInstanceSuffix(const std::string& serial, const std::string& hubPath,
                              const std::string& deviceName);

std::uint32_t Fnv1a32(const std::string& text);
std::uint64_t Fnv1a64(const std::string& text, std::uint64_t basis);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" made from the text.
std::string GuidFromText(const std::string& text);

}  // namespace capture::sysfs
