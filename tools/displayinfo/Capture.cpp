#include "Capture.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "capture/LiveMachine.h"
#include "machine/DescriptionCodec.h"

std::string LiveMachineDescription(const std::string& root)
{
    const capture::LiveMachine live = capture::ReadLiveMachine(root);
    for (const std::string& problem : live.problems) {
        std::cerr << "displayinfo: live machine: " << problem << "\n";
    }
    return machine::WriteDescription(live.machine);
}

// The live machine, exactly the text that a run without --machine loads.
bool CaptureMachine(const std::string& path, const std::string& root, std::string& error)
{
    const std::string description = LiveMachineDescription(root);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << description;
    file.close();
    if (!file) {
        error = "cannot write the machine description " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
