#include "tools/machinegen/RealMonitors.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>

#include "layout/DisplayLayout.h"
#include "tools/machinegen/MachineParts.h"
#include "tools/machinegen/MonitorModels.h"

namespace machinegen {

namespace {

// A multi-output card of the machine; each adapter is of another model, so
// that every adapter has hardware identifiers of its own.
struct Card {
    const char* vendor;
    const char* device;
    const char* subsystem;
    const char* revision;
    const char* name;
    const char* chip;
    const char* dac;
    const char* bios;
    std::uint64_t memory;
    const char* service;
    const char* inf;
};

const Card kCards[] = {
    {"10DE", "24B0", "14AD10DE", "A1", "NVIDIA RTX A4000", "NVIDIA RTX A4000", "Integrated RAMDAC",
     "Version94.04.3C.00.0A", 16ull << 30, "nvlddmkm", "oem21.inf"},
    {"10DE", "2531", "151D103C", "A1", "NVIDIA RTX A2000", "NVIDIA RTX A2000", "Integrated RAMDAC",
     "Version94.06.19.00.2B", 6ull << 30, "nvlddmkm", "oem21.inf"},
    {"10DE", "1FB0", "12DB10DE", "A1", "NVIDIA T1000", "NVIDIA T1000", "Integrated RAMDAC",
     "Version90.17.42.00.4B", 4ull << 30, "nvlddmkm", "oem21.inf"},
    {"10DE", "2504", "397D1462", "A1", "NVIDIA GeForce RTX 3060", "NVIDIA GeForce RTX 3060",
     "Integrated RAMDAC", "Version94.06.2C.00.8F", 12ull << 30, "nvlddmkm", "oem21.inf"},
    {"10DE", "2230", "145910DE", "A1", "NVIDIA RTX A6000", "NVIDIA RTX A6000", "Integrated RAMDAC",
     "Version94.02.5C.00.02", 48ull << 30, "nvlddmkm", "oem21.inf"},
    {"1002", "73A3", "0E1E1002", "00", "AMD Radeon PRO W6800",
     "AMD Radeon Graphics Processor (0x73A3)", "Internal DAC(400MHz)", "113-D4120100-100",
     32ull << 30, "amdkmdag", "oem33.inf"},
    {"1002", "73E3", "0E0E1002", "00", "AMD Radeon PRO W6600",
     "AMD Radeon Graphics Processor (0x73E3)", "Internal DAC(400MHz)", "113-D5320100-101",
     8ull << 30, "amdkmdag", "oem33.inf"},
    {"1002", "73FF", "E4401DA2", "C7", "AMD Radeon RX 6600",
     "AMD Radeon Graphics Processor (0x73FF)", "Internal DAC(400MHz)", "113-D5321100-100",
     8ull << 30, "amdkmdag", "oem33.inf"},
    {"8086", "56A0", "10208086", "08", "Intel(R) Arc(TM) A770 Graphics",
     "Intel(R) Arc(TM) A770 Graphics Family", "Internal", "Intel(R) Arc(TM) BIOS 2.0.1040",
     16ull << 30, "igfxnd", "oem12.inf"},
    {"8086", "4680", "7D981462", "0C", "Intel(R) UHD Graphics 770", "Intel(R) UHD Graphics Family",
     "Internal", "Intel Video BIOS", 1ull << 30, "igfxn", "oem14.inf"},
};
constexpr int kCardCount = sizeof kCards / sizeof kCards[0];

// DEVMODE's dmDisplayFlags for an interlaced mode.
constexpr unsigned kDmInterlaced = 0x2;

struct PreferredMode {
    unsigned width = 1024;
    unsigned height = 768;
    unsigned rate = 60;
    bool interlaced = false;
};

// The size and rounded rate of the detailed timing at byte 54, the one a
// monitor prefers. An interlaced timing gives the height of a field; the
// mode has the frame's height and keeps the field rate, as 1080i at 60 Hz.
PreferredMode PreferredModeOf(const EdidBlocks& edid)
{
    PreferredMode mode;
    if (edid.size() < 72) {
        return mode;
    }
    const std::uint8_t* d = &edid[54];
    const unsigned clock10Khz = d[0] | static_cast<unsigned>(d[1]) << 8;
    const unsigned hActive = d[2] | (d[4] & 0xF0u) << 4;
    const unsigned hBlank = d[3] | (d[4] & 0x0Fu) << 8;
    const unsigned vActive = d[5] | (d[7] & 0xF0u) << 4;
    const unsigned vBlank = d[6] | (d[7] & 0x0Fu) << 8;
    const unsigned long total = static_cast<unsigned long>(hActive + hBlank) * (vActive + vBlank);
    if (clock10Khz == 0 || hActive == 0 || vActive == 0 || total == 0) {
        return mode;
    }
    mode.interlaced = (d[17] & 0x80) != 0;
    mode.width = hActive;
    mode.height = mode.interlaced ? 2 * vActive : vActive;
    mode.rate = static_cast<unsigned>((clock10Khz * 10000ul + total / 2) / total);
    return mode;
}

// What the adapter offers on the monitor's output: the common sizes that fit
// into its preferred one at 60 Hz, and the preferred size at its own rate.
machine::DisplayMode CurrentMode(const PreferredMode& preferred)
{
    machine::DisplayMode mode = Mode(32, preferred.width, preferred.height, preferred.rate);
    if (preferred.interlaced) {
        mode.flags = kDmInterlaced;
    }
    return mode;
}

std::vector<machine::DisplayMode> OutputModes(const PreferredMode& preferred)
{
    static const ModeSize kCommon[] = {{640, 480, {60}},   {800, 600, {60}},   {1024, 768, {60}},
                                       {1280, 720, {60}},  {1280, 1024, {60}}, {1600, 900, {60}},
                                       {1920, 1080, {60}}, {2560, 1440, {60}}, {3840, 2160, {60}}};
    std::vector<ModeSize> sizes;
    bool preferredListed = false;
    for (const ModeSize& size : kCommon) {
        if (size.width > preferred.width || size.height > preferred.height) {
            continue;
        }
        sizes.push_back(size);
        if (size.width == preferred.width && size.height == preferred.height) {
            preferredListed = true;
            if (preferred.rate != 60 && !preferred.interlaced) {
                sizes.back().rates.push_back(preferred.rate);
                std::sort(sizes.back().rates.begin(), sizes.back().rates.end());
            }
        }
    }
    std::vector<machine::DisplayMode> modes = ModeList(sizes, {32});
    if (!preferredListed || preferred.interlaced) {
        modes.push_back(CurrentMode(preferred));
    }
    return modes;
}

std::string ModelOf(const EdidBlocks& edid, int index)
{
    std::string why;
    const std::optional<std::string> model = layout::MonitorModelFromEdid(edid, why);
    if (!model) {
        throw std::invalid_argument("EDID block " + std::to_string(index + 1) + ": " + why);
    }
    return *model;
}

}  // namespace

machine::Machine RealMonitorMachine(const std::vector<EdidBlocks>& edids)
{
    const int monitors = static_cast<int>(edids.size());
    if (monitors == 0 || monitors > kCardCount * kRealMonitorOutputsPerAdapter) {
        throw std::invalid_argument("a real-monitor machine holds 1 to " +
                                    std::to_string(kCardCount * kRealMonitorOutputsPerAdapter) +
                                    " monitors");
    }
    const int adapters =
        (monitors + kRealMonitorOutputsPerAdapter - 1) / kRealMonitorOutputsPerAdapter;

    machine::Machine machine;
    machine.computer = "EDID-LAB-01";
    machine.zone = CentralEuropeanWinter();
    AddRootDevices(machine);
    std::vector<std::string> adapterIds;
    std::vector<std::string> guids;
    for (int adapter = 0; adapter < adapters; ++adapter) {
        const Card& card = kCards[adapter];
        const unsigned n = static_cast<unsigned>(adapter);
        const layout::IdLists ids =
            layout::PciIds(Pci(card.vendor, card.device, card.subsystem, card.revision, "030000"));
        const std::string instance =
            ids.hardware[0] + Format("\\4&%08X&0&00%02X", 0x1A2B3C4Du + n * 0x01010101u, 8 * n + 8);
        machine.devices.push_back(layout::DeviceNode(instance, ids.hardware, ids.compatible));
        layout::AddEnumKey(machine.registry, instance,
                           DriverPackageDescription(card.inf, card.device, card.name),
                           card.service, layout::Started());
        adapterIds.push_back(ids.hardware[0]);
        guids.push_back(Format("{%08X-3B7F-4E21-A8C5-61D0E4F7B3%02X}", 0x9D2A4C1Eu + n, n));
    }

    for (int index = 0; index < monitors; ++index) {
        const int adapter = index / kRealMonitorOutputsPerAdapter;
        const unsigned slot = static_cast<unsigned>(index % kRealMonitorOutputsPerAdapter);
        const Card& card = kCards[adapter];
        const std::string& guid = guids[static_cast<std::size_t>(adapter)];
        const EdidBlocks& edid = edids[static_cast<std::size_t>(index)];
        const unsigned number = static_cast<unsigned>(index + 1);
        const layout::Monitor monitor{
            ModelOf(edid, index),
            Format("5&%08X&0&UID%u", 0x2B3C4D5Eu + static_cast<unsigned>(adapter), 4352 + slot),
            number, edid};

        layout::AddDriverKey(machine.registry, guid, slot,
                             {card.name, card.bios, card.chip, card.dac, card.memory});
        layout::AddMonitorNode(machine, monitor, layout::MonitorValues::kAll);

        const PreferredMode preferred = PreferredModeOf(edid);
        const std::uint32_t state = index == 0 ? layout::kAttachedToDesktop | layout::kPrimaryDevice
                                               : layout::kAttachedToDesktop;
        machine::Output output =
            layout::OutputDevice(layout::OutputName(number), card.name, state,
                                 adapterIds[static_cast<std::size_t>(adapter)], guid, slot);
        output.current = CurrentMode(preferred);
        output.modes = OutputModes(preferred);
        output.monitors.push_back(layout::MonitorDevice(
            output.name, 0, monitor, layout::kGenericMonitorName,
            layout::kMonitorActive | layout::kMonitorAttached));
        machine.outputs.push_back(std::move(output));
    }
    return machine;
}

}  // namespace machinegen
