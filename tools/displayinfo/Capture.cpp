#include "Capture.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <iostream>
#include <stdexcept>

#include "OutputWriter.h"
#include "capture/LiveMachine.h"
#include "machine/DescriptionCodec.h"

namespace {

// A root that is not there would read as a machine without displays.
void CheckSystemRoot(const std::string& root)
{
    struct stat status {};
    if (stat(root.c_str(), &status) != 0) {
        throw std::runtime_error("the system root " + root + ": " + std::strerror(errno));
    }
    if (!S_ISDIR(status.st_mode)) {
        throw std::runtime_error("the system root " + root + " is not a folder");
    }
}

}  // namespace

std::string LiveMachineDescription(const std::string& root)
{
    if (!root.empty()) {
        CheckSystemRoot(root);
    }
    const capture::LiveMachine live = capture::ReadLiveMachine(root);
    for (const std::string& problem : live.problems) {
        std::cerr << "displayinfo: live machine: " << problem << "\n";
    }
    if (live.machine.outputs.empty()) {
        std::cerr << "displayinfo: no display hardware found";
        if (!root.empty()) {
            std::cerr << ": no display output in " << (root == "/" ? "" : root) << "/sys/class/drm";
        }
        std::cerr << "\n";
    }
    return machine::WriteDescription(live.machine);
}

// The live machine, exactly the text that a run without --machine loads.
bool CaptureMachine(const std::string& path, const std::string& root, std::string& error)
{
    std::string description;
    try {
        description = LiveMachineDescription(root);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return WriteOutputFile(path, description, error);
}
