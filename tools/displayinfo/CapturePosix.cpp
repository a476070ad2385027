#include "Capture.h"

#include <fstream>

#include "LiveMachinePosix.h"

bool CaptureSupported()
{
    return true;
}

// The live machine, exactly the text that a run without --machine loads.
bool CaptureMachine(const std::string& path, const std::string& systemRootOption,
                    std::string& error)
{
    const std::string description = LiveMachineDescription(SystemRoot(systemRootOption));
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << description;
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}
