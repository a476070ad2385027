#include "capture/linux/Inventory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "layout/DisplayLayout.h"
#include "machine/TextCodec.h"

namespace capture::sysfs {

namespace {

// A decimal attribute such as mem_info_vram_total.
std::optional<std::uint64_t> ReadDecimal(const std::string& path, Problems& problems)
{
    const std::optional<std::string> text = ReadAttribute(path, problems, false);
    if (!text) {
        return std::nullopt;
    }
    if (text->empty() || text->size() > 19 ||
        text->find_first_not_of("0123456789") != std::string::npos) {
        problems.Add(path + ": \"" + *text + "\" is not a decimal number");
        return std::nullopt;
    }
    return std::strtoull(text->c_str(), nullptr, 10);
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
    }

    std::vector<Card> ReadCards()
    {
        std::vector<Card> cards;
        bool exists = false;
        const std::string drm = sys_ + "/class/drm";
        std::vector<std::pair<unsigned, std::string>> numbers;
        for (const std::string& entry : ListFolder(drm, problems_, exists)) {
            if (entry.size() > 4 && entry.size() <= 10 && entry.compare(0, 4, "card") == 0 &&
                entry.find_first_not_of("0123456789", 4) == std::string::npos) {
                numbers.emplace_back(static_cast<unsigned>(std::strtoul(entry.c_str() + 4,
                                                                        nullptr, 10)),
                                     entry);
            }
        }
        std::sort(numbers.begin(), numbers.end());
        for (const auto& [number, entry] : numbers) {
            if (std::optional<Card> card = ReadCard(number, drm + "/" + entry)) {
                cards.push_back(std::move(*card));
            }
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
        const std::string& sysfsName = card.sysfsName;
        if (const std::optional<std::string> driver = LinkText(folder + "/device/driver")) {
            card.driver = LastPart(*driver);
        }
        if (!ReadPciIdentity(card, folder, *device, sysfsName)) {
            ReadPlatformIdentity(card, folder, sysfsName);
        }
        ReadConnectors(card, folder);
        return card;
    }

    bool ReadPciIdentity(Card& card, const std::string& folder, const std::string& device,
                         const std::string& sysfsName)
    {
        const std::optional<PciAddress> address = ParsePciAddress(sysfsName);
        if (!address) {
            return false;
        }
        const std::string attributes = folder + "/device/";
        const auto vendor = ReadHexAttribute(attributes + "vendor", 0xFFFF, problems_, true);
        const auto product = ReadHexAttribute(attributes + "device", 0xFFFF, problems_, true);
        if (!vendor || !product) {
            problems_.Add(folder + ": a PCI device without vendor and device IDs, named as a "
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

        card.pci = PciFunction{id, *address, ParentPath(device)};
        card.name = AdapterName(*sources_.pciNames, id.vendor, id.device);
        card.chip = sources_.pciNames->DeviceName(id.vendor, id.device);
        card.bootVga = ReadAttribute(attributes + "boot_vga", problems_, false) == "1";
        card.memory = ReadDecimal(attributes + "mem_info_vram_total", problems_);
        card.bios = ReadAttribute(attributes + "vbios_version", problems_, false);
        if (!card.bios) {
            card.bios = NvidiaBios(sysfsName);
        }
        return true;
    }

    // The device's parent below /sys/devices, e.g. "pci0000:00/0000:00:01.0".
    std::string ParentPath(const std::string& device)
    {
        std::string parent = device.substr(0, device.rfind('/'));
        Problems ignored;
        if (const auto devices = CanonicalPath(sys_ + "/devices", ignored)) {
            if (parent.compare(0, devices->size() + 1, *devices + "/") == 0) {
                return parent.substr(devices->size() + 1);
            }
        }
        return parent;
    }

    std::optional<std::string> NvidiaBios(const std::string& address)
    {
        const std::string path = root_ + "/proc/driver/nvidia/gpus/" + address + "/information";
        std::string text;
        std::string why;
        const ReadResult result = ReadBoundedFile(path, kAttributeLimit, text, why);
        if (result == ReadResult::kRefused) {
            problems_.Add(path + ": cannot be read (" + why + ")");
        }
        if (result != ReadResult::kRead) {
            return std::nullopt;
        }
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
        return value.empty() ? std::nullopt : std::optional<std::string>(value);
    }

    void ReadPlatformIdentity(Card& card, const std::string& folder, const std::string& sysfsName)
    {
        std::string name;
        std::string text;
        std::string why;
        const std::string compatible = folder + "/device/of_node/compatible";
        const ReadResult result = ReadBoundedFile(compatible, kAttributeLimit, text, why);
        if (result == ReadResult::kRead) {
            name = text.substr(0, text.find('\0'));
        } else if (result == ReadResult::kRefused) {
            problems_.Add(compatible + ": cannot be read (" + why + ")");
        }
        if (name.empty()) {
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
            name = sysfsName;
        }
        card.name = name;
    }

    void ReadConnectors(Card& card, const std::string& folder)
    {
        CardModes drmModes;
        std::string error;
        const std::string node = root_ + "/dev/dri/card" + std::to_string(card.number);
        const NodeState state = sources_.modes->ReadCard(node, drmModes, error);
        if (state == NodeState::kUnavailable) {
            problems_.Add(node + ": " + error + "; modes from sysfs, without refresh rates or "
                                                "the current mode");
        }

        const std::string prefix = "card" + std::to_string(card.number) + "-";
        bool exists = false;
        for (const std::string& entry : ListFolder(folder, problems_, exists)) {
            if (entry.size() <= prefix.size() || entry.compare(0, prefix.size(), prefix) != 0) {
                continue;
            }
            const std::string path = folder + "/" + entry;
            Connector connector;
            connector.name = entry.substr(prefix.size());
            if (const auto id = ReadAttribute(path + "/connector_id", problems_, false)) {
                if (!id->empty() && id->size() < 10 &&
                    id->find_first_not_of("0123456789") == std::string::npos) {
                    connector.order = std::strtol(id->c_str(), nullptr, 10);
                }
            }
            connector.enabled = ReadAttribute(path + "/enabled", problems_, true) == "enabled";
            if (ReadAttribute(path + "/status", problems_, true) == "connected") {
                connector.edid = ReadEdid(path + "/edid");
            }
            const auto fromDrm = drmModes.find(connector.name);
            if (state == NodeState::kRead && fromDrm != drmModes.end()) {
                connector.modes = fromDrm->second;
            } else {
                connector.modes.modes = SysfsModes(path + "/modes");
            }
            connector.modes.modes = OrderedModes(std::move(connector.modes.modes));
            card.connectors.push_back(std::move(connector));
        }
        std::stable_sort(card.connectors.begin(), card.connectors.end(),
                         [](const Connector& a, const Connector& b) { return a.order < b.order; });
    }

    std::optional<std::vector<std::uint8_t>> ReadEdid(const std::string& path)
    {
        std::string text;
        std::string why;
        switch (ReadBoundedFile(path, kEdidLimit, text, why)) {
        case ReadResult::kMissing:
            problems_.Add(path + ": missing; the connected monitor is left out");
            return std::nullopt;
        case ReadResult::kRefused:
            problems_.Add(path + ": cannot be read (" + why + "); the monitor is left out");
            return std::nullopt;
        case ReadResult::kRead:
            break;
        }
        const std::vector<std::uint8_t> edid(text.begin(), text.end());
        if (edid.empty()) {
            problems_.Add(path + ": empty; the monitor is left out");
            return std::nullopt;
        }
        if (!layout::MonitorModelFromEdid(edid, why)) {
            problems_.Add(path + ": " + why + "; the monitor is left out");
            return std::nullopt;
        }
        return edid;
    }

    std::vector<LiveMode> SysfsModes(const std::string& path)
    {
        std::string text;
        std::string why;
        const ReadResult result = ReadBoundedFile(path, kEdidLimit, text, why);
        if (result == ReadResult::kRefused) {
            problems_.Add(path + ": cannot be read (" + why + ")");
        }
        std::vector<std::string> bad;
        std::vector<LiveMode> modes = ParseSysfsModes(text, bad);
        for (const std::string& line : bad) {
            problems_.Add(path + ": \"" + textcodec::AnsiToUtf8(textcodec::Utf8ToAnsiLossy(line, 40)) + "\" is not a mode");
        }
        return modes;
    }

    const LiveSources& sources_;
    Problems& problems_;
    std::string root_;
    std::string sys_;
};

}  // namespace

std::vector<Card> ReadInventory(const LiveSources& sources, Problems& problems)
{
    return TreeReader(sources, problems).ReadCards();
}

}  // namespace capture::sysfs
