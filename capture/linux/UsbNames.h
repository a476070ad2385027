#pragma once
// Names of USB vendors and products from the USB ID database (usb.ids), for
// devices that do not name themselves.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace capture::sysfs {

class IUsbNames {
public:
    virtual ~IUsbNames() = default;
    // Nothing when the database does not know the ID.
    virtual std::optional<std::string> VendorName(std::uint16_t vendor) = 0;
    virtual std::optional<std::string> ProductName(std::uint16_t vendor, std::uint16_t product) = 0;
};

// The database file of this system (/usr/share/misc/usb.ids, or where
// usbutils and hwdata keep it), read on first use; no names without one.
std::unique_ptr<IUsbNames> MakeUsbIdsNames();
// The same from the file at path.
std::unique_ptr<IUsbNames> MakeUsbIdsNames(const std::string& path);

}  // namespace capture::sysfs
