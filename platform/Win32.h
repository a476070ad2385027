#pragma once
// The one header through which the plug-in reaches the operating system.
// Windows builds get the real SDK; other builds get our stand-in functions
// with the same names, signatures, types and constants.
#if defined(_WIN32)
#  ifndef WIN32_LEAN_AND_MEAN
#    define WIN32_LEAN_AND_MEAN
#  endif
#  include <windows.h>
#  include <setupapi.h>
#  include <cfgmgr32.h>
#  include <string.h>
#  include <time.h>
#else
#  include "platform/posix/Win32Types.h"
#  include "platform/posix/User32.h"
#  include "platform/posix/SetupApi.h"
#  include "platform/posix/Advapi32.h"
#  include "platform/posix/Kernel32.h"
#  include "platform/posix/CRuntime.h"
#endif
