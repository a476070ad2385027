#include "platform/posix/live/LiveMachine.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>

#include "platform/Windows1252.h"
#include "platform/posix/live/DeviceIds.h"
#include "platform/posix/live/SysfsFiles.h"

namespace displayplatform::live {

namespace {

using Json = nlohmann::json;

constexpr unsigned kStartedStatus = 0x0180200A;
constexpr unsigned kProblemStatus = 0x01802400;
constexpr unsigned kFailedInstall = 28;  // CM_PROB_FAILED_INSTALL
constexpr unsigned kAttachedToDesktop = 0x1;
constexpr unsigned kPrimaryDevice = 0x4;
constexpr unsigned kMonitorActive = 0x1;
constexpr unsigned kMonitorAttached = 0x2;
constexpr unsigned kInterlaced = 0x2;  // DM_INTERLACED
constexpr unsigned kBitsPerPel = 32;
// What the DISPLAY_DEVICEA text fields hold without their terminator.
constexpr std::size_t kDeviceStringLength = 127;
// HardwareInformation.MemorySize for sizes that 32 bits cannot hold.
constexpr std::uint64_t kLargeMemorySize = 0xFFF00000;

const char* const kMonitorClass = "{4d36e96e-e325-11ce-bfc1-08002be10318}";
const char* const kEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\";
const char* const kVideoKey = "System\\CurrentControlSet\\Control\\Video\\";
const char* const kClassKey = "System\\CurrentControlSet\\Control\\Class\\";
const char* const kKernelPrefix = "\\Registry\\Machine\\";

struct Connector {
    std::string name;  // "HDMI-A-1"
    long order = LONG_MAX;
    bool enabled = false;
    std::optional<std::string> edid;  // connected, with a usable EDID
    ConnectorModes modes;
};

struct Card {
    unsigned number = 0;
    std::string hardwareId;
    std::vector<std::string> hardwareIds;
    std::vector<std::string> compatibleIds;
    std::string instanceId;
    std::string name;
    std::optional<std::string> chip;
    std::optional<std::uint64_t> memory;
    std::optional<std::string> bios;
    std::string driver;
    bool bootVga = false;
    std::vector<Connector> connectors;
};

// Text the ANSI code page can hold, at most limit characters: UTF-8 that
// converts is kept; otherwise every character outside ASCII becomes '?'.
std::string AnsiText(const std::string& text, std::size_t limit)
{
    std::string converted;
    unsigned bad = 0;
    if (windows1252::FromUtf8(text, converted, bad)) {
        if (converted.size() <= limit) {
            return text;
        }
    }
    std::string ascii;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F) {
            ascii.push_back(static_cast<char>(c));
        } else if ((c & 0xC0) != 0x80) {
            ascii.push_back('?');  // a control or the first byte of a sequence
        }
    }
    if (ascii.size() > limit) {
        ascii.resize(limit);
    }
    return ascii;
}

