#include "MachineSelection.h"

#include <sys/stat.h>

#include <stdexcept>

#include "Capture.h"
#include "platform/posix/MachineDescription.h"

bool MachineDescriptionsSupported()
{
    return true;
}

std::string SystemRoot(const std::string& systemRoot)
{
    return systemRoot.empty() ? "/" : systemRoot;
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

bool SelectMachine(const std::string& machineFile, const std::string& systemRoot,
                   std::string& error)
{
    try {
        if (machineFile.empty()) {
            const std::string root = SystemRoot(systemRoot);
            displayplatform::LoadMachineJson(LiveMachineDescription(root),
                                             "live machine below " + root);
        } else {
            CheckMachineFile(machineFile);
            displayplatform::LoadMachineFile(machineFile);
        }
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}
