#pragma once
#include <string>

// Chooses the machine the stand-in Win32 functions describe: the file given
// with --machine, else the live machine below --system-root, else the file
// DISPLAYINFO_MACHINE names, else the live machine below
// DISPLAYINFO_SYSTEM_ROOT or "/" (Linux builds; the live machine has no
// displays where the kernel shows none). Returns false with a message when
// the description is unusable or when the build has no stand-in (Windows
// talks to the real system).
bool SelectMachine(const std::string& machineOption, const std::string& systemRootOption,
                   std::string& error);

// Whether this build replays machine descriptions at all.
bool MachineDescriptionsSupported();

// The folder that stands for "/" when the live machine is read: the
// --system-root option, else DISPLAYINFO_SYSTEM_ROOT, else "/" (Linux
// builds; Windows reads itself and takes none).
std::string SystemRoot(const std::string& systemRootOption);
