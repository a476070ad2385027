#include "capture/linux/LinuxLayout.h"

#include <set>

#include "layout/DisplayLayout.h"
#include "machine/TextCodec.h"

namespace capture::sysfs {

namespace {

constexpr std::uint32_t kBitsPerPixel = 32;
constexpr std::uint32_t kInterlaced = 0x2;  // DM_INTERLACED

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

std::string Ansi(const std::string& utf8)
{
    return textcodec::Utf8ToAnsiLossy(utf8, machine::limits::kDeviceText);
}

std::optional<std::string> Ansi(const std::optional<std::string>& utf8)
{
    return utf8 ? std::optional<std::string>(Ansi(*utf8)) : std::nullopt;
}

machine::DisplayMode WindowsMode(const LiveMode& mode)
{
    return machine::DisplayMode{kBitsPerPixel, mode.width, mode.height, mode.refresh,
                                mode.interlaced ? kInterlaced : 0u};
}

// The card's identity as the device installer shows it.
void Identify(const Card& card, layout::AdapterSpec& adapter)
{
    if (card.pci) {
        adapter.ids = layout::PciIds(card.pci->identity);
        adapter.instanceId = adapter.ids.hardware[0] + "\\" +
                             PciInstanceSuffix(card.pci->parentPath, card.pci->address);
        return;
    }
    if (card.usb) {
        adapter.ids = layout::UsbIds(card.usb->identity);
        adapter.instanceId =
            adapter.ids.hardware[1] + "\\" +
            UsbInstanceSuffix(card.usb->serial, card.usb->parentPath, card.usb->port);
        return;
    }
    if (card.vmbus) {
        adapter.ids = layout::VmbusIds(card.vmbus->classGuid);
        adapter.instanceId =
            layout::VmbusInstanceId(card.vmbus->classGuid, card.vmbus->instanceGuid);
        return;
    }
    const std::string hardwareId = "PLATFORM\\" + IdText(card.name);
    adapter.ids.hardware = {hardwareId};
    if (!card.driver.empty() && IdText(card.driver) != IdText(card.name)) {
        adapter.ids.compatible = {"PLATFORM\\" + IdText(card.driver)};
    }
    adapter.instanceId = hardwareId + "\\" + IdText(card.sysfsName);
}

}  // namespace

std::pair<std::size_t, std::size_t> PrimaryOutput(const std::vector<Card>& cards)
{
    std::size_t bootCard = 0;
    for (std::size_t c = 0; c < cards.size(); ++c) {
        if (cards[c].bootDisplay) {
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

machine::Machine LayOutMachine(const std::vector<Card>& cards, const std::string& hostName,
                               const ZoneOffsets& zone, Problems& problems)
{
    machine::Machine machine;
    machine.computer = NetBiosName(hostName);
    machine.zone = WindowsTimeZone(zone);

    const std::pair<std::size_t, std::size_t> primary = PrimaryOutput(cards);
    std::set<std::string> monitorIds;
    unsigned monitors = 0;
    for (std::size_t c = 0; c < cards.size(); ++c) {
        const Card& card = cards[c];
        layout::AdapterSpec adapter;
        Identify(card, adapter);
        const bool started = !card.driver.empty();
        adapter.state = started ? layout::Started()
                                : layout::StoppedWithProblem(layout::kProblemFailedInstall);
        adapter.enumDescription = Ansi(card.name);
        adapter.service = started ? Ansi(card.driver) : "";
        adapter.guid = GuidFromText(adapter.instanceId + "/card" +
                                    (card.number ? std::to_string(*card.number) : ""));
        adapter.driver = {Ansi(card.name), Ansi(card.bios), Ansi(card.chip), std::nullopt,
                          card.memory};
        for (std::size_t k = 0; k < card.connectors.size(); ++k) {
            const Connector& connector = card.connectors[k];
            layout::OutputSpec output;
            output.index = static_cast<unsigned>(k);
            output.flags = connector.enabled ? layout::kAttachedToDesktop : 0;
            if (primary.first == c && primary.second == k) {
                output.flags |= layout::kPrimaryDevice;
            }
            for (const LiveMode& mode : connector.modes.modes) {
                output.modes.push_back(WindowsMode(mode));
            }
            if (connector.modes.current) {
                output.current = WindowsMode(*connector.modes.current);
            }
            if (connector.monitor) {
                const std::string instance =
                    MonitorInstanceSuffix(adapter.instanceId, static_cast<unsigned>(k));
                layout::MonitorSpec monitor;
                if (connector.edid) {
                    std::string why;
                    monitor.monitor.model =
                        layout::MonitorModelFromEdid(*connector.edid, why).value();
                    monitor.monitor.instance = instance;
                    monitor.monitor.edid = connector.edid;
                } else {
                    monitor.monitor = layout::MonitorWithoutEdid(instance, 0);
                    monitor.description = layout::kNonPnpMonitorName;
                }
                monitor.active = connector.enabled;
                const std::string instanceId = layout::MonitorInstanceId(monitor.monitor);
                if (monitorIds.insert(machine::FoldCase(instanceId)).second) {
                    monitor.monitor.number = monitors++;
                    output.monitors.push_back(std::move(monitor));
                } else {
                    problems.Add("card" + std::to_string(card.number.value_or(0)) + "-" +
                                 connector.name +
                                 ": the monitor's instance ID " + instanceId +
                                 " is taken by another output; the monitor is left out");
                }
            }
            adapter.outputs.push_back(std::move(output));
        }
        layout::AddAdapter(machine, adapter);
    }
    return machine;
}

}  // namespace capture::sysfs
