#pragma once
// Symbol export for the host core library (kvtcore). Classes and functions
// marked KVTCORE_API live in kvtcore and are imported by every other module.
#if defined(_WIN32)
#  if defined(KVTCORE_BUILD)
#    define KVTCORE_API __declspec(dllexport)
#  else
#    define KVTCORE_API __declspec(dllimport)
#  endif
#else
#  define KVTCORE_API __attribute__((visibility("default")))
#endif
