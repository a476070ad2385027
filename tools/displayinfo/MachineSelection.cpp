#include "MachineSelection.h"

#include <cstdlib>

#if !defined(_WIN32)
#  include "platform/posix/MachineDescription.h"
#endif

#if defined(_WIN32)

bool MachineDescriptionsSupported()
{
    return false;
}

bool SelectMachine(const std::string& machineOption, std::string& error)
{
    if (!machineOption.empty()) {
        error = "--machine is not available on Windows, where the real system is inspected";
        return false;
    }
    return true;
}

#else

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

#endif
