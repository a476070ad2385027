#pragma once
#include <ctime>

#include "platform/posix/Win32Types.h"

DISPLAYPLATFORM_API int _strnicmp(const char* string1, const char* string2, std::size_t count);
DISPLAYPLATFORM_API __time64_t _mktime64(struct tm* timeptr);
DISPLAYPLATFORM_API struct tm* _localtime64(const __time64_t* sourceTime);
