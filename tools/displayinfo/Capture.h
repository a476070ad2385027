#pragma once
#include <string>

// The machine this program runs on as a machine description, the JSON file
// that the Win32 stand-ins of the Linux build answer from. Each part that
// cannot be read or written down is reported on standard error, prefixed
// "displayinfo: live machine: "; the description holds the rest. root is the
// folder standing for "/" on Linux (see SystemRoot); Windows reads itself.
std::string LiveMachineDescription(const std::string& root);

// Writes the live machine's description to path. Returns false with a
// message when the file cannot be written.
bool CaptureMachine(const std::string& path, const std::string& root, std::string& error);
