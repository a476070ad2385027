#include "MachineSelection.h"

#include <cstdlib>
#include <iostream>

#include "LiveMachinePosix.h"
#include "platform/posix/MachineDescription.h"
#include "platform/posix/live/LiveMachine.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

bool MachineDescriptionsSupported()
{
    return true;
}

std::string SystemRoot(const std::string& systemRootOption)
{
    if (!systemRootOption.empty()) {
        return systemRootOption;
    }
    const std::string fromEnvironment = Environment("DISPLAYINFO_SYSTEM_ROOT");
    return fromEnvironment.empty() ? "/" : fromEnvironment;
}

std::string LiveMachineDescription(const std::string& root)
{
    const displayplatform::live::LiveMachine machine = displayplatform::live::ReadLiveMachine(root);
    for (const std::string& problem : machine.problems) {
        std::cerr << "displayinfo: live machine: " << problem << "\n";
    }
    return machine.description.dump(2) + "\n";
}

bool SelectMachine(const std::string& machineOption, const std::string& systemRootOption,
                   std::string& error)
{
    std::string path = machineOption;
    if (path.empty() && systemRootOption.empty()) {
        path = Environment("DISPLAYINFO_MACHINE");
    }
    try {
        if (path.empty()) {
            const std::string root = SystemRoot(systemRootOption);
            displayplatform::LoadMachineJson(LiveMachineDescription(root),
                                             "live machine below " + root);
        } else {
            displayplatform::LoadMachineFile(path);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}
