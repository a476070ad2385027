#include <new>

#include "platform/Win32.h"
#include "plugin/DisplayInfoCallbacks.h"

// The library's entry point. Loading the library is what registers the
// plug-in: the callback object registers itself with the host while it is
// constructed. It is never deleted here; the host ends it with Destroy.
extern "C" BOOL WINAPI DllMain(HINSTANCE /*instance*/, DWORD reason, LPVOID /*reserved*/)
{
    if (reason == DLL_PROCESS_ATTACH) {
        TDisplayInfoCallbacks* callbacks = new (std::nothrow) TDisplayInfoCallbacks();
        return callbacks != nullptr ? TRUE : FALSE;
    }
    return TRUE;
}
