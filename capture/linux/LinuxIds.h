#pragma once
// The identifiers Windows gives a display adapter and a monitor, made from
// what the kernel knows of them.
//
// Choices where the kernel and Windows differ:
// - PCI hardware IDs are formatted as Windows' PCI bus driver does:
//   PCI\VEN_vvvv&DEV_dddd&SUBSYS_ssssvvvv&REV_rr (upper-case hexadecimal),
//   then the shorter forms and the class-code forms (CC_ccssii, CC_ccss).
// - Windows' PCI instance IDs end in "<parent-bus-id>&0&<slot>", where the
//   parent part is an opaque number the PnP manager assigns. Here it is
//   "4&HHHHHHHH&0&FFSS": HHHHHHHH is the FNV-1a hash (32 bits) of the
//   parent's sysfs path below /sys/devices (e.g. "pci0000:00/0000:00:01.0"),
//   FF the function and SS the device number times 8 plus the function, as
//   the example machines show. The ID stays the same while the card sits in
//   the same slot.
// - A monitor's instance ID is "5&HHHHHHHH&0&UIDn": HHHHHHHH hashes the
//   adapter's instance ID, n is the connector's position on its card.
// - The adapter's driver key below Control\Video is a GUID that Windows
//   draws at random on installation; here it is made from two FNV-1a hashes
//   (64 bits) of the adapter's instance ID, so it too stays the same.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace displayplatform::live {

struct PciIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t device = 0;
    std::uint16_t subsystemVendor = 0;
    std::uint16_t subsystemDevice = 0;
    std::uint8_t revision = 0;
    std::optional<std::uint32_t> classCode;  // 24 bits: class, subclass, interface
};

// A PCI address "dddd:bb:dd.f" as sysfs names devices.
struct PciAddress {
    std::uint32_t domain = 0;
    std::uint8_t bus = 0;
    std::uint8_t device = 0;
    std::uint8_t function = 0;
};

std::optional<PciAddress> ParsePciAddress(const std::string& text);

// PCI\VEN_xxxx&DEV_xxxx&SUBSYS_ssssvvvv&REV_xx
std::string PciHardwareId(const PciIdentity& id);
// The hardware and compatible ID lists, most specific first.
std::vector<std::string> PciHardwareIds(const PciIdentity& id);
std::vector<std::string> PciCompatibleIds(const PciIdentity& id);
// "4&HHHHHHHH&0&FFSS" (see above).
std::string PciInstanceSuffix(const std::string& parentPath, const PciAddress& address);

// A monitor model from an EDID: the three-letter PNP manufacturer ID and
// the product code as four upper-case hexadecimal digits, as Windows
// spells them in "MONITOR\DEL40F2".
struct MonitorModel {
    std::string pnpId;
    std::string product;
};
// Nothing, with the reason in why, when the EDID is shorter than its base
// block or lacks the fixed header.
std::optional<MonitorModel> MonitorModelFromEdid(const std::string& edid, std::string& why);

std::uint32_t Fnv1a32(const std::string& text);
std::uint64_t Fnv1a64(const std::string& text, std::uint64_t basis);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" made from the text.
std::string GuidFromText(const std::string& text);
// n as four decimal digits, "0000", "0001", as Windows numbers class and
// driver subkeys.
std::string FourDigits(unsigned n);

}  // namespace displayplatform::live
