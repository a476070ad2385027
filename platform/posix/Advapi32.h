#pragma once
#include "platform/posix/Win32Types.h"

DISPLAYPLATFORM_API LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions,
                                                 REGSAM samDesired, PHKEY phkResult);
DISPLAYPLATFORM_API LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName,
                                                    LPDWORD lpReserved, LPDWORD lpType,
                                                    LPBYTE lpData, LPDWORD lpcbData);
DISPLAYPLATFORM_API LSTATUS WINAPI RegCloseKey(HKEY hKey);
