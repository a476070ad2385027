#include "layout/DisplayLayout.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "machine/TextCodec.h"

namespace layout {

namespace {

// The setup class of monitors, which names their driver keys.
const char kMonitorClass[] = "{4d36e96e-e325-11ce-bfc1-08002be10318}";
const char kVideoKey[] = "System\\CurrentControlSet\\Control\\Video\\";
const char kClassKey[] = "System\\CurrentControlSet\\Control\\Class\\";
// The window system names registry keys by their kernel path.
const char kKernelPrefix[] = "\\Registry\\Machine\\";
// What Windows' monitor driver package (monitor.inf) writes.
const char kMonitorDescription[] = "@monitor.inf,%pnpmonitor.devicedesc%;";
const char kNonPnpMonitorDescription[] = "@monitor.inf,%nonpnpmonitor.devicedesc%;";
const char kMonitorMaker[] = "@monitor.inf,%generic%;(Standard monitor types)";
const char kMonitorCompatibleId[] = "*PNP09FF";
const char kMonitorService[] = "monitor";
// The 32-bit memory size of cards whose memory it cannot hold.
constexpr std::uint64_t kLargeMemorySize = 0xFFF00000;

std::string FourDigits(unsigned n)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04u", n);
    return text;
}

std::string DriverKeyPath(const std::string& guid, unsigned index)
{
    return kVideoKey + guid + "\\" + FourDigits(index);
}

std::string MonitorDriver(unsigned number)
{
    return std::string(kMonitorClass) + "\\" + FourDigits(number);
}

machine::RegistryValue Utf16Value(const std::string& name, const std::string& text)
{
    return BinaryValue(name, textcodec::AnsiToUtf16(text));
}

}  // namespace

void AddDriverKey(machine::Registry& registry, const std::string& guid, unsigned index,
                  const DriverValues& values)
{
    machine::RegistryKey& key = registry.Key(DriverKeyPath(guid, index));
    key.Set(TextValue("DriverDesc", values.description));
    key.Set(Utf16Value("HardwareInformation.AdapterString", values.description));
    if (values.bios) {
        key.Set(Utf16Value("HardwareInformation.BiosString", *values.bios));
    }
    if (values.chip) {
        key.Set(Utf16Value("HardwareInformation.ChipType", *values.chip));
    }
    if (values.dac) {
        key.Set(Utf16Value("HardwareInformation.DacType", *values.dac));
    }
    if (values.memory) {
        key.Set(NumberValue("HardwareInformation.MemorySize", machine::kRegBinary,
                            std::min(*values.memory, kLargeMemorySize), 4));
        key.Set(NumberValue("HardwareInformation.qwMemorySize", machine::kRegQword,
                            *values.memory, 8));
    }
}

std::string OutputName(unsigned number)
{
    return "\\\\.\\DISPLAY" + std::to_string(number);
}

machine::Output OutputDevice(const std::string& name, const std::string& description,
                             std::uint32_t flags, const std::string& hardwareId,
                             const std::string& guid, unsigned index)
{
    machine::Output output;
    output.name = name;
    output.description = description;
    output.flags = flags;
    output.id = hardwareId;
    output.key = kKernelPrefix + DriverKeyPath(guid, index);
    return output;
}

std::string MonitorModelId(const std::string& manufacturer, unsigned product)
{
    char code[8];
    std::snprintf(code, sizeof code, "%04X", product & 0xFFFFu);
    return manufacturer + code;
}

