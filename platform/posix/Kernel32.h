#pragma once
#include "platform/posix/Win32Types.h"

DISPLAYPLATFORM_API DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource,
                                                DWORD dwMessageId, DWORD dwLanguageId,
                                                LPSTR lpBuffer, DWORD nSize, va_list* Arguments);
DISPLAYPLATFORM_API HLOCAL WINAPI LocalFree(HLOCAL hMem);
DISPLAYPLATFORM_API DWORD WINAPI GetLastError(void);
DISPLAYPLATFORM_API void WINAPI SetLastError(DWORD dwErrCode);
DISPLAYPLATFORM_API DWORD WINAPI GetTimeZoneInformation(
    LPTIME_ZONE_INFORMATION lpTimeZoneInformation);
DISPLAYPLATFORM_API BOOL WINAPI GetComputerNameA(LPSTR lpBuffer, LPDWORD nSize);
DISPLAYPLATFORM_API int WINAPI lstrlenA(LPCSTR lpString);
