#include "Capture.h"

#include <exception>

#include "LiveMachinePosix.h"
#include "OutputWriter.h"

bool CaptureSupported()
{
    return true;
}

// The live machine, exactly the text that a run without --machine loads.
bool CaptureMachine(const std::string& path, const std::string& systemRootOption,
                    std::string& error)
{
    std::string description;
    try {
        description = LiveMachineDescription(SystemRoot(systemRootOption));
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return WriteOutputFile(path, description, error);
}
