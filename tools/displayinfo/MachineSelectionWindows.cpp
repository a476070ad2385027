#include "MachineSelection.h"

bool MachineDescriptionsSupported()
{
    return false;
}

std::string SystemRoot(const std::string& /*systemRootOption*/)
{
    return std::string();
}

bool SelectMachine(const std::string& machineOption, const std::string& /*systemRootOption*/,
                   std::string& error)
{
    if (!machineOption.empty()) {
        error = "--machine is not available on Windows, where the real system is inspected";
        return false;
    }
    return true;
}
