#pragma once
#include "platform/posix/Win32Types.h"

DISPLAYPLATFORM_API HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* ClassGuid, PCSTR Enumerator,
                                                         HWND hwndParent, DWORD Flags);
DISPLAYPLATFORM_API BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO DeviceInfoSet, DWORD MemberIndex,
                                                      PSP_DEVINFO_DATA DeviceInfoData);
DISPLAYPLATFORM_API BOOL WINAPI SetupDiOpenDeviceInfoA(HDEVINFO DeviceInfoSet,
                                                       PCSTR DeviceInstanceId, HWND hwndParent,
                                                       DWORD OpenFlags,
                                                       PSP_DEVINFO_DATA DeviceInfoData);
DISPLAYPLATFORM_API BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(
    HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
    PDWORD PropertyRegDataType, PBYTE PropertyBuffer, DWORD PropertyBufferSize,
    PDWORD RequiredSize);
DISPLAYPLATFORM_API BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);
DISPLAYPLATFORM_API CONFIGRET WINAPI CM_Get_Device_IDA(DEVINST dnDevInst, PSTR Buffer,
                                                       ULONG BufferLen, ULONG ulFlags);
DISPLAYPLATFORM_API CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG pulStatus,
                                                           PULONG pulProblemNumber,
                                                           DEVINST dnDevInst, ULONG ulFlags);
