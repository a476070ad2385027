#pragma once
// The machine that the stand-in Win32 functions answer from, shared by every
// module of the process: the model of the loaded description and what the
// functions look up in it by name, made once when it is loaded. Internal to
// the platform library.
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "machine/Machine.h"
#include "platform/posix/Win32Types.h"

namespace displayplatform::detail {

class Machine {
public:
    Machine() = default;
    explicit Machine(machine::Machine model);

    const machine::Machine& Model() const { return model_; }

    // The output or device of that name or instance identifier, compared
    // without regard to case; null when there is none.
    const machine::Output* FindOutput(const std::string& name) const;
    const machine::Device* FindDevice(const std::string& instanceId) const;

    // A device's identifier list as the device installer hands it out, a
    // multi-string: each identifier and its zero, then one more zero. Null
    // when the device has no such list.
    const std::vector<BYTE>* HardwareIds(std::size_t deviceIndex) const;
    const std::vector<BYTE>* CompatibleIds(std::size_t deviceIndex) const;

    // Registry keys by folded path (machine::FoldCase). A key exists when it
    // is described or lies above one that is.
    bool KeyExists(const std::string& foldedPath) const;
    // Null when the key or the value does not exist.
    const machine::RegistryValue* FindValue(const std::string& foldedPath,
                                            const std::string& name) const;

private:
    machine::Machine model_;
    std::unordered_map<std::string, std::size_t> outputByName_;
    std::unordered_map<std::string, std::size_t> deviceByInstanceId_;
    std::vector<std::optional<std::vector<BYTE>>> hardwareIdBytes_;
    std::vector<std::optional<std::vector<BYTE>>> compatibleIdBytes_;
    std::set<std::string> existingKeys_{""};
};

// The current machine; never null (an empty machine until one is loaded).
std::shared_ptr<const Machine> CurrentMachine();
void ReplaceMachine(std::shared_ptr<const Machine> machine);

// Device instance handles as the configuration manager hands them out: the
// position of the device in the machine's list, counted from 1.
inline DEVINST DevInstOf(std::size_t deviceIndex)
{
    return static_cast<DEVINST>(deviceIndex + 1);
}
// The device of a handle, or null for a handle that names no device.
const machine::Device* DeviceOf(const Machine& machine, DEVINST devInst);

// Handles and buffers given out and not yet given back.
std::size_t CountRegistryKeys();
std::size_t CountDeviceInfoSets();
std::size_t CountLocalAllocations();

}  // namespace displayplatform::detail
