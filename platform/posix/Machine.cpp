#include "platform/posix/Machine.h"

#include <mutex>

#include "machine/TextCodec.h"

namespace displayplatform::detail {

namespace {

std::mutex machineMutex;

std::shared_ptr<const Machine>& MachineSlot()
{
    static std::shared_ptr<const Machine> machine = std::make_shared<const Machine>();
    return machine;
}

std::optional<std::vector<BYTE>> MultiString(const std::optional<machine::IdList>& ids)
{
    if (!ids) {
        return std::nullopt;
    }
    return textcodec::MultiString(*ids);
}

}  // namespace

Machine::Machine(machine::Machine model) : model_(std::move(model))
{
    // A description names each output, device and key once; the first of a
    // name counts should a model hold one twice.
    for (std::size_t i = 0; i < model_.outputs.size(); ++i) {
        outputByName_.emplace(machine::FoldCase(model_.outputs[i].name), i);
    }
    for (std::size_t i = 0; i < model_.devices.size(); ++i) {
        const machine::Device& device = model_.devices[i];
        deviceByInstanceId_.emplace(machine::FoldCase(device.instance), i);
        hardwareIdBytes_.push_back(MultiString(device.hardware));
        compatibleIdBytes_.push_back(MultiString(device.compatible));
    }
    for (const machine::RegistryKey& key : model_.registry.Keys()) {
        const std::string folded = machine::FoldCase(key.path);
        for (std::size_t end = folded.find('\\'); end != std::string::npos;
             end = folded.find('\\', end + 1)) {
            existingKeys_.insert(folded.substr(0, end));
        }
        existingKeys_.insert(folded);
    }
}

const machine::Output* Machine::FindOutput(const std::string& name) const
{
    const auto found = outputByName_.find(machine::FoldCase(name));
    return found == outputByName_.end() ? nullptr : &model_.outputs[found->second];
}

const machine::Device* Machine::FindDevice(const std::string& instanceId) const
{
    const auto found = deviceByInstanceId_.find(machine::FoldCase(instanceId));
    return found == deviceByInstanceId_.end() ? nullptr : &model_.devices[found->second];
}

const std::vector<BYTE>* Machine::HardwareIds(std::size_t deviceIndex) const
{
    const auto& ids = hardwareIdBytes_[deviceIndex];
    return ids ? &*ids : nullptr;
}

const std::vector<BYTE>* Machine::CompatibleIds(std::size_t deviceIndex) const
{
    const auto& ids = compatibleIdBytes_[deviceIndex];
    return ids ? &*ids : nullptr;
}

bool Machine::KeyExists(const std::string& foldedPath) const
{
    return existingKeys_.count(foldedPath) != 0;
}

const machine::RegistryValue* Machine::FindValue(const std::string& foldedPath,
                                                 const std::string& name) const
{
    const machine::RegistryKey* key = model_.registry.Find(foldedPath);
    return key == nullptr ? nullptr : key->Find(name);
}

std::shared_ptr<const Machine> CurrentMachine()
{
    std::lock_guard<std::mutex> lock(machineMutex);
    return MachineSlot();
}

void ReplaceMachine(std::shared_ptr<const Machine> machine)
{
    std::lock_guard<std::mutex> lock(machineMutex);
    MachineSlot() = std::move(machine);
}

const machine::Device* DeviceOf(const Machine& machine, DEVINST devInst)
{
    const auto& devices = machine.Model().devices;
    if (devInst == 0 || devInst > devices.size()) {
        return nullptr;
    }
    return &devices[devInst - 1];
}

}  // namespace displayplatform::detail
