#include "tools/machinegen/ExampleMachines.h"

#include "tools/machinegen/MachineText.h"
#include "tools/machinegen/MonitorModels.h"

namespace machinegen {

namespace {

// A monitor of the examples: its model, identity and device instance.
struct ExampleMonitor {
    int model;  // index into kMonitorModels
    Identity identity;
    const char* instance;  // below DISPLAY\<pnpId>
    unsigned number;       // its driver key under the monitor class

    const MonitorModel& Model() const { return kMonitorModels[model]; }
    std::string PnpIdText() const { return PnpId(Model().maker, identity.product); }
    EdidBlocks Edid() const { return Model().edid(identity); }
};

// The model indices in kMonitorModels.
constexpr int kDellUhd = 0;
constexpr int kLgDvi = 1;
constexpr int kSamsungAnalog = 2;
constexpr int kBoePanel = 3;
constexpr int kHpHdmi = 4;

Json RootDevices()
{
    return Json::array({DeviceEntry("ACPI\\PNP0A08\\0", {"ACPI\\PNP0A08", "*PNP0A08"},
                                    {"ACPI\\PNP0A03", "*PNP0A03"}),
                        DeviceEntry("ROOT\\BasicRender\\0000", {"ROOT\\BasicRender"}, {})});
}

// The output's entry for the monitor, as the monitor's first.
Json MonitorOf(const std::string& outputName, const ExampleMonitor& monitor)
{
    return Json::array({MonitorEntry(outputName, 0, monitor.PnpIdText(), monitor.number,
                                     monitor.Model().friendlyName)});
}

void AddMonitor(Json& registry, Json& devices, const ExampleMonitor& monitor)
{
    AddMonitorKeys(registry, monitor.PnpIdText(), monitor.instance, monitor.number, monitor.Edid(),
                   MonitorValues::kAllValues);
    devices.push_back(MonitorDevice(monitor.PnpIdText(), monitor.instance));
}

// An output on the desktop with its mode, the modes it offers and its monitor.
Json DesktopOutput(Json output, const Json& currentMode, const Json& modes, const Json& monitors)
{
    output["currentMode"] = currentMode;
    output["modes"] = modes;
    output["monitors"] = monitors;
    return output;
}

}  // namespace

Json Workstation()
{
    const std::string nvidiaGuid = "{5B45201D-F2F2-4F3B-85BB-30FF1F953599}";
    const std::string matroxGuid = "{9D2A4C1E-3B7F-4E21-A8C5-61D0E4F7B382}";
    const PciIdLists nvidia = PciIds("10DE", "2504", "397D1462", "A1", "030000");
    const PciIdLists audio = PciIds("10DE", "228E", "397D1462", "A1", "040300");
    const PciIdLists matrox = PciIds("102B", "0534", "0754103C", "01", "030000");
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

    Json registry = Json::object();
    const Json nvidiaDriver = DriverKey("NVIDIA GeForce RTX 3060", "Version94.06.2c.00.8f",
                                        "NVIDIA GeForce RTX 3060", "Integrated RAMDAC", 12ull << 30);
    for (unsigned index = 0; index < 3; ++index) {
        registry[VideoKey(nvidiaGuid, index)] = nvidiaDriver;
    }
    registry[VideoKey(matroxGuid, 0)] = DriverKey(
        "Matrox G200eR2", "MGA G200eR PCI BIOS 4.6.4", "G200eR2", "Integrated DAC", 16ull << 20);
    AddAdapterEnumKey(registry, nvidiaInstance,
                      "@oem21.inf,%nvidia_dev.2504%;NVIDIA GeForce RTX 3060", "nvlddmkm");
    AddAdapterEnumKey(registry, matroxInstance, "@oem4.inf,%mtx_g200er2%;Matrox G200eR2",
                      "mtxuxd");

    Json devices = RootDevices();
    devices.push_back(DeviceEntry(nvidiaInstance, nvidia.hardware, nvidia.compatible));
    devices.push_back(DeviceEntry(
        "PCI\\VEN_10DE&DEV_228E&SUBSYS_397D1462&REV_A1\\4&1A2B3C4D&0&0119", audio.hardware,
        audio.compatible));
    devices.push_back(DeviceEntry(matroxInstance, matrox.hardware, matrox.compatible,
                                  kStoppedWithProblem, kProblemFailedPostStart));
    for (const ExampleMonitor* monitor : {&dell, &lg, &samsung}) {
        AddMonitor(registry, devices, *monitor);
    }

    const Json nvidiaModes = ModeList({{640, 480, {60, 75}},
                                       {800, 600, {60, 75}},
                                       {1024, 768, {60, 75}},
                                       {1280, 720, {60}},
                                       {1920, 1080, {50, 60}},
                                       {2560, 1440, {60}},
                                       {3840, 2160, {30, 60}}},
                                      {32});
    const Json lgModes =
        ModeList({{640, 480, {60}}, {1280, 1024, {60}}, {1680, 1050, {60}}, {1920, 1080, {50, 60}}},
                 {32});
    const Json matroxModes = ModeList(
        {{640, 480, {60, 75}}, {800, 600, {60, 75}}, {1024, 768, {60, 75}}, {1280, 1024, {60, 75}}},
        {16, 32});
    const char* const nvidiaName = "NVIDIA GeForce RTX 3060";
    const Json displayDevices = Json::array(
        {DesktopOutput(DisplayDevice("\\\\.\\DISPLAY1", nvidiaName,
                                     kAttachedToDesktop | kPrimaryDevice, nvidiaId,
                                     DeviceKey(nvidiaGuid, 0)),
                       Mode(32, 3840, 2160, 60), nvidiaModes, MonitorOf("\\\\.\\DISPLAY1", dell)),
         DesktopOutput(DisplayDevice("\\\\.\\DISPLAY2", nvidiaName, kAttachedToDesktop, nvidiaId,
                                     DeviceKey(nvidiaGuid, 1)),
                       Mode(32, 1920, 1080, 60), lgModes, MonitorOf("\\\\.\\DISPLAY2", lg)),
         DisplayDevice("\\\\.\\DISPLAY3", nvidiaName, 0, nvidiaId, DeviceKey(nvidiaGuid, 2)),
         DesktopOutput(DisplayDevice("\\\\.\\DISPLAY4", "Matrox G200eR2", kAttachedToDesktop,
                                     matroxId, DeviceKey(matroxGuid, 0)),
                       Mode(32, 1280, 1024, 60), matroxModes,
                       MonitorOf("\\\\.\\DISPLAY4", samsung))});

    return Json{{"computerName", "WS-0042"},
                {"timeZone", TimeZone(1, -60, 0, -60)},
                {"displayDevices", displayDevices},
                {"devices", devices},
                {"registry", registry}};
}

Json Laptop()
{
    const std::string intelGuid = "{7A4E2C19-0B3D-4F6A-9E81-2D5C7B3F1A60}";
    const PciIdLists intel = PciIds("8086", "9A49", "0A7C1028", "01", "030000");
    const std::string intelId = intel.hardware[0];
    const std::string intelInstance = intelId + "\\3&11583659&0&10";
    const char* const intelName = "Intel(R) Iris(R) Xe Graphics";

    // The internal eDP panel and the external HDMI monitor.
    const ExampleMonitor panel{kBoePanel, {0x0868, 0, ""}, "4&2B1A3C4D&0&UID8388688", 1};
    const ExampleMonitor hp{kHpHdmi, {0x3674, 0x01010101, "CNK2231XYZ"}, "4&2B1A3C4D&0&UID41281",
                            2};

    Json registry = Json::object();
    const Json intelDriver = DriverKey(intelName, "Intel Video BIOS",
                                       "Intel(R) Iris(R) Xe Graphics Family", "Internal", 1ull << 30);
    registry[VideoKey(intelGuid, 0)] = intelDriver;
    registry[VideoKey(intelGuid, 1)] = intelDriver;
    AddAdapterEnumKey(registry, intelInstance, "@oem7.inf,%iTGLGT2%;Intel(R) Iris(R) Xe Graphics",
                      "igfxn");

    Json devices = RootDevices();
    devices.push_back(DeviceEntry(intelInstance, intel.hardware, intel.compatible));
    for (const ExampleMonitor* monitor : {&panel, &hp}) {
        AddMonitor(registry, devices, *monitor);
    }

    const Json displayDevices = Json::array(
        {DesktopOutput(
             DisplayDevice("\\\\.\\DISPLAY1", intelName, kAttachedToDesktop | kPrimaryDevice,
                           intelId, DeviceKey(intelGuid, 0)),
             Mode(32, 1920, 1080, 60),
             ModeList({{640, 480, {60}}, {1280, 720, {60}}, {1920, 1080, {48, 60}}}, {8, 16, 32}),
             MonitorOf("\\\\.\\DISPLAY1", panel)),
         DesktopOutput(DisplayDevice("\\\\.\\DISPLAY2", intelName, kAttachedToDesktop, intelId,
                                     DeviceKey(intelGuid, 1)),
                       Mode(32, 1920, 1080, 60),
                       ModeList({{640, 480, {60}},
                                 {1280, 1024, {60, 75}},
                                 {1680, 1050, {60}},
                                 {1920, 1080, {50, 60}}},
                                {32}),
                       MonitorOf("\\\\.\\DISPLAY2", hp))});

    return Json{{"computerName", "LT-0815"},
                {"displayDevices", displayDevices},
                {"devices", devices},
                {"registry", registry}};
}

std::vector<std::pair<std::string, std::string>> ExampleFiles()
{
    return {{"workstation.json", MachineText(Workstation())},
            {"laptop.json", MachineText(Laptop())}};
}

}  // namespace machinegen
