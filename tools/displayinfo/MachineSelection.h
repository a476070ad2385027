#pragma once
#include <string>

// Chooses the machine the stand-in Win32 functions describe: the file given
// with --machine, else the one DISPLAYINFO_MACHINE names, else an empty
// machine. Returns false with a message when the description is unusable or
// when the build has no stand-in (Windows talks to the real system).
bool SelectMachine(const std::string& machineOption, std::string& error);

// Whether this build replays machine descriptions at all.
bool MachineDescriptionsSupported();
