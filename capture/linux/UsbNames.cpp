#include "capture/linux/UsbNames.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <map>
#include <vector>

namespace capture::sysfs {

namespace {

// Where Debian (usb.ids), usbutils and hwdata install the database.
const char* const kDatabaseFiles[] = {"/usr/share/misc/usb.ids", "/var/lib/usbutils/usb.ids",
                                      "/usr/share/hwdata/usb.ids"};

bool HexId(const std::string& text, std::size_t at, std::uint16_t& id)
{
    if (text.size() < at + 6 || text.compare(at + 4, 2, "  ") != 0) {
        return false;
    }
    for (std::size_t i = at; i < at + 4; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    id = static_cast<std::uint16_t>(std::strtoul(text.substr(at, 4).c_str(), nullptr, 16));
    return true;
}

class UsbIdsNames : public IUsbNames {
public:
    explicit UsbIdsNames(std::vector<std::string> paths) : paths_(std::move(paths)) {}

    std::optional<std::string> VendorName(std::uint16_t vendor) override
    {
        Load();
        return Find(vendors_, vendor);
    }

    std::optional<std::string> ProductName(std::uint16_t vendor, std::uint16_t product) override
    {
        Load();
        return Find(products_, static_cast<std::uint32_t>(vendor) << 16 | product);
    }

private:
    template <class Key>
    static std::optional<std::string> Find(const std::map<Key, std::string>& names, Key key)
    {
        const auto found = names.find(key);
        return found == names.end() ? std::nullopt : std::optional<std::string>(found->second);
    }

    // Vendor lines start at the margin ("17e9  DisplayLink"), product lines
    // with one tab; interface lines (two tabs) and the sections after the
    // vendors (device classes and other tables) are passed over.
    void Load()
    {
        if (loaded_) {
            return;
        }
        loaded_ = true;
        for (const std::string& path : paths_) {
            std::ifstream file(path);
            if (!file) {
                continue;
            }
            std::uint16_t vendor = 0;
            bool inVendor = false;
            for (std::string line; std::getline(file, line);) {
                std::uint16_t id = 0;
                if (HexId(line, 0, id)) {
                    vendor = id;
                    inVendor = true;
                    vendors_[vendor] = line.substr(6);
                } else if (inVendor && line.size() > 1 && line[0] == '\t' && line[1] != '\t' &&
                           HexId(line, 1, id)) {
                    products_[static_cast<std::uint32_t>(vendor) << 16 | id] = line.substr(7);
                } else if (!line.empty() && line[0] != '\t' && line[0] != '#') {
                    inVendor = false;
                }
            }
            return;
        }
    }

    std::vector<std::string> paths_;
    bool loaded_ = false;
    std::map<std::uint16_t, std::string> vendors_;
    std::map<std::uint32_t, std::string> products_;
};

}  // namespace

std::unique_ptr<IUsbNames> MakeUsbIdsNames()
{
    return std::make_unique<UsbIdsNames>(
        std::vector<std::string>(std::begin(kDatabaseFiles), std::end(kDatabaseFiles)));
}

std::unique_ptr<IUsbNames> MakeUsbIdsNames(const std::string& path)
{
    return std::make_unique<UsbIdsNames>(std::vector<std::string>{path});
}

}  // namespace capture::sysfs