std::string Hex8(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

std::string HexBytes(const std::string& bytes)
{
    std::string text;
    char pair[4];
    for (unsigned char c : bytes) {
        std::snprintf(pair, sizeof pair, "%02x", c);
        if (!text.empty()) {
            text.push_back(' ');
        }
        text += pair;
    }
    return text;
}

std::string LittleEndian(std::uint64_t value, int bytes)
{
    std::string data;
    for (int i = 0; i < bytes; ++i) {
        data.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return data;
}

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

// Letters, digits, '-', '_' and '.'; anything else becomes '_'.
std::string IdText(const std::string& text)
{
    std::string id;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
        id.push_back(plain ? c : '_');
    }
    return id.substr(0, 64);
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
        const std::string deviceName = LastPart(*device);
        if (const std::optional<std::string> driver = LinkText(folder + "/device/driver")) {
            card.driver = LastPart(*driver);
        }
        if (!ReadPciIdentity(card, folder, *device, deviceName)) {
            ReadPlatformIdentity(card, folder, deviceName);
        }
        ReadConnectors(card, folder);
        return card;
    }

    bool ReadPciIdentity(Card& card, const std::string& folder, const std::string& device,
                         const std::string& deviceName)
    {
        const std::optional<PciAddress> address = ParsePciAddress(deviceName);
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
        PciIdentity id;
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

        card.hardwareId = PciHardwareId(id);
        card.hardwareIds = PciHardwareIds(id);
        card.compatibleIds = PciCompatibleIds(id);
        card.instanceId = card.hardwareId + "\\" + PciInstanceSuffix(ParentPath(device), *address);
        card.name = AdapterName(*sources_.pciNames, id.vendor, id.device);
        card.chip = sources_.pciNames->DeviceName(id.vendor, id.device);
        card.bootVga = ReadAttribute(attributes + "boot_vga", problems_, false) == "1";
        card.memory = ReadDecimal(attributes + "mem_info_vram_total", problems_);
        card.bios = ReadAttribute(attributes + "vbios_version", problems_, false);
        if (!card.bios) {
            card.bios = NvidiaBios(deviceName);
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

    void ReadPlatformIdentity(Card& card, const std::string& folder, const std::string& deviceName)
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
            name = deviceName;
        }
        card.hardwareId = "PLATFORM\\" + IdText(name);
        card.hardwareIds = {card.hardwareId};
        if (!card.driver.empty() && IdText(card.driver) != IdText(name)) {
            card.compatibleIds = {"PLATFORM\\" + IdText(card.driver)};
        }
        card.instanceId = card.hardwareId + "\\" + IdText(deviceName);
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

    std::optional<std::string> ReadEdid(const std::string& path)
    {
        std::string edid;
        std::string why;
        switch (ReadBoundedFile(path, kEdidLimit, edid, why)) {
        case ReadResult::kMissing:
            problems_.Add(path + ": missing; the connected monitor is left out");
            return std::nullopt;
        case ReadResult::kRefused:
            problems_.Add(path + ": cannot be read (" + why + "); the monitor is left out");
            return std::nullopt;
        case ReadResult::kRead:
            break;
        }
        if (edid.empty()) {
            problems_.Add(path + ": empty; the monitor is left out");
            return std::nullopt;
        }
        if (!MonitorModelFromEdid(edid, why)) {
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
            problems_.Add(path + ": \"" + AnsiText(line, 40) + "\" is not a mode");
        }
        return modes;
    }

    const LiveSources& sources_;
    Problems& problems_;
    std::string root_;
    std::string sys_;
};

Json ModeEntry(const LiveMode& mode)
{
    return Json{{"bitsPerPel", kBitsPerPel},
                {"pelsWidth", mode.width},
                {"pelsHeight", mode.height},
                {"displayFrequency", mode.refresh},
                {"displayFlags", mode.interlaced ? kInterlaced : 0u}};
}

Json TextValue(const std::string& text)
{
    return Json{{"type", "REG_SZ"}, {"string", text}};
}

Json BinaryText(const std::string& text)
{
    return Json{{"type", "REG_BINARY"}, {"utf16", text}};
}

// Writes the cards as a machine description.
class DescriptionWriter {
public:
    DescriptionWriter(Json& description, Problems& problems)
        : description_(description), problems_(problems)
    {
        description_["displayDevices"] = Json::array();
        description_["devices"] = Json::array();
        description_["registry"] = Json::object();
    }

    void Write(const std::vector<Card>& cards)
    {
        const std::pair<std::size_t, std::size_t> primary = PrimaryOutput(cards);
        for (std::size_t c = 0; c < cards.size(); ++c) {
            const Card& card = cards[c];
            WriteDevice(card);
            const std::string guid =
                GuidFromText(card.instanceId + "/card" + std::to_string(card.number));
            for (std::size_t k = 0; k < card.connectors.size(); ++k) {
                const bool isPrimary = primary.first == c && primary.second == k;
                WriteOutput(card, card.connectors[k], k, guid, isPrimary);
            }
        }
    }

private:
    // The card and connector of the primary output; past the end when no
    // output is attached.
    static std::pair<std::size_t, std::size_t> PrimaryOutput(const std::vector<Card>& cards)
    {
        std::size_t bootCard = 0;
        for (std::size_t c = 0; c < cards.size(); ++c) {
            if (cards[c].bootVga) {
                bootCard = c;
                break;
            }
        }
        auto firstEnabled = [&cards](std::size_t c) {
            const auto& connectors = cards[c].connectors;
            for (std::size_t k = 0; k < connectors.size(); ++k) {
                if (connectors[k].enabled) {
                    return k;
                }
            }
            return connectors.size();
        };
        if (bootCard < cards.size() && firstEnabled(bootCard) < cards[bootCard].connectors.size()) {
            return {bootCard, firstEnabled(bootCard)};
        }
        for (std::size_t c = 0; c < cards.size(); ++c) {
            if (firstEnabled(c) < cards[c].connectors.size()) {
                return {c, firstEnabled(c)};
            }
        }
        return {cards.size(), 0};
    }

    void WriteDevice(const Card& card)
    {
        if (!instanceIds_.insert(card.instanceId).second) {
            return;  // two DRM cards of one device: the device is listed once
        }
        const bool started = !card.driver.empty();
        Json device{{"instanceId", card.instanceId},
                    {"hardwareIds", card.hardwareIds},
                    {"status", started ? kStartedStatus : kProblemStatus},
                    {"problem", started ? 0u : kFailedInstall}};
        if (!card.compatibleIds.empty()) {
            device["compatibleIds"] = card.compatibleIds;
        }
        description_["devices"].push_back(device);
        Json values{{"DeviceDesc", TextValue(AnsiText(card.name, kDeviceStringLength))}};
        if (started) {
            values["Service"] = TextValue(AnsiText(card.driver, kDeviceStringLength));
        }
        description_["registry"][kEnumKey + card.instanceId] = values;
    }

    void WriteOutput(const Card& card, const Connector& connector, std::size_t k,
                     const std::string& guid, bool primary)
    {
        const std::string outputName = "\\\\.\\DISPLAY" + std::to_string(++outputs_);
        const std::string driverKey = kVideoKey + guid + "\\" + FourDigits(static_cast<unsigned>(k));
        const std::string name = AnsiText(card.name, kDeviceStringLength);

        Json values{{"DriverDesc", TextValue(name)},
                    {"HardwareInformation.AdapterString", BinaryText(name)}};
        if (card.chip) {
            values["HardwareInformation.ChipType"] =
                BinaryText(AnsiText(*card.chip, kDeviceStringLength));
        }
        if (card.bios) {
            values["HardwareInformation.BiosString"] =
                BinaryText(AnsiText(*card.bios, kDeviceStringLength));
        }
        if (card.memory) {
            const std::uint64_t small = *card.memory > 0xFFFFFFFFull ? kLargeMemorySize
                                                                      : *card.memory;
            values["HardwareInformation.MemorySize"] =
                Json{{"type", "REG_BINARY"}, {"hex", HexBytes(LittleEndian(small, 4))}};
            values["HardwareInformation.qwMemorySize"] =
                Json{{"type", "REG_QWORD"}, {"hex", HexBytes(LittleEndian(*card.memory, 8))}};
        }
        description_["registry"][driverKey] = values;

        unsigned flags = connector.enabled ? kAttachedToDesktop : 0;
        if (primary) {
            flags |= kPrimaryDevice;
        }
        Json output{{"deviceName", outputName},
                    {"deviceString", name},
                    {"stateFlags", flags},
                    {"deviceID", card.hardwareId},
                    {"deviceKey", kKernelPrefix + driverKey},
                    {"modes", Json::array()},
                    {"monitors", Json::array()}};
        for (const LiveMode& mode : connector.modes.modes) {
            output["modes"].push_back(ModeEntry(mode));
        }
        if (connector.modes.current) {
            output["currentMode"] = ModeEntry(*connector.modes.current);
        }
        if (connector.edid) {
            WriteMonitor(card, connector, k, outputName, output["monitors"]);
        }
        description_["displayDevices"].push_back(output);
    }

    void WriteMonitor(const Card& card, const Connector& connector, std::size_t k,
                      const std::string& outputName, Json& monitors)
    {
        std::string why;
        const MonitorModel model = *MonitorModelFromEdid(*connector.edid, why);
        const std::string modelId = model.pnpId + model.product;
        const std::string instanceId = "DISPLAY\\" + modelId + "\\5&" +
                                       Hex8(Fnv1a32(card.instanceId)) + "&0&UID" +
                                       std::to_string(k);
        if (!instanceIds_.insert(instanceId).second) {
            problems_.Add("card" + std::to_string(card.number) + "-" + connector.name +
                          ": the monitor's instance ID " + instanceId +
                          " is taken by another output; the monitor is left out");
            return;
        }
        const std::string number = FourDigits(monitorCount_++);
        const std::string hardwareId = "MONITOR\\" + modelId;
        monitors.push_back(
            Json{{"deviceName", outputName + "\\Monitor0"},
                 {"deviceString", "Generic PnP Monitor"},
                 {"stateFlags", connector.enabled ? kMonitorActive | kMonitorAttached
                                                  : kMonitorAttached},
                 {"deviceID", hardwareId + "\\" + kMonitorClass + "\\" + number},
                 {"deviceKey", kKernelPrefix + std::string(kClassKey) + kMonitorClass + "\\" +
                                   number}});
        description_["devices"].push_back(Json{{"instanceId", instanceId},
                                               {"hardwareIds", Json::array({hardwareId})},
                                               {"compatibleIds", Json::array({"*PNP09FF"})}});
        const std::string key = kEnumKey + instanceId;
        description_["registry"][key] = Json{
            {"DeviceDesc",
             TextValue("@monitor.inf,%pnpmonitor.devicedesc%;Generic PnP Monitor")},
            {"Mfg", TextValue("@monitor.inf,%generic%;(Standard monitor types)")},
            {"HardwareID", Json{{"type", "REG_MULTI_SZ"}, {"strings", Json::array({hardwareId})}}},
            {"CompatibleIDs",
             Json{{"type", "REG_MULTI_SZ"}, {"strings", Json::array({"*PNP09FF"})}}},
            {"ClassGUID", TextValue(kMonitorClass)},
            {"Driver", TextValue(std::string(kMonitorClass) + "\\" + number)},
            {"Service", TextValue("monitor")},
            {"ConfigFlags", Json{{"type", "REG_DWORD"}, {"dword", 0}}}};
        description_["registry"][key + "\\Device Parameters"] =
            Json{{"EDID", Json{{"type", "REG_BINARY"}, {"hex", HexBytes(*connector.edid)}}}};
    }

    Json& description_;
    Problems& problems_;
    std::set<std::string> instanceIds_;
    unsigned outputs_ = 0;
    unsigned monitorCount_ = 0;
};

}  // namespace

LiveMachine ReadLiveMachine(const LiveSources& sources)
{
    Problems problems;
    TreeReader reader(sources, problems);
    const std::vector<Card> cards = reader.ReadCards();

    LiveMachine machine;
    machine.description = Json::object();
    machine.description["computerName"] = NetBiosName(sources.computerName);
    machine.description["timeZone"] = TimeZoneEntry(sources.zone);
    DescriptionWriter writer(machine.description, problems);
    writer.Write(cards);
    machine.problems = problems.List();
    return machine;
}

LiveMachine ReadLiveMachine(const std::string& root)
{
    const std::unique_ptr<IModeSource> modes = MakeDrmModeSource();
    const std::unique_ptr<IPciNames> names = MakeLibpciNames();
    LiveSources sources;
    sources.root = root;
    sources.modes = modes.get();
    sources.pciNames = names.get();
    sources.computerName = LocalComputerName(root);
    sources.zone = LocalZoneOffsets();
    return ReadLiveMachine(sources);
}

}  // namespace displayplatform::live
