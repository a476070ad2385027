#include "MachineSelection.h"

#include <cstdlib>

#include "Capture.h"
#include "platform/posix/MachineDescription.h"

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
