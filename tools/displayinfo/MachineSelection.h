#pragma once
#include <string>

// Chooses the machine the stand-in Win32 functions describe: the machine
// description file, else the live machine below the system root (see
// SystemRoot); Options hold the environment's values for both. Returns
// false with a message when the description is unusable or when the build
// has no stand-in (Windows talks to the real system).
bool SelectMachine(const std::string& machineFile, const std::string& systemRoot,
                   std::string& error);

// Whether this build replays machine descriptions at all.
bool MachineDescriptionsSupported();

// The folder that stands for "/" when the live machine is read: the one
// given, else "/" (Linux builds; Windows reads itself and takes none).
std::string SystemRoot(const std::string& systemRoot);
