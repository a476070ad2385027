#pragma once
// Export macro of the stand-in platform library.
#define DISPLAYPLATFORM_API extern "C" __attribute__((visibility("default")))
#define WINAPI
#define APIENTRY
