#pragma once
// Device nodes as Windows' device installer lays them out: their status, the
// identifier lists of a PCI function, and their keys below Enum.
#include <cstdint>
#include <optional>
#include <string>

#include "machine/Machine.h"

namespace layout {

// A device's enumeration key below HKEY_LOCAL_MACHINE is this followed by
// its instance identifier.
inline constexpr const char kEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\";

// Device node problems (cfg.h).
constexpr std::uint32_t kProblemFailedInstall = 28;    // CM_PROB_FAILED_INSTALL: no driver
constexpr std::uint32_t kProblemFailedPostStart = 43;  // the driver reported the device failed

// A device node's status and problem number, as CM_Get_DevNode_Status gives
// them: started with its driver, or stopped with a problem.
struct NodeState {
    std::uint32_t status = machine::kStartedNodeStatus;
    std::uint32_t problem = 0;
};
NodeState Started();
NodeState StoppedWithProblem(std::uint32_t problem);

// A present device; empty identifier lists leave the property out.
machine::Device DeviceNode(const std::string& instanceId, const machine::IdList& hardware,
                           const machine::IdList& compatible, NodeState state = Started());

// The hardware and compatible identifiers of a device, most specific first.
struct IdLists {
    machine::IdList hardware;
    machine::IdList compatible;
};

struct PciIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t device = 0;
    std::uint16_t subsystemVendor = 0;
    std::uint16_t subsystemDevice = 0;
    std::uint8_t revision = 0;
    std::optional<std::uint32_t> classCode;  // 24 bits: class, subclass, interface
};

// PCI\VEN_vvvv&DEV_dddd&SUBSYS_ssssvvvv&REV_rr, as Windows' PCI bus driver
// spells it (upper-case hexadecimal).
std::string PciHardwareId(const PciIdentity& id);
// Then the shorter forms and the class-code forms (CC_ccssii, CC_ccss).
IdLists PciIds(const PciIdentity& id);

struct UsbIdentity {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    std::uint16_t revision = 0;  // bcdDevice
    // Of the interface the device's function is on.
    std::uint8_t interfaceClass = 0;
    std::uint8_t interfaceSubClass = 0;
    std::uint8_t interfaceProtocol = 0;
};

// As Windows' USB hub driver gives them: USB\VID_vvvv&PID_pppp&REV_rrrr, then
// without the revision; compatible USB\Class_cc&SubClass_ss&Prot_pp and its
// shorter forms (the class codes in lower-case hexadecimal, as Windows
// writes them).
IdLists UsbIds(const UsbIdentity& id);

// A device on Hyper-V's VMBus: VMBUS\<class GUID in braces>, and its instance
// ID adds the device's own GUID.
IdLists VmbusIds(const std::string& classGuid);
std::string VmbusInstanceId(const std::string& classGuid, const std::string& instanceGuid);
// The name Windows gives the devices of a VMBus class that carries a display
// (the synthetic video device); nothing for other classes.
std::optional<std::string> VmbusDeviceName(const std::string& classGuid);

// A device's key below Enum: the description its driver package gives
// ("@oem4.inf,%key%;Name" or plain text), the service of its driver (none
// when empty) and ConfigFlags, which record a failed installation.
void AddEnumKey(machine::Registry& registry, const std::string& instanceId,
                const std::string& description, const std::string& service, NodeState state);

// Registry values of the kinds the layout writes.
machine::RegistryValue TextValue(const std::string& name, const std::string& text);
machine::RegistryValue MultiTextValue(const std::string& name, const machine::IdList& texts);
machine::RegistryValue DwordValue(const std::string& name, std::uint32_t number);
machine::RegistryValue BinaryValue(const std::string& name, std::vector<std::uint8_t> bytes);
// A number as that many little-endian bytes of the given type.
machine::RegistryValue NumberValue(const std::string& name, std::uint32_t type,
                                   std::uint64_t number, int bytes);

}  // namespace layout
