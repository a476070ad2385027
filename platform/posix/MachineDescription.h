#pragma once
// Loading the machine description that the stand-in Win32 functions answer from.
#include <stdexcept>
#include <string>

#define DISPLAYPLATFORM_CPP_API __attribute__((visibility("default")))

namespace displayplatform {

// A machine description that cannot be used; what() names the source, the
// JSON pointer of the offending place and what is wrong with it.
class DISPLAYPLATFORM_CPP_API MachineDescriptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Replaces the current machine with the one described in the file.
DISPLAYPLATFORM_CPP_API void LoadMachineFile(const std::string& path);
// Replaces the current machine with the one described by the JSON text;
// sourceName is used in error messages.
DISPLAYPLATFORM_CPP_API void LoadMachineJson(const std::string& json,
                                             const std::string& sourceName);
// Replaces the current machine with an empty one (no display devices,
// no devices, no registry values; UTC and the host's name).
DISPLAYPLATFORM_CPP_API void ResetMachine();

}  // namespace displayplatform
