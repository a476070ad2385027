#include "capture/linux/PciNames.h"

#include <csetjmp>
#include <cstdarg>
#include <cstdio>

extern "C" {
#include <pci/pci.h>
}

namespace capture::sysfs {

namespace {

// libpci reports a missing ID file as a warning; the lookups then find
// nothing, which the caller handles.
void IgnoreMessage(char* /*format*/, ...) {}

// libpci calls its error handler for a database it cannot parse and expects
// it not to return: it leaves the lookup that is under way for the jump
// that lookup set, with the message kept for the caller.
thread_local std::jmp_buf* jumpOnError = nullptr;
thread_local std::string* errorText = nullptr;

__attribute__((noreturn)) void LeaveLookup(char* format, ...)
{
    char text[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    *errorText = text;
    while (!errorText->empty() && errorText->back() == '\n') {
        errorText->pop_back();
    }
    std::longjmp(*jumpOnError, 1);
}

class LibpciNames : public IPciNames {
public:
    explicit LibpciNames(const std::string& path) : access_(pci_alloc()), path_(path)
    {
        // The library's default handlers print to standard error and end
        // the process.
        access_->warning = IgnoreMessage;
        access_->debug = IgnoreMessage;
        access_->error = LeaveLookup;
        if (!path_.empty()) {
            // libpci keeps the pointer, so the text lives as long as it.
            pci_set_name_list_path(access_, const_cast<char*>(path_.c_str()), 0);
        }
    }
    ~LibpciNames() override { pci_cleanup(access_); }
    LibpciNames(const LibpciNames&) = delete;
    LibpciNames& operator=(const LibpciNames&) = delete;

    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        char buffer[256];
        return Found(Lookup(buffer, sizeof buffer, PCI_LOOKUP_VENDOR, vendor, 0));
    }

    std::optional<std::string> DeviceName(std::uint16_t vendor, std::uint16_t device) override
    {
        char buffer[256];
        return Found(Lookup(buffer, sizeof buffer, PCI_LOOKUP_DEVICE, vendor, device));
    }

    std::string Problem() const override { return problem_; }

private:
    // One lookup, left through a jump when libpci finds the database broken.
    const char* Lookup(char* buffer, int size, int flags, unsigned first, unsigned second)
    {
        if (!problem_.empty()) {
            return nullptr;
        }
        std::jmp_buf jump;
        jumpOnError = &jump;
        errorText = &problem_;
        if (setjmp(jump) != 0) {
            jumpOnError = nullptr;
            return nullptr;
        }
        // Names come from the ID file alone. udev's hardware database is
        // made from the same file, and where it is missing libpci makes a new
        // udev context for every lookup and frees only the last one.
        const char* name = pci_lookup_name(access_, buffer, size,
                                           flags | PCI_LOOKUP_NO_NUMBERS | PCI_LOOKUP_NO_HWDB,
                                           first, second);
        jumpOnError = nullptr;
        return name;
    }

    static std::optional<std::string> Found(const char* name)
    {
        if (name == nullptr || *name == '\0') {
            return std::nullopt;
        }
        return std::string(name);
    }

    pci_access* access_;
    std::string path_;
    std::string problem_;
};

}  // namespace

std::unique_ptr<IPciNames> MakeLibpciNames()
{
    return std::make_unique<LibpciNames>(std::string());
}

std::unique_ptr<IPciNames> MakeLibpciNames(const std::string& path)
{
    return std::make_unique<LibpciNames>(path);
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
