#pragma once
// The live machine on Linux, shared by machine selection and --capture.
#include <string>

// The folder that stands for "/": the --system-root option, else
// DISPLAYINFO_SYSTEM_ROOT, else "/".
std::string SystemRoot(const std::string& systemRootOption);

// The live machine below root as machine description text. Each part of the
// tree that cannot be read is reported on standard error, prefixed
// "displayinfo: live machine: "; the description holds the rest, and a
// machine without display outputs is said to be one. Throws
// std::runtime_error when root is not a folder.
std::string LiveMachineDescription(const std::string& root);
