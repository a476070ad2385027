#include "MachineSelection.h"

bool MachineDescriptionsSupported()
{
    return false;
}

std::string SystemRoot(const std::string& /*systemRoot*/)
{
    return std::string();
}

bool SelectMachine(const std::string& machineFile, const std::string& /*systemRoot*/,
                   std::string& error)
{
    if (!machineFile.empty()) {
        error = "--machine is not available on Windows, where the real system is inspected";
        return false;
    }
    return true;
}
