#pragma once
// Counts of the stand-in functions that ask about the machine, per thread, so
// that a benchmark can be checked to make the calls a real request makes.
// Internal to the platform library; Diagnostics.h gives the counts out.
#include <cstddef>

namespace displayplatform::detail {

enum class Call : std::size_t {
    EnumDisplayDevicesA,
    EnumDisplaySettingsA,
    SetupDiGetClassDevsA,
    SetupDiEnumDeviceInfo,
    SetupDiOpenDeviceInfoA,
    SetupDiGetDeviceRegistryPropertyA,
    SetupDiDestroyDeviceInfoList,
    CM_Get_Device_IDA,
    CM_Get_DevNode_Status,
    RegOpenKeyExA,
    RegQueryValueExA,
    RegCloseKey,
    Count
};

void CountCall(Call call);

}  // namespace displayplatform::detail
