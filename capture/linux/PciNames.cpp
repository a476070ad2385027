#include "capture/linux/PciNames.h"

#include <cstdio>

extern "C" {
#include <pci/pci.h>
}

namespace capture::sysfs {

namespace {

// libpci reports a missing or broken ID file as a warning; the lookups then
// find nothing, which the caller handles.
void IgnoreMessage(char* /*format*/, ...) {}

class LibpciNames : public IPciNames {
public:
    LibpciNames() : access_(pci_alloc())
    {
        // The library's default handlers print to standard error.
        access_->warning = IgnoreMessage;
        access_->debug = IgnoreMessage;
    }
    ~LibpciNames() override { pci_cleanup(access_); }
    LibpciNames(const LibpciNames&) = delete;
    LibpciNames& operator=(const LibpciNames&) = delete;

    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        char buffer[256];
        const char* name = pci_lookup_name(access_, buffer, sizeof buffer,
                                           PCI_LOOKUP_VENDOR | PCI_LOOKUP_NO_NUMBERS, vendor);
        return Found(name);
    }

    std::optional<std::string> DeviceName(std::uint16_t vendor, std::uint16_t device) override
    {
        char buffer[256];
        const char* name =
            pci_lookup_name(access_, buffer, sizeof buffer,
                            PCI_LOOKUP_DEVICE | PCI_LOOKUP_NO_NUMBERS, vendor, device);
        return Found(name);
    }

private:
    static std::optional<std::string> Found(const char* name)
    {
        if (name == nullptr || *name == '\0') {
            return std::nullopt;
        }
        return std::string(name);
    }

    pci_access* access_;
};

}  // namespace

std::unique_ptr<IPciNames> MakeLibpciNames()
{
    return std::make_unique<LibpciNames>();
}

std::string AdapterName(IPciNames& names, std::uint16_t vendor, std::uint16_t device)
{
    char number[32];
    const std::optional<std::string> vendorName = names.VendorName(vendor);
    const std::optional<std::string> deviceText = names.DeviceName(vendor, device);
    if (vendorName) {
        std::snprintf(number, sizeof number, "Device %04x", device);
        return *vendorName + " " + (deviceText ? *deviceText : std::string(number));
    }
    std::snprintf(number, sizeof number, "Device %04x:%04x", vendor, device);
    return deviceText ? *deviceText : std::string(number);
}

}  // namespace capture::sysfs
