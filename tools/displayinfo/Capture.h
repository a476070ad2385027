#pragma once
#include <string>

// The machine this program runs on as a machine description, the JSON file
// that the Win32 stand-ins of the Linux build answer from. Each part that
// cannot be read or written down is reported on standard error, prefixed
// "displayinfo: live machine: "; the description holds the rest, and a
// machine without display outputs is said to be one. root is the folder
// standing for "/" on Linux (see SystemRoot), std::runtime_error when it is
// not a folder; Windows reads itself and takes an empty root.
std::string LiveMachineDescription(const std::string& root);

// Writes the live machine's description to path ("-" for standard output).
// Returns false with a message when the root is no folder or the file cannot
// be written whole.
bool CaptureMachine(const std::string& path, const std::string& root, std::string& error);
