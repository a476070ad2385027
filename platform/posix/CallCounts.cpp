#include "platform/posix/CallCounts.h"

#include "platform/posix/Diagnostics.h"

namespace displayplatform {

namespace {

const char* const kCallNames[] = {
    "EnumDisplayDevicesA",   "EnumDisplaySettingsA",
    "SetupDiGetClassDevsA",  "SetupDiEnumDeviceInfo",
    "SetupDiOpenDeviceInfoA", "SetupDiGetDeviceRegistryPropertyA",
    "SetupDiDestroyDeviceInfoList", "CM_Get_Device_IDA",
    "CM_Get_DevNode_Status", "RegOpenKeyExA",
    "RegQueryValueExA",      "RegCloseKey",
};
static_assert(sizeof kCallNames / sizeof kCallNames[0] ==
                  static_cast<std::size_t>(detail::Call::Count),
              "every counted function has its name");

// Per thread, so that counting needs no lock and threads making requests of
// their own do not disturb each other's counts.
thread_local unsigned long callCounts[static_cast<std::size_t>(detail::Call::Count)];

}  // namespace

namespace detail {

void CountCall(Call call)
{
    ++callCounts[static_cast<std::size_t>(call)];
}

}  // namespace detail

PlatformCalls PlatformCallsOfThisThread()
{
    PlatformCalls calls;
    for (std::size_t i = 0; i < static_cast<std::size_t>(detail::Call::Count); ++i) {
        calls[kCallNames[i]] = callCounts[i];
    }
    return calls;
}

void ResetPlatformCallsOfThisThread()
{
    for (unsigned long& count : callCounts) {
        count = 0;
    }
}

}  // namespace displayplatform
