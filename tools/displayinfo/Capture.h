#pragma once
#include <string>

// Capturing the machine this program runs on into a machine description, the
// JSON file that the Win32 stand-ins of the other builds answer from. The
// description holds what the plug-in can read on this machine and nothing
// more: the display devices with their monitors and modes, the present
// devices it could match, the registry values it reads, the computer name
// and the time zone.

// Whether this build can capture: the Windows build asks the system, the
// Linux build writes the live machine it reads from the kernel.
bool CaptureSupported();

// Writes the description to path. Returns false with a message when the file
// cannot be written. Things the description cannot express are left out and
// reported on standard error. systemRootOption is the --system-root folder
// (Linux builds; empty elsewhere).
bool CaptureMachine(const std::string& path, const std::string& systemRootOption,
                    std::string& error);
