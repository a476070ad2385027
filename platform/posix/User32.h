#pragma once
#include "platform/posix/Win32Types.h"

DISPLAYPLATFORM_API BOOL WINAPI EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum,
                                                    PDISPLAY_DEVICEA lpDisplayDevice,
                                                    DWORD dwFlags);
DISPLAYPLATFORM_API BOOL WINAPI EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum,
                                                     DEVMODEA* lpDevMode);
