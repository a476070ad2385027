#include "tools/machinegen/BenchMachines.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "layout/DisplayLayout.h"
#include "tools/machinegen/MachineParts.h"
#include "tools/machinegen/MonitorModels.h"

namespace machinegen {

namespace {

Identity IdentityOf(int index)
{
    const unsigned n = static_cast<unsigned>(index);
    return Identity{0x1000 + n, 0x01010101u * (n % 200 + 1), Format("BM%04u%06X", n, n * 7919)};
}

// The monitor's plug-and-play identifier, "DEL1000"; four hexadecimal digits
// for every monitor, so that no identifier begins with another.
std::string ModelIdOf(int index)
{
    return layout::MonitorModelId(kMonitorModels[index % kMonitorModelCount].maker,
                                  IdentityOf(index).product);
}

constexpr int kOutputsPerAdapter = 4;

struct AdapterModel {
    const char* vendor;
    unsigned firstDevice;
    const char* subsystem;
    const char* revision;
    const char* name;
    const char* chip;
    const char* dac;
    const char* biosFormat;  // with the adapter's number; all of one length
    std::uint64_t memory;
    const char* service;
    const char* inf;
};

const AdapterModel kAdapterModels[] = {
    {"10DE", 0x2500, "397D1462", "A1", "NVIDIA GeForce RTX 3060", "NVIDIA GeForce RTX 3060",
     "Integrated RAMDAC", "Version94.06.2c.%02u.8f", 12ull << 30, "nvlddmkm", "oem21.inf"},
    {"1002", 0x73E0, "E4401DA2", "C7", "AMD Radeon RX 6600", "AMD Radeon Graphics Processor",
     "Internal DAC(400MHz)", "113-D5321100-%03u", 8ull << 30, "amdkmdag", "oem33.inf"},
    {"8086", 0x4680, "7D981462", "0C", "Intel(R) UHD Graphics 770", "Intel(R) UHD Graphics Family",
     "Internal", "Intel Video BIOS %02u", 1ull << 30, "igfx", "oem12.inf"},
    {"102B", 0x0530, "0754103C", "01", "Matrox G200eR2", "G200eR2", "Integrated DAC",
     "MGA G200eR PCI BIOS 4.6.%02u", 16ull << 20, "mtxuxd", "oem4.inf"},
};

std::vector<machine::DisplayMode> AdapterModes(int adapterModel)
{
    // The small server adapter lists 16-bit modes too and stops at 1280x1024.
    if (adapterModel == 3) {
        return ModeList({{640, 480, {60, 75}},
                         {800, 600, {56, 60, 75}},
                         {1024, 768, {60, 70, 75}},
                         {1280, 720, {60}},
                         {1280, 1024, {60, 75}}},
                        {16, 32});
    }
    return ModeList({{640, 480, {60, 75}},
                     {800, 600, {56, 60, 75}},
                     {1024, 768, {60, 70, 75}},
                     {1280, 720, {60}},
                     {1280, 1024, {60, 75}},
                     {1680, 1050, {60}},
                     {1920, 1080, {50, 60}},
                     {2560, 1440, {60, 144}},
                     {3840, 2160, {30, 60}}},
                    {32});
}

// The other devices of the machine, of the kinds a PC has in numbers:
// chipset functions, USB and HID devices, ACPI nodes, audio endpoints,
// software devices, volumes and disks. Some have no driver.
machine::Device FillerDevice(unsigned n, std::string& description, layout::NodeState& state)
{
    std::vector<std::string> hardware;
    std::vector<std::string> compatible;
    std::string instance;
    switch (n % 8) {
    case 0: {
        const std::string device = Format("%04X", 0x7A00 + n % 256);
        const layout::IdLists ids = layout::PciIds(Pci("8086", device, "7D981462", "11", "060400"));
        hardware = ids.hardware;
        compatible = ids.compatible;
        instance = hardware[0] + Format("\\3&11583659&0&%X", n);
        description = "@machine.inf,%pci\\cc_0604.devicedesc%;PCI Express Root Port";
        break;
    }
    case 1: {
        const std::string ids = Format("VID_%04X&PID_%04X", 0x046D + n % 64, 0xC000 + n % 4096);
        instance = "USB\\" + ids + Format("\\%u", n);
        hardware = {"USB\\" + ids + "&REV_0100", "USB\\" + ids};
        compatible = {"USB\\Class_03&SubClass_01&Prot_02", "USB\\Class_03&SubClass_01",
                      "USB\\Class_03"};
        description = "@input.inf,%hid.devicedesc%;USB Input Device";
        break;
    }
    case 2: {
        const std::string ids = Format("VID_%04X&PID_%04X&MI_00", 0x046D + n % 64, 0xC000 + n % 4096);
        instance = "HID\\" + ids + Format("\\7&%08X&0&0000", n * 2654435761u);
        hardware = {"HID\\" + ids.substr(0, 17) + "&REV_0100&MI_00", "HID\\" + ids,
                    "HID_DEVICE_SYSTEM_KEYBOARD", "HID_DEVICE_UP:0001_U:0006", "HID_DEVICE"};
        description = "@keyboard.inf,%hid.keyboarddevice%;HID Keyboard Device";
        break;
    }
    case 3:
        instance = Format("ACPI\\PNP0C0F\\%u", n);
        hardware = {"ACPI\\PNP0C0F", "*PNP0C0F"};
        description = "@machine.inf,%*pnp0c0f.devicedesc%;PCI Interrupt Link";
        break;
    case 4:
        instance = Format("SWD\\MMDEVAPI\\{0.0.0.00000000}.{%08x-51a2-4e33-9b07-%012x}", n, n);
        hardware = {"MMDEVAPI\\AudioEndpoints"};
        description = "@mmdevapi.inf,%mmdevapi.audioendpoint%;Audio Endpoint";
        break;
    case 5:
        instance = Format("ROOT\\SYSTEM\\%04u", n);
        hardware = {"root\\umbus"};
        description = "@umbus.inf,%umbus.devicedesc%;UMBus Root Bus Enumerator";
        break;
    case 6:
        instance = Format("STORAGE\\VOLUME\\{8C2B6E1A-0D4F-11EE-9A5B-806E6F6E6963}#%016X", n);
        hardware = {"STORAGE\\Volume"};
        description = "@volume.inf,%storage\\volume.devicedesc%;Volume";
        break;
    default:
        instance = Format("SCSI\\DISK&VEN_NVME&PROD_SAMSUNG_SSD_980\\5&%08X&0&%06X", n * 40503u, n);
        hardware = {"SCSI\\DiskNVMe____Samsung_SSD_980_1B4Q", "SCSI\\DiskNVMe____Samsung_SSD_980_",
                    "SCSI\\DiskNVMe____", "SCSI\\NVMe____Samsung_SSD_980_1",
                    "NVMe____Samsung_SSD_980_1", "GenDisk"};
        compatible = {"SCSI\\Disk", "SCSI\\RAW"};
        description = "@disk.inf,%disk_devdesc%;Disk drive";
        break;
    }
    state = n % 97 == 96 ? layout::StoppedWithProblem(layout::kProblemFailedInstall)
                         : layout::Started();
    return layout::DeviceNode(instance, hardware, compatible, state);
}

std::vector<int> MonitorsPerOutput(int monitors)
{
    std::vector<int> outputs;
    for (int placed = 0, n = 0; placed < monitors; ++n) {
        const int count = std::min(n % 4 + 1, monitors - placed);
        outputs.push_back(count);
        placed += count;
    }
    return outputs;
}

std::string AdapterGuid(int adapter)
{
    return Format("{%08X-F2F2-4F3B-85BB-%012X}", 0x5B45201Du + static_cast<unsigned>(adapter),
                  0x30FF1F95u + static_cast<unsigned>(adapter));
}

}  // namespace

EdidBlocks MonitorEdid(int index)
{
    return kMonitorModels[index % kMonitorModelCount].edid(IdentityOf(index));
}

std::vector<EdidBlocks> SampleEdids()
{
    std::vector<EdidBlocks> samples;
    for (int model = 0; model < kMonitorModelCount; ++model) {
        samples.push_back(MonitorEdid(model));
    }
    return samples;
}

Shape ShapeOf(int monitors, int devices)
{
    const int outputs = static_cast<int>(MonitorsPerOutput(monitors).size());
    const int adapters = (outputs + kOutputsPerAdapter - 1) / kOutputsPerAdapter;
    return Shape{monitors, outputs, adapters, devices};
}

machine::Machine GenerateMachine(int monitors, int devices)
{
    const std::vector<int> perOutput = MonitorsPerOutput(monitors);
    const Shape shape = ShapeOf(monitors, devices);
    if (devices < shape.adapters + monitors) {
        throw std::invalid_argument("fewer devices than adapters and monitors");
    }

    machine::Machine machine;
    machine.computer = "BENCH-0001";
    machine.zone = CentralEuropeanWinter();
    std::vector<machine::Device> adapterDevices;
    std::vector<machine::Device> monitorDevices;

    int monitor = 0;
    for (int output = 0; output < shape.outputs; ++output) {
        const int adapter = output / kOutputsPerAdapter;
        const unsigned slot = static_cast<unsigned>(output % kOutputsPerAdapter);
        const int adapterModel = adapter % 4;
        const AdapterModel& a = kAdapterModels[adapterModel];
        const std::string device = Format("%04X", a.firstDevice + static_cast<unsigned>(adapter));
        const layout::IdLists ids =
            layout::PciIds(Pci(a.vendor, device, a.subsystem, a.revision, "030000"));
        const std::string guid = AdapterGuid(adapter);

        if (slot == 0) {
            const std::string instance =
                ids.hardware[0] +
                Format("\\4&1A2B3C4D&0&00%02X", 0x19 + static_cast<unsigned>(adapter));
            adapterDevices.push_back(layout::DeviceNode(instance, ids.hardware, ids.compatible));
            layout::AddEnumKey(machine.registry, instance,
                               DriverPackageDescription(a.inf, device, a.name),
                               a.service, layout::Started());
        }
        layout::AddDriverKey(machine.registry, guid, slot,
                             {a.name, Format(a.biosFormat, static_cast<unsigned>(adapter)), a.chip,
                              a.dac, a.memory});

        machine::Output entry = layout::OutputDevice(
            layout::OutputName(static_cast<unsigned>(output + 1)), a.name,
            output == 0 ? layout::kAttachedToDesktop | layout::kPrimaryDevice
                        : layout::kAttachedToDesktop,
            ids.hardware[0], guid, slot);
        entry.current = Mode(32, 1920, 1080, 60);
        entry.modes = AdapterModes(adapterModel);
        for (int m = 0; m < perOutput[static_cast<std::size_t>(output)]; ++m, ++monitor) {
            const unsigned number = static_cast<unsigned>(monitor + 1);
            const layout::Monitor placed{ModelIdOf(monitor), Format("5&2B3C4D5E&0&UID%u", 4352 + number),
                                         number, MonitorEdid(monitor)};
            entry.monitors.push_back(layout::MonitorDevice(
                entry.name, static_cast<unsigned>(m), placed,
                kMonitorModels[monitor % kMonitorModelCount].friendlyName,
                layout::kMonitorActive | layout::kMonitorAttached));
            // The node is placed among the fillers below; only its keys go here.
            machine::Machine node;
            layout::AddMonitorNode(node, placed, layout::MonitorValues::kLookedUp);
            monitorDevices.push_back(node.devices.front());
            for (const machine::RegistryKey& key : node.registry.Keys()) {
                machine.registry.Add(key);
            }
        }
        machine.outputs.push_back(std::move(entry));
    }

    // The adapters and monitors spread evenly among the other devices.
    const int special = shape.adapters + monitors;
    const int fillers = devices - special;
    int filler = 0;
    int placed = 0;
    for (int position = 0; position < devices; ++position) {
        const bool placeSpecial =
            placed < special &&
            static_cast<long long>(position) * special >= static_cast<long long>(placed) * devices;
        if (placeSpecial || filler == fillers) {
            machine.devices.push_back(
                placed < shape.adapters
                    ? adapterDevices[static_cast<std::size_t>(placed)]
                    : monitorDevices[static_cast<std::size_t>(placed - shape.adapters)]);
            ++placed;
            continue;
        }
        std::string description;
        layout::NodeState state;
        machine::Device device = FillerDevice(static_cast<unsigned>(filler), description, state);
        layout::AddEnumKey(machine.registry, device.instance, description, "", state);
        machine.devices.push_back(std::move(device));
        ++filler;
    }
    return machine;
}

}  // namespace machinegen
