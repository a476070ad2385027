#include "layout/DeviceNodes.h"

#include <cstdio>

#include "machine/TextCodec.h"

namespace layout {

namespace {

// Device node status bits (cfg.h) of a device stopped with a problem.
constexpr std::uint32_t kDnHasProblem = 0x00000400;
constexpr std::uint32_t kDnDisableable = 0x00002000;
constexpr std::uint32_t kDnNtEnumerator = 0x00800000;
constexpr std::uint32_t kDnNtDriver = 0x01000000;
constexpr std::uint32_t kStoppedWithProblem =
    kDnHasProblem | kDnDisableable | kDnNtEnumerator | kDnNtDriver;
// ConfigFlags of a device whose driver could not be installed.
constexpr std::uint32_t kConfigFlagFailedInstall = 0x00000040;

std::string Hex(const char* format, unsigned a, unsigned b = 0)
{
    char text[32];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

std::string VendorDevice(const PciIdentity& id)
{
    return Hex("PCI\\VEN_%04X&DEV_%04X", id.vendor, id.device);
}

}  // namespace

NodeState Started()
{
    return NodeState{};
}

NodeState StoppedWithProblem(std::uint32_t problem)
{
    return NodeState{kStoppedWithProblem, problem};
}

machine::Device DeviceNode(const std::string& instanceId, const machine::IdList& hardware,
                           const machine::IdList& compatible, NodeState state)
{
    machine::Device device;
    device.instance = instanceId;
    if (!hardware.empty()) {
        device.hardware = hardware;
    }
    if (!compatible.empty()) {
        device.compatible = compatible;
    }
    device.status = state.status;
    device.problem = state.problem;
    return device;
}

std::string PciHardwareId(const PciIdentity& id)
{
    return VendorDevice(id) + Hex("&SUBSYS_%04X%04X", id.subsystemDevice, id.subsystemVendor) +
           Hex("&REV_%02X", id.revision);
}

IdLists PciIds(const PciIdentity& id)
{
    const std::string base = VendorDevice(id);
    const std::string vendor = Hex("PCI\\VEN_%04X", id.vendor);
    IdLists ids;
    ids.hardware = {PciHardwareId(id),
                    base + Hex("&SUBSYS_%04X%04X", id.subsystemDevice, id.subsystemVendor)};
    ids.compatible = {base + Hex("&REV_%02X", id.revision), base};
    if (id.classCode) {
        const std::string full = Hex("CC_%06X", *id.classCode);
        const std::string shortened = Hex("CC_%04X", *id.classCode >> 8);
        ids.hardware.push_back(base + "&" + full);
        ids.hardware.push_back(base + "&" + shortened);
        ids.compatible.push_back(vendor + "&" + full);
        ids.compatible.push_back(vendor + "&" + shortened);
        ids.compatible.push_back(vendor);
        ids.compatible.push_back("PCI\\" + full);
        ids.compatible.push_back("PCI\\" + shortened);
    } else {
        ids.compatible.push_back(vendor);
    }
    return ids;
}

IdLists UsbIds(const UsbIdentity& id)
{
    const std::string device = Hex("USB\\VID_%04X&PID_%04X", id.vendor, id.product);
    const std::string cls = Hex("USB\\Class_%02x", id.interfaceClass);
    const std::string subClass = cls + Hex("&SubClass_%02x", id.interfaceSubClass);
    IdLists ids;
    ids.hardware = {device + Hex("&REV_%04X", id.revision), device};
    ids.compatible = {subClass + Hex("&Prot_%02x", id.interfaceProtocol), subClass, cls};
    return ids;
}

IdLists VmbusIds(const std::string& classGuid)
{
    return IdLists{{"VMBUS\\" + classGuid}, {}};
}

std::string VmbusInstanceId(const std::string& classGuid, const std::string& instanceGuid)
{
    return "VMBUS\\" + classGuid + "\\" + instanceGuid;
}

std::optional<std::string> VmbusDeviceName(const std::string& classGuid)
{
    // The synthetic video device of Hyper-V and Azure guests.
    if (machine::EqualsFolded(classGuid, "{da0a7802-e377-4aac-8e77-0558eb1073f8}")) {
        return std::string("Microsoft Hyper-V Video");
    }
    return std::nullopt;
}

void AddEnumKey(machine::Registry& registry, const std::string& instanceId,
                const std::string& description, const std::string& service, NodeState state)
{
    machine::RegistryKey& key = registry.Key(kEnumKey + instanceId);
    key.Set(TextValue("DeviceDesc", description));
    if (!service.empty()) {
        key.Set(TextValue("Service", service));
    }
    key.Set(DwordValue("ConfigFlags",
                       state.problem == kProblemFailedInstall ? kConfigFlagFailedInstall : 0));
}

machine::RegistryValue TextValue(const std::string& name, const std::string& text)
{
    return machine::RegistryValue{name, machine::kRegSz, textcodec::TerminatedText(text)};
}

machine::RegistryValue MultiTextValue(const std::string& name, const machine::IdList& texts)
{
    return machine::RegistryValue{name, machine::kRegMultiSz, textcodec::MultiString(texts)};
}

machine::RegistryValue DwordValue(const std::string& name, std::uint32_t number)
{
    return NumberValue(name, machine::kRegDword, number, 4);
}

machine::RegistryValue BinaryValue(const std::string& name, std::vector<std::uint8_t> bytes)
{
    return machine::RegistryValue{name, machine::kRegBinary, std::move(bytes)};
}

machine::RegistryValue NumberValue(const std::string& name, std::uint32_t type,
                                   std::uint64_t number, int bytes)
{
    machine::RegistryValue value{name, type, {}};
    for (int i = 0; i < bytes; ++i) {
        value.data.push_back(static_cast<std::uint8_t>(number >> (8 * i)));
    }
    return value;
}

}  // namespace layout
