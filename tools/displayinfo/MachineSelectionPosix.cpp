#include "MachineSelection.h"

#include <cstdlib>

#include "platform/posix/MachineDescription.h"

bool MachineDescriptionsSupported()
{
    return true;
}

bool SelectMachine(const std::string& machineOption, std::string& error)
{
    std::string path = machineOption;
    if (path.empty()) {
        const char* fromEnvironment = std::getenv("DISPLAYINFO_MACHINE");
        if (fromEnvironment != nullptr) {
            path = fromEnvironment;
        }
    }
    try {
        if (path.empty()) {
            displayplatform::ResetMachine();
        } else {
            displayplatform::LoadMachineFile(path);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}
