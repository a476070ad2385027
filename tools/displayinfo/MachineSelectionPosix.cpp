#include "MachineSelection.h"

#include <sys/stat.h>

#include <cstdlib>
#include <stdexcept>

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

// Only a regular file is read as a description: a folder would read as
// empty text and a FIFO without a writer would never end.
void CheckMachineFile(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) {
        return;  // the loader names a file that cannot be opened
    }
    const char* kind = S_ISDIR(status.st_mode)    ? "is a directory"
                       : S_ISFIFO(status.st_mode) ? "is a FIFO"
                                                  : "is not a regular file";
    throw std::runtime_error(path + ": " + std::string(kind) +
                             ", not a machine description file");
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
            CheckMachineFile(path);
            displayplatform::LoadMachineFile(path);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}