std::optional<std::string> MonitorModelFromEdid(const Bytes& edid, std::string& why)
{
    static const std::uint8_t kHeader[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    if (edid.size() < 128) {
        why = "the EDID has " + std::to_string(edid.size()) +
              " bytes, fewer than the 128 of its base block";
        return std::nullopt;
    }
    if (!std::equal(std::begin(kHeader), std::end(kHeader), edid.begin())) {
        why = "the EDID does not start with the EDID header";
        return std::nullopt;
    }
    // Bytes 8-9, big-endian: three letters of five bits each, 1 = 'A'.
    const unsigned letters = static_cast<unsigned>(edid[8]) << 8 | edid[9];
    std::string manufacturer;
    for (int shift : {10, 5, 0}) {
        manufacturer.push_back(static_cast<char>('@' + ((letters >> shift) & 0x1F)));
    }
    // Bytes 10-11, little-endian.
    return MonitorModelId(manufacturer, static_cast<unsigned>(edid[11]) << 8 | edid[10]);
}

std::string MonitorInstanceId(const Monitor& monitor)
{
    return "DISPLAY\\" + monitor.model + "\\" + monitor.instance;
}

Monitor MonitorWithoutEdid(const std::string& instance, unsigned number)
{
    return Monitor{kDefaultMonitorModel, instance, number, Bytes{}};
}

void AddMonitorNode(machine::Machine& machine, const Monitor& monitor, MonitorValues values)
{
    const bool all = values == MonitorValues::kAll;
    // A monitor without EDID is no plug-and-play monitor: no compatible ID.
    const bool plugAndPlay = monitor.model != kDefaultMonitorModel;
    const std::string hardwareId = "MONITOR\\" + monitor.model;
    const std::string instanceId = MonitorInstanceId(monitor);
    machine.devices.push_back(DeviceNode(instanceId, {hardwareId},
                                         plugAndPlay ? machine::IdList{kMonitorCompatibleId}
                                                     : machine::IdList{}));

    machine::RegistryKey& key = machine.registry.Key(kEnumKey + instanceId);
    key.Set(TextValue("DeviceDesc", plugAndPlay ? kMonitorDescription + std::string(kGenericMonitorName)
                                                : kNonPnpMonitorDescription +
                                                      std::string(kNonPnpMonitorName)));
    if (all) {
        key.Set(TextValue("Mfg", kMonitorMaker));
    }
    key.Set(MultiTextValue("HardwareID", {hardwareId}));
    if (all && plugAndPlay) {
        key.Set(MultiTextValue("CompatibleIDs", {kMonitorCompatibleId}));
    }
    if (all) {
        key.Set(TextValue("ClassGUID", kMonitorClass));
    }
    key.Set(TextValue("Driver", MonitorDriver(monitor.number)));
    key.Set(TextValue("Service", kMonitorService));
    if (all) {
        key.Set(DwordValue("ConfigFlags", 0));
    }
    machine::RegistryKey& parameters =
        machine.registry.Key(kEnumKey + instanceId + "\\Device Parameters");
    if (monitor.edid) {
        parameters.Set(BinaryValue("EDID", *monitor.edid));
    }
}

machine::DisplayDevice MonitorDevice(const std::string& outputName, unsigned index,
                                     const Monitor& monitor, const std::string& description,
                                     std::uint32_t flags)
{
    machine::DisplayDevice device;
    device.name = outputName + "\\Monitor" + std::to_string(index);
    device.description = description;
    device.flags = flags;
    device.id = "MONITOR\\" + monitor.model + "\\" + MonitorDriver(monitor.number);
    device.key = kKernelPrefix + std::string(kClassKey) + MonitorDriver(monitor.number);
    return device;
}

void AddAdapter(machine::Machine& machine, const AdapterSpec& adapter)
{
    auto taken = [&machine](const std::string& instanceId) {
        return std::any_of(machine.devices.begin(), machine.devices.end(),
                           [&instanceId](const machine::Device& device) {
                               return machine::EqualsFolded(device.instance, instanceId);
                           });
    };
    if (!taken(adapter.instanceId)) {
        machine.devices.push_back(DeviceNode(adapter.instanceId, adapter.ids.hardware,
                                             adapter.ids.compatible, adapter.state));
        AddEnumKey(machine.registry, adapter.instanceId, adapter.enumDescription,
                   adapter.service, adapter.state);
    }
    const std::string hardwareId = adapter.ids.hardware.empty() ? "" : adapter.ids.hardware[0];
    for (const OutputSpec& spec : adapter.outputs) {
        AddDriverKey(machine.registry, adapter.guid, spec.index, adapter.driver);
        const unsigned number = static_cast<unsigned>(machine.outputs.size()) + 1;
        machine::Output output = OutputDevice(OutputName(number), adapter.driver.description,
                                              spec.flags, hardwareId, adapter.guid, spec.index);
        output.current = spec.current;
        output.modes = spec.modes;
        for (const MonitorSpec& monitor : spec.monitors) {
            if (taken(MonitorInstanceId(monitor.monitor))) {
                throw std::invalid_argument("the monitor instance ID " +
                                            MonitorInstanceId(monitor.monitor) + " is taken");
            }
            AddMonitorNode(machine, monitor.monitor, MonitorValues::kAll);
            const auto index = static_cast<unsigned>(output.monitors.size());
            output.monitors.push_back(
                MonitorDevice(output.name, index, monitor.monitor, monitor.description,
                              monitor.active ? kMonitorActive | kMonitorAttached
                                             : kMonitorAttached));
        }
        machine.outputs.push_back(std::move(output));
    }
}

}  // namespace layout
