#include "capture/linux/Inventory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

#include "layout/DisplayLayout.h"
#include "machine/TextCodec.h"

namespace capture::sysfs {

namespace {

// PCI class codes of display devices: VGA, XGA, 3D and other display
// controllers all start with 0x03.
constexpr unsigned long kDisplayClass = 0x03;

// Text of 1 to maxDigits decimal digits (no sign, no blanks) as a number.
std::optional<std::uint64_t> ParseDecimal(const std::string& text, std::size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    return std::strtoull(text.c_str(), nullptr, 10);
}

// A decimal attribute such as mem_info_vram_total.
std::optional<std::uint64_t> ReadDecimal(const std::string& path, Problems& problems)
{
    const std::optional<std::string> text = ReadAttribute(path, problems, false);
    if (!text) {
        return std::nullopt;
    }
    const std::optional<std::uint64_t> number = ParseDecimal(*text, 19);
    if (!number) {
        problems.Add(path + ": \"" + *text + "\" is not a decimal number");
    }
    return number;
}

// The value of KEY=VALUE in a uevent file.
std::optional<std::string> UeventValue(const std::string& uevent, const std::string& key)
{
    std::string::size_type start = 0;
    while (start < uevent.size()) {
        std::string::size_type end = uevent.find('\n', start);
        if (end == std::string::npos) {
            end = uevent.size();
        }
        if (uevent.compare(start, key.size() + 1, key + "=") == 0) {
            return uevent.substr(start + key.size() + 1, end - start - key.size() - 1);
        }
        start = end + 1;
    }
    return std::nullopt;
}

std::string Parent(const std::string& path)
{
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// "HDMI-A-1" as its type and number: ("HDMI-A", 1).
std::pair<std::string, long> TypeAndNumber(const std::string& name)
{
    const std::string::size_type dash = name.rfind('-');
    if (dash == std::string::npos || dash + 1 == name.size() ||
        name.find_first_not_of("0123456789", dash + 1) != std::string::npos) {
        return {name, 0};
    }
    return {name.substr(0, dash), std::strtol(name.c_str() + dash + 1, nullptr, 10)};
}

// A USB display adapter as it names itself (manufacturer and product
// strings), else as the USB ID database names it, else by its IDs: the
// product, with the maker in front unless the product name starts with it.
std::string UsbDeviceName(const std::string& maker, const std::string& product,
                          const UsbDevice& usb, IUsbNames& names)
{
    const layout::UsbIdentity& id = usb.identity;
    const std::string model =
        !product.empty() ? product : names.ProductName(id.vendor, id.product).value_or("");
    if (model.empty()) {
        char number[32];
        std::snprintf(number, sizeof number, "USB Device %04x:%04x", id.vendor, id.product);
        return number;
    }
    const std::string vendor = !maker.empty() ? maker : names.VendorName(id.vendor).value_or("");
    if (vendor.empty() || model.compare(0, vendor.size(), vendor) == 0) {
        return model;
    }
    return vendor + " " + model;
}

// The NVIDIA driver shows a placeholder of question marks where it has not
// read the BIOS version.
bool IsPlaceholder(const std::string& version)
{
    return version.find_first_not_of("?.") == std::string::npos;
}

class TreeReader {
public:
    TreeReader(const LiveSources& sources, Problems& problems)
        : sources_(sources), problems_(problems)
    {
        std::string root = sources.root;
        while (!root.empty() && root.back() == '/') {
            root.pop_back();
        }
        root_ = root;
        sys_ = root + "/sys";
        Problems ignored;
        devices_ = CanonicalPath(sys_ + "/devices", ignored).value_or(sys_ + "/devices");
    }

    std::vector<Card> ReadDisplayDevices()
    {
        std::vector<Card> cards;
        const std::string drm = sys_ + "/class/drm";
        std::vector<std::pair<unsigned, std::string>> numbers;
        for (const std::string& entry : ListFolder(drm, problems_)) {
            if (entry.compare(0, 4, "card") != 0) {
                continue;
            }
            if (const std::optional<std::uint64_t> number = ParseDecimal(entry.substr(4), 6)) {
                numbers.emplace_back(static_cast<unsigned>(*number), entry);
            }
        }
        std::sort(numbers.begin(), numbers.end());
        for (const auto& [number, entry] : numbers) {
            if (std::optional<Card> card = ReadCard(number, drm + "/" + entry)) {
                cards.push_back(std::move(*card));
            }
        }
        ReadPciDisplaysWithoutCard(cards);
        if (!sources_.pciNames->Problem().empty()) {
            problems_.Add("the PCI ID database cannot be read (" + sources_.pciNames->Problem() +
                          "); devices are named by their numbers");
        }
        return cards;
    }

private:
    std::optional<Card> ReadCard(unsigned number, const std::string& folder)
    {
        const std::optional<std::string> device = CanonicalPath(folder + "/device", problems_);
        if (!device) {
            problems_.Add(folder + ": left out, its device cannot be found");
            return std::nullopt;
        }
        Card card;
        card.number = number;
        card.sysfsName = LastPart(*device);
        if (const std::optional<std::string> driver = LinkText(folder + "/device/driver")) {
            card.driver = LastPart(*driver);
        }
        if (!Identify(card, *device)) {
            ReadPlatformIdentity(card, folder);
        }
        card.bootDisplay = card.bootDisplay ||
                           ReadAttribute(folder + "/boot_display", problems_, false) == "1";
        ReadConnectors(card, folder);
        return card;
    }

    // Walks up from the card's DRM device to the nearest device that says
    // what the card is; false when none does (a platform device).
    bool Identify(Card& card, const std::string& device)
    {
        for (std::string path = device;
             path.size() > devices_.size() && path.compare(0, devices_.size(), devices_) == 0;
             path = Parent(path)) {
            const std::string name = LastPart(path);
            if (const std::optional<PciAddress> address = ParsePciAddress(name)) {
                card.sysfsName = name;
                return ReadPciFunction(card, path, *address);
            }
            if (Exists(path + "/idVendor")) {
                return ReadUsbDevice(card, path, device);
            }
            if (Exists(path + "/class_id") && Exists(path + "/device_id")) {
                return ReadVmbusDevice(card, path);
            }
        }
        return false;
    }

    bool ReadPciFunction(Card& card, const std::string& path, const PciAddress& address)
    {
        const std::string attributes = path + "/";
        const auto vendor = ReadHexAttribute(attributes + "vendor", 0xFFFF, problems_, true);
        const auto product = ReadHexAttribute(attributes + "device", 0xFFFF, problems_, true);
        if (!vendor || !product) {
            problems_.Add(path + ": a PCI device without vendor and device IDs, named as a "
                                 "platform device");
            return false;
        }
        layout::PciIdentity id;
        id.vendor = static_cast<std::uint16_t>(*vendor);
        id.device = static_cast<std::uint16_t>(*product);
        id.subsystemVendor = static_cast<std::uint16_t>(
            ReadHexAttribute(attributes + "subsystem_vendor", 0xFFFF, problems_, true).value_or(0));
        id.subsystemDevice = static_cast<std::uint16_t>(
            ReadHexAttribute(attributes + "subsystem_device", 0xFFFF, problems_, true).value_or(0));
        id.revision = static_cast<std::uint8_t>(
            ReadHexAttribute(attributes + "revision", 0xFF, problems_, true).value_or(0));
        if (const auto classCode = ReadHexAttribute(attributes + "class", 0xFFFFFF, problems_, true)) {
            id.classCode = static_cast<std::uint32_t>(*classCode);
        }

        card.pci = PciFunction{id, address, RelativeParent(path)};
        card.name = AdapterName(*sources_.pciNames, id.vendor, id.device);
        card.chip = sources_.pciNames->DeviceName(id.vendor, id.device);
        card.bootDisplay = ReadAttribute(attributes + "boot_vga", problems_, false) == "1";
        card.suspended = IsSuspended(path);
        card.memory = ReadDecimal(attributes + "mem_info_vram_total", problems_);
        card.bios = ReadAttribute(attributes + "vbios_version", problems_, false);
        if (!card.bios && !card.suspended) {
            card.bios = NvidiaBios(card.sysfsName);
        }
        return true;
    }

    // A USB display adapter: the device at path, the function on the
    // interface the DRM device hangs below.
    bool ReadUsbDevice(Card& card, const std::string& path, const std::string& drmParent)
    {
        UsbDevice usb;
        const std::string attributes = path + "/";
        const auto vendor = ReadHexAttribute(attributes + "idVendor", 0xFFFF, problems_, true);
        const auto product = ReadHexAttribute(attributes + "idProduct", 0xFFFF, problems_, true);
        if (!vendor || !product) {
            return false;
        }
        usb.identity.vendor = static_cast<std::uint16_t>(*vendor);
        usb.identity.product = static_cast<std::uint16_t>(*product);
        usb.identity.revision = static_cast<std::uint16_t>(
            ReadHexAttribute(attributes + "bcdDevice", 0xFFFF, problems_, false).value_or(0));
        const std::string interface = drmParent + "/";
        usb.identity.interfaceClass = static_cast<std::uint8_t>(
            ReadHexAttribute(interface + "bInterfaceClass", 0xFF, problems_, false).value_or(0));
        usb.identity.interfaceSubClass = static_cast<std::uint8_t>(
            ReadHexAttribute(interface + "bInterfaceSubClass", 0xFF, problems_, false).value_or(0));
        usb.identity.interfaceProtocol = static_cast<std::uint8_t>(
            ReadHexAttribute(interface + "bInterfaceProtocol", 0xFF, problems_, false).value_or(0));
        usb.serial = ReadAttribute(attributes + "serial", problems_, false).value_or("");
        usb.port = LastPart(path);
        usb.parentPath = RelativeParent(path);

        card.name = UsbDeviceName(
            ReadAttribute(attributes + "manufacturer", problems_, false).value_or(""),
            ReadAttribute(attributes + "product", problems_, false).value_or(""), usb,
            *sources_.usbNames);
        card.sysfsName = usb.port;
        card.suspended = IsSuspended(path);
        card.usb = std::move(usb);
        return true;
    }

    bool ReadVmbusDevice(Card& card, const std::string& path)
    {
        const std::optional<std::string> classGuid = ReadAttribute(path + "/class_id", problems_, true);
        const std::optional<std::string> instanceGuid =
            ReadAttribute(path + "/device_id", problems_, true);
        if (!classGuid || !instanceGuid || classGuid->empty() || instanceGuid->empty()) {
            return false;
        }
        card.vmbus = VmbusDevice{*classGuid, *instanceGuid};
        card.sysfsName = LastPart(path);
        card.name = layout::VmbusDeviceName(*classGuid).value_or("VMBus device " + *classGuid);
        return true;
    }

    void ReadPlatformIdentity(Card& card, const std::string& folder)
    {
        std::string name;
        if (const auto compatible = ReadFile(folder + "/device/of_node/compatible",
                                             kAttributeLimit, problems_, false)) {
            name = compatible->substr(0, compatible->find('\0'));
        }
        if (name.empty()) {
            std::string text;
            std::string why;
            const std::string uevent = folder + "/device/uevent";
            if (ReadBoundedFile(uevent, kAttributeLimit, text, why) == ReadResult::kRead) {
                name = UeventValue(text, "OF_COMPATIBLE_0").value_or("");
                if (name.empty()) {
                    name = UeventValue(text, "DRIVER").value_or("");
                }
            }
        }
        if (name.empty()) {
            name = card.driver;
        }
        if (name.empty()) {
            name = card.sysfsName;
        }
        card.name = name;
    }

    // The PCI functions of the display class that no card stands for.
    void ReadPciDisplaysWithoutCard(std::vector<Card>& cards)
    {
        std::set<std::string> taken;
        for (const Card& card : cards) {
            if (card.pci) {
                taken.insert(card.sysfsName);
            }
        }
        const std::string folder = sys_ + "/bus/pci/devices";
        for (const std::string& entry : ListFolder(folder, problems_)) {
            const std::optional<PciAddress> address = ParsePciAddress(entry);
            if (!address || taken.count(entry) != 0) {
                continue;
            }
            const std::string path = folder + "/" + entry;
            Problems ignored;
            const auto classCode = ReadHexAttribute(path + "/class", 0xFFFFFF, ignored, false);
            if (!classCode || (*classCode >> 16) != kDisplayClass) {
                continue;
            }
            const std::optional<std::string> device = CanonicalPath(path, problems_);
            if (!device) {
                continue;
            }
            Card card;
            card.sysfsName = entry;
            if (const std::optional<std::string> driver = LinkText(*device + "/driver")) {
                card.driver = LastPart(*driver);
            }
            if (ReadPciFunction(card, *device, *address)) {
                cards.push_back(std::move(card));
            }
        }
    }

    void ReadConnectors(Card& card, const std::string& folder)
    {
        const std::string prefix = "card" + std::to_string(*card.number) + "-";
        for (const std::string& entry : ListFolder(folder, problems_)) {
            if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) {
                continue;
            }
            Connector connector;
            connector.name = entry.substr(prefix.size());
            if (TypeAndNumber(connector.name).first == ConnectorTypeName(kWritebackType)) {
                continue;
            }
            const std::string path = folder + "/" + entry;
            if (const auto id = ReadAttribute(path + "/connector_id", problems_, false)) {
                if (const std::optional<std::uint64_t> number = ParseDecimal(*id, 9)) {
                    connector.id = static_cast<long>(*number);
                }
            }
            connector.enabled = ReadAttribute(path + "/enabled", problems_, true) == "enabled";
            const std::optional<std::string> status = ReadAttribute(path + "/status", problems_, true);
            if (status == "connected") {
                connector.monitor = true;
                connector.edid = ReadEdid(path + "/edid", true);
            } else if (status == "unknown") {
                connector.edid = ReadEdid(path + "/edid", false);
                connector.monitor = connector.edid.has_value();
            }
            connector.modes.modes = SysfsModes(path + "/modes");
            card.connectors.push_back(std::move(connector));
        }
        if (card.connectors.empty()) {
            // Nothing to show: a render engine, or a driver without
            // modesetting. Its node is left alone.
            return;
        }
        const CardModes fromNode = NodeModes(card);
        OrderConnectors(card.connectors, fromNode);
        const std::string node = NodePath(card);
        for (Connector& connector : card.connectors) {
            if (!fromNode.empty()) {
                const auto match =
                    std::find_if(fromNode.begin(), fromNode.end(), [&connector](const NodeConnector& c) {
                        return connector.id ? c.id == static_cast<std::uint32_t>(*connector.id)
                                            : c.name == connector.name;
                    });
                if (match != fromNode.end()) {
                    connector.modes = match->modes;
                } else {
                    problems_.Add(node + ": has no connector " + connector.name +
                                  "; its modes come from sysfs");
                }
            }
            connector.modes.modes = OrderedModes(std::move(connector.modes.modes));
        }
    }

    // The connectors as the card's DRM node lists them; none when the node
    // is not there, cannot be used, or belongs to a device in runtime
    // suspend, which opening it would wake.
    CardModes NodeModes(const Card& card)
    {
        CardModes modes;
        if (card.suspended) {
            return modes;
        }
        std::string error;
        const std::string node = NodePath(card);
        const NodeState state = sources_.modes->ReadCard(node, modes, error);
        if (state == NodeState::kUnavailable) {
            problems_.Add(node + ": " + error + "; modes from sysfs, without refresh rates or "
                                                "the current mode");
        }
        if (state != NodeState::kRead) {
            modes.clear();
        }
        return modes;
    }

    // The card's DRM device node, e.g. <root>/dev/dri/card0.
    std::string NodePath(const Card& card) const
    {
        return root_ + "/dev/dri/card" + std::to_string(*card.number);
    }

    // By connector_id where every connector has one, else as the node lists
    // them, else by the rule of ComesBefore.
    static void OrderConnectors(std::vector<Connector>& connectors, const CardModes& fromNode)
    {
        const bool allIds = std::all_of(connectors.begin(), connectors.end(),
                                        [](const Connector& c) { return c.id.has_value(); });
        if (allIds) {
            std::stable_sort(connectors.begin(), connectors.end(),
                             [](const Connector& a, const Connector& b) { return *a.id < *b.id; });
            return;
        }
        auto position = [&fromNode](const Connector& c) {
            for (std::size_t i = 0; i < fromNode.size(); ++i) {
                if (fromNode[i].name == c.name) {
                    return i;
                }
            }
            return fromNode.size();
        };
        std::stable_sort(connectors.begin(), connectors.end(),
                         [&position](const Connector& a, const Connector& b) {
                             const std::size_t pa = position(a);
                             const std::size_t pb = position(b);
                             return pa != pb ? pa < pb : ComesBefore(a.name, b.name);
                         });
    }

    // The EDID of a monitor, if it is usable. A connected monitor without
    // one is normal (nothing is said); a file that cannot be read or is no
    // EDID is damage, and the monitor is then one without EDID.
    std::optional<std::vector<std::uint8_t>> ReadEdid(const std::string& path, bool connected)
    {
        std::string text;
        std::string why;
        const std::string without =
            connected ? "; the monitor is reported without EDID" : "; no monitor is reported";
        switch (ReadBoundedFile(path, kEdidLimit, text, why)) {
        case ReadResult::kMissing:
            problems_.Add(path + ": missing" + without);
            return std::nullopt;
        case ReadResult::kRefused:
            problems_.Add(path + ": cannot be read (" + why + ")" + without);
            return std::nullopt;
        case ReadResult::kRead:
            break;
        }
        if (text.empty()) {
            return std::nullopt;
        }
        const std::vector<std::uint8_t> edid(text.begin(), text.end());
        if (!layout::MonitorModelFromEdid(edid, why)) {
            problems_.Add(path + ": " + why + without);
            return std::nullopt;
        }
        return edid;
    }

    std::vector<LiveMode> SysfsModes(const std::string& path)
    {
        const std::string text = ReadFile(path, kEdidLimit, problems_, false).value_or("");
        std::vector<std::string> bad;
        std::vector<LiveMode> modes = ParseSysfsModes(text, bad);
        for (const std::string& line : bad) {
            problems_.Add(path + ": \"" + textcodec::AnsiToUtf8(textcodec::Utf8ToAnsiLossy(line, 40)) +
                          "\" is not a mode");
        }
        return modes;
    }

    std::optional<std::string> NvidiaBios(const std::string& address)
    {
        const std::string path = root_ + "/proc/driver/nvidia/gpus/" + address + "/information";
        const std::optional<std::string> information =
            ReadFile(path, kAttributeLimit, problems_, false);
        if (!information) {
            return std::nullopt;
        }
        const std::string& text = *information;
        const std::string key = "Video BIOS:";
        const std::string::size_type at = text.find(key);
        if (at == std::string::npos || (at != 0 && text[at - 1] != '\n')) {
            return std::nullopt;
        }
        std::string::size_type start = text.find_first_not_of(" \t", at + key.size());
        const std::string::size_type end = text.find('\n', at);
        if (start == std::string::npos || (end != std::string::npos && start >= end)) {
            return std::nullopt;
        }
        std::string value = text.substr(start, end == std::string::npos ? end : end - start);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.pop_back();
        }
        return value.empty() || IsPlaceholder(value) ? std::nullopt
                                                     : std::optional<std::string>(value);
    }

