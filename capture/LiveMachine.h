#pragma once
// Reading the machine this program runs on into the model that a machine
// description writes down, so that a run on the live machine and the replay
// of its capture answer alike. Each system has its source:
// capture/linux/LiveMachineLinux.cpp reads the kernel's DRM subsystem,
// capture/windows/LiveMachineWindows.cpp asks Windows what the plug-in asks.
#include <string>
#include <vector>

#include "machine/Machine.h"

namespace capture {

struct LiveMachine {
    machine::Machine machine;
    // What could not be read or written down, one message each; the machine
    // holds the rest.
    std::vector<std::string> problems;
};

// On Linux, root names the folder that stands for "/"; Windows reads the
// system itself and takes no root.
LiveMachine ReadLiveMachine(const std::string& root);

}  // namespace capture
