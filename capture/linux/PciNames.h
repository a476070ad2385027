#pragma once
// Names of PCI vendors and devices from the PCI ID database.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace capture::sysfs {

class IPciNames {
public:
    virtual ~IPciNames() = default;
    // Nothing when the database does not know the ID.
    virtual std::optional<std::string> VendorName(std::uint16_t vendor) = 0;
    virtual std::optional<std::string> DeviceName(std::uint16_t vendor, std::uint16_t device) = 0;
    // Why the database could not be used, once it failed; empty while it
    // serves.
    virtual std::string Problem() const { return std::string(); }
};

// The database through libpci (pci_lookup_name), local files only: no
// network look-ups. A database file libpci cannot parse gives no names
// from then on, and Problem() says why.
std::unique_ptr<IPciNames> MakeLibpciNames();
// The same with the database file at path.
std::unique_ptr<IPciNames> MakeLibpciNames(const std::string& path);

// The adapter's name: "<vendor> <device>"; what the database lacks is
// given as libpci prints unknown IDs ("Device 2504").
std::string AdapterName(IPciNames& names, std::uint16_t vendor, std::uint16_t device);

}  // namespace capture::sysfs