    bool IsSuspended(const std::string& device)
    {
        return ReadAttribute(device + "/power/runtime_status", problems_, false) == "suspended";
    }

    // The device's parent below /sys/devices, e.g. "pci0000:00/0000:00:01.0".
    std::string RelativeParent(const std::string& device) const
    {
        const std::string parent = Parent(device);
        if (parent.compare(0, devices_.size() + 1, devices_ + "/") == 0) {
            return parent.substr(devices_.size() + 1);
        }
        return parent;
    }

    static constexpr std::uint32_t kWritebackType = 18;  // DRM_MODE_CONNECTOR_WRITEBACK

    const LiveSources& sources_;
    Problems& problems_;
    std::string root_;
    std::string sys_;
    std::string devices_;
};

}  // namespace

bool ComesBefore(const std::string& connector, const std::string& other)
{
    auto builtIn = [](const std::string& type) {
        return type == "eDP" || type == "LVDS" || type == "DSI";
    };
    const auto a = TypeAndNumber(connector);
    const auto b = TypeAndNumber(other);
    if (builtIn(a.first) != builtIn(b.first)) {
        return builtIn(a.first);
    }
    return a.first != b.first ? a.first < b.first : a.second < b.second;
}

std::vector<Card> ReadInventory(const LiveSources& sources, Problems& problems)
{
    return TreeReader(sources, problems).ReadDisplayDevices();
}

}  // namespace capture::sysfs
