#pragma once
// What the stand-in Win32 functions have handed out and not yet been given
// back, so that tests can catch leaked handles and buffers; and how often
// this thread called them.
#include <cstddef>
#include <map>
#include <string>

#include "platform/posix/MachineDescription.h"

namespace displayplatform {

struct OpenHandleCounts {
    std::size_t registryKeys = 0;      // RegOpenKeyExA without RegCloseKey
    std::size_t deviceInfoSets = 0;    // SetupDiGetClassDevsA without SetupDiDestroyDeviceInfoList
    std::size_t localAllocations = 0;  // FormatMessageA buffers without LocalFree
};

DISPLAYPLATFORM_CPP_API OpenHandleCounts CountOpenHandles();

// The calls this thread made since its last reset of the functions that ask
// about the machine (display devices and settings, the device installer, the
// configuration manager, the registry), by function name.
using PlatformCalls = std::map<std::string, unsigned long>;
DISPLAYPLATFORM_CPP_API PlatformCalls PlatformCallsOfThisThread();
DISPLAYPLATFORM_CPP_API void ResetPlatformCallsOfThisThread();

}  // namespace displayplatform
