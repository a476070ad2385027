#include "platform/posix/Machine.h"

#include <mutex>

namespace displayplatform::detail {

namespace {

std::mutex machineMutex;

std::shared_ptr<const Machine>& MachineSlot()
{
    static std::shared_ptr<const Machine> machine = std::make_shared<const Machine>();
    return machine;
}

char FoldChar(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

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

bool Machine::AddAdapter(DisplayAdapter adapter)
{
    if (!adapterByName_.emplace(Registry::Fold(adapter.deviceName), displayDevices.size()).second) {
        return false;
    }
    displayDevices.push_back(std::move(adapter));
    return true;
}

bool Machine::AddDevice(Device device)
{
    if (!deviceByInstanceId_.emplace(Registry::Fold(device.instanceId), devices.size()).second) {
        return false;
    }
    devices.push_back(std::move(device));
    return true;
}

const DisplayAdapter* Machine::FindAdapter(const std::string& name) const
{
    const auto found = adapterByName_.find(Registry::Fold(name));
    return found == adapterByName_.end() ? nullptr : &displayDevices[found->second];
}

const Device* Machine::FindDevice(const std::string& instanceId) const
{
    const auto found = deviceByInstanceId_.find(Registry::Fold(instanceId));
    return found == deviceByInstanceId_.end() ? nullptr : &devices[found->second];
}

const Device* DeviceOf(const Machine& machine, DEVINST devInst)
{
    if (devInst == 0 || devInst > machine.devices.size()) {
        return nullptr;
    }
    return &machine.devices[devInst - 1];
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) {
            return false;
        }
    }
    return true;
}

std::string Registry::Fold(const std::string& text)
{
    std::string folded(text);
    for (char& c : folded) {
        c = FoldChar(c);
    }
    return folded;
}

bool Registry::AddKey(const std::string& path, std::vector<RegistryValue> values)
{
    const std::string folded = Fold(path);
    if (!keys_.emplace(folded, Key{path, std::move(values)}).second) {
        return false;
    }
    // Every key above a described one exists as well.
    for (std::size_t end = folded.find('\\'); end != std::string::npos;
         end = folded.find('\\', end + 1)) {
        existing_.insert(folded.substr(0, end));
    }
    existing_.insert(folded);
    return true;
}

bool Registry::KeyExists(const std::string& foldedPath) const
{
    return existing_.count(foldedPath) != 0;
}

const RegistryValue* Registry::FindValue(const std::string& foldedPath,
                                         const std::string& name) const
{
    const auto key = keys_.find(foldedPath);
    if (key == keys_.end()) {
        return nullptr;
    }
    for (const RegistryValue& value : key->second.values) {
        if (EqualsIgnoringCase(value.name, name)) {
            return &value;
        }
    }
    return nullptr;
}

}  // namespace displayplatform::detail
