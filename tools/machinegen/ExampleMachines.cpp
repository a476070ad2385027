#include "tools/machinegen/ExampleMachines.h"

#include "layout/DisplayLayout.h"
#include "machine/DescriptionCodec.h"
#include "tools/machinegen/MachineParts.h"
#include "tools/machinegen/MonitorModels.h"

namespace machinegen {

namespace {

using layout::kAttachedToDesktop;
using layout::kMonitorActive;
using layout::kMonitorAttached;
using layout::kPrimaryDevice;

// A monitor of the examples: its model, identity and device instance.
struct ExampleMonitor {
    int model;  // index into kMonitorModels
    Identity identity;
    const char* instance;  // below DISPLAY\<model>
    unsigned number;       // its driver key under the monitor class

    const MonitorModel& Model() const { return kMonitorModels[model]; }
    layout::Monitor Layout() const
    {
        return layout::Monitor{layout::MonitorModelId(Model().maker, identity.product), instance,
                               number, Model().edid(identity)};
    }
};

// The model indices in kMonitorModels.
constexpr int kDellUhd = 0;
constexpr int kLgDvi = 1;
constexpr int kSamsungAnalog = 2;
constexpr int kBoePanel = 3;
constexpr int kHpHdmi = 4;

// An output on the desktop with its mode, the modes it offers and its monitor.
machine::Output DesktopOutput(machine::Output output, const machine::DisplayMode& current,
                              std::vector<machine::DisplayMode> modes,
                              const ExampleMonitor& monitor)
{
    output.current = current;
    output.modes = std::move(modes);
    output.monitors.push_back(layout::MonitorDevice(output.name, 0, monitor.Layout(),
                                                    monitor.Model().friendlyName,
                                                    kMonitorActive | kMonitorAttached));
    return output;
}

}  // namespace

machine::Machine Workstation()
{
    const std::string nvidiaGuid = "{5B45201D-F2F2-4F3B-85BB-30FF1F953599}";
    const std::string matroxGuid = "{9D2A4C1E-3B7F-4E21-A8C5-61D0E4F7B382}";
    const layout::IdLists nvidia = layout::PciIds(Pci("10DE", "2504", "397D1462", "A1", "030000"));
    const layout::IdLists audio = layout::PciIds(Pci("10DE", "228E", "397D1462", "A1", "040300"));
    const layout::IdLists matrox = layout::PciIds(Pci("102B", "0534", "0754103C", "01", "030000"));
    const std::string nvidiaId = nvidia.hardware[0];
    const std::string matroxId = matrox.hardware[0];
    const std::string nvidiaInstance = nvidiaId + "\\4&1A2B3C4D&0&0019";
    const std::string matroxInstance = matroxId + "\\4&2F3A1B2C&0&00E4";

    // The DisplayPort monitor, the DVI monitor (both on the NVIDIA card) and
    // the VGA monitor on the Matrox BMC adapter.
    const ExampleMonitor dell{kDellUhd, {0x40F2, 0x4C4B3230, "7RQNT23", 597, 336},
                              "5&2B3C4D5E&0&UID4352", 1};
    const ExampleMonitor lg{kLgDvi, {0x5B7F, 0x0001F4B2, "211NDBW1X458", 598, 336},
                            "5&2B3C4D5E&0&UID4353", 2};
    const ExampleMonitor samsung{kSamsungAnalog, {0x02A5, 0x48565350, "HVHP700123"},
                                 "5&1C2D3E4F&0&UID0", 3};

    machine::Machine machine;
    machine.computer = "WS-0042";
    machine.zone = CentralEuropeanWinter();

    const char* const nvidiaName = "NVIDIA GeForce RTX 3060";
    const layout::DriverValues nvidiaDriver{nvidiaName, "Version94.06.2c.00.8f", nvidiaName,
                                            "Integrated RAMDAC", 12ull << 30};
    for (unsigned index = 0; index < 3; ++index) {
        layout::AddDriverKey(machine.registry, nvidiaGuid, index, nvidiaDriver);
    }
    layout::AddDriverKey(machine.registry, matroxGuid, 0,
                         {"Matrox G200eR2", "MGA G200eR PCI BIOS 4.6.4", "G200eR2",
                          "Integrated DAC", 16ull << 20});
    const layout::NodeState failed =
        layout::StoppedWithProblem(layout::kProblemFailedPostStart);
    layout::AddEnumKey(machine.registry, nvidiaInstance,
                       "@oem21.inf,%nvidia_dev.2504%;NVIDIA GeForce RTX 3060", "nvlddmkm",
                       layout::Started());
    layout::AddEnumKey(machine.registry, matroxInstance, "@oem4.inf,%mtx_g200er2%;Matrox G200eR2",
                       "mtxuxd", failed);

    AddRootDevices(machine);
    machine.devices.push_back(layout::DeviceNode(nvidiaInstance, nvidia.hardware, nvidia.compatible));
    machine.devices.push_back(layout::DeviceNode(
        "PCI\\VEN_10DE&DEV_228E&SUBSYS_397D1462&REV_A1\\4&1A2B3C4D&0&0119", audio.hardware,
        audio.compatible));
    machine.devices.push_back(
        layout::DeviceNode(matroxInstance, matrox.hardware, matrox.compatible, failed));
    for (const ExampleMonitor* monitor : {&dell, &lg, &samsung}) {
        layout::AddMonitorNode(machine, monitor->Layout(), layout::MonitorValues::kAll);
    }

    const std::vector<machine::DisplayMode> nvidiaModes = ModeList({{640, 480, {60, 75}},
                                                                    {800, 600, {60, 75}},
                                                                    {1024, 768, {60, 75}},
                                                                    {1280, 720, {60}},
                                                                    {1920, 1080, {50, 60}},
                                                                    {2560, 1440, {60}},
                                                                    {3840, 2160, {30, 60}}},
                                                                   {32});
    const std::vector<machine::DisplayMode> lgModes =
        ModeList({{640, 480, {60}}, {1280, 1024, {60}}, {1680, 1050, {60}}, {1920, 1080, {50, 60}}},
                 {32});
    const std::vector<machine::DisplayMode> matroxModes = ModeList(
        {{640, 480, {60, 75}}, {800, 600, {60, 75}}, {1024, 768, {60, 75}}, {1280, 1024, {60, 75}}},
        {16, 32});
    machine.outputs = {
        DesktopOutput(layout::OutputDevice(layout::OutputName(1), nvidiaName,
                                           kAttachedToDesktop | kPrimaryDevice, nvidiaId,
                                           nvidiaGuid, 0),
                      Mode(32, 3840, 2160, 60), nvidiaModes, dell),
        DesktopOutput(layout::OutputDevice(layout::OutputName(2), nvidiaName, kAttachedToDesktop,
                                           nvidiaId, nvidiaGuid, 1),
                      Mode(32, 1920, 1080, 60), lgModes, lg),
        layout::OutputDevice(layout::OutputName(3), nvidiaName, 0, nvidiaId, nvidiaGuid, 2),
        DesktopOutput(layout::OutputDevice(layout::OutputName(4), "Matrox G200eR2",
                                           kAttachedToDesktop, matroxId, matroxGuid, 0),
                      Mode(32, 1280, 1024, 60), matroxModes, samsung)};
    return machine;
}

machine::Machine Laptop()
{
    const std::string intelGuid = "{7A4E2C19-0B3D-4F6A-9E81-2D5C7B3F1A60}";
    const layout::IdLists intel = layout::PciIds(Pci("8086", "9A49", "0A7C1028", "01", "030000"));
    const std::string intelId = intel.hardware[0];
    const std::string intelInstance = intelId + "\\3&11583659&0&10";
    const char* const intelName = "Intel(R) Iris(R) Xe Graphics";

    // The internal eDP panel and the external HDMI monitor.
    const ExampleMonitor panel{kBoePanel, {0x0868, 0, ""}, "4&2B1A3C4D&0&UID8388688", 1};
    const ExampleMonitor hp{kHpHdmi, {0x3674, 0x01010101, "CNK2231XYZ"}, "4&2B1A3C4D&0&UID41281",
                            2};

    machine::Machine machine;
    machine.computer = "LT-0815";
    const layout::DriverValues intelDriver{intelName, "Intel Video BIOS",
                                           "Intel(R) Iris(R) Xe Graphics Family", "Internal",
                                           1ull << 30};
    layout::AddDriverKey(machine.registry, intelGuid, 0, intelDriver);
    layout::AddDriverKey(machine.registry, intelGuid, 1, intelDriver);
    layout::AddEnumKey(machine.registry, intelInstance,
                       "@oem7.inf,%iTGLGT2%;Intel(R) Iris(R) Xe Graphics", "igfxn",
                       layout::Started());

    AddRootDevices(machine);
    machine.devices.push_back(layout::DeviceNode(intelInstance, intel.hardware, intel.compatible));
    for (const ExampleMonitor* monitor : {&panel, &hp}) {
        layout::AddMonitorNode(machine, monitor->Layout(), layout::MonitorValues::kAll);
    }

    machine.outputs = {
        DesktopOutput(
            layout::OutputDevice(layout::OutputName(1), intelName,
                                 kAttachedToDesktop | kPrimaryDevice, intelId, intelGuid, 0),
            Mode(32, 1920, 1080, 60),
            ModeList({{640, 480, {60}}, {1280, 720, {60}}, {1920, 1080, {48, 60}}}, {8, 16, 32}),
            panel),
        DesktopOutput(layout::OutputDevice(layout::OutputName(2), intelName, kAttachedToDesktop,
                                           intelId, intelGuid, 1),
                      Mode(32, 1920, 1080, 60),
                      ModeList({{640, 480, {60}},
                                {1280, 1024, {60, 75}},
                                {1680, 1050, {60}},
                                {1920, 1080, {50, 60}}},
                               {32}),
                      hp)};
    return machine;
}

std::vector<std::pair<std::string, std::string>> ExampleFiles()
{
    return {{"workstation.json", machine::WriteDescription(Workstation())},
            {"laptop.json", machine::WriteDescription(Laptop())}};
}

}  // namespace machinegen
