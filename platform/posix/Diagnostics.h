#pragma once
// What the stand-in Win32 functions have handed out and not yet been given
// back, so that tests can catch leaked handles and buffers.
#include <cstddef>

#include "platform/posix/MachineDescription.h"

namespace displayplatform {

struct OpenHandleCounts {
    std::size_t registryKeys = 0;      // RegOpenKeyExA without RegCloseKey
    std::size_t deviceInfoSets = 0;    // SetupDiGetClassDevsA without SetupDiDestroyDeviceInfoList
    std::size_t localAllocations = 0;  // FormatMessageA buffers without LocalFree
};

DISPLAYPLATFORM_CPP_API OpenHandleCounts CountOpenHandles();

}  // namespace displayplatform
