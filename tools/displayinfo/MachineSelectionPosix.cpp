#include "MachineSelection.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>

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
    // A root that is not there would read as a machine without displays.
    struct stat status {};
    if (stat(root.c_str(), &status) != 0) {
        throw std::runtime_error("the system root " + root + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(status.st_mode)) {
        throw std::runtime_error("the system root " + root + " is not a folder");
    }
    const displayplatform::live::LiveMachine machine = displayplatform::live::ReadLiveMachine(root);
    for (const std::string& problem : machine.problems) {
        std::cerr << "displayinfo: live machine: " << problem << "\n";
    }
    const auto outputs = machine.description.find("displayDevices");
    if (outputs == machine.description.end() || outputs->empty()) {
        const std::string drm = (root == "/" ? "" : root) + "/sys/class/drm";
        std::cerr << "displayinfo: no display hardware found: no display output in " << drm
                  << "\n";
    }
    return machine.description.dump(2) + "\n";
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
