// Stands in for the Windows loader in the plug-in module: the plug-in's
// DllMain sees DLL_PROCESS_ATTACH when the module is loaded and
// DLL_PROCESS_DETACH when it is unloaded.
#include <dlfcn.h>

#include "platform/Win32.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

namespace {

HINSTANCE ThisModule()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ThisModule), &info) != 0) {
        return static_cast<HINSTANCE>(info.dli_fbase);
    }
    return nullptr;
}

// The handle is the module's base address, as an HINSTANCE is on Windows.
// lpReserved is null, as Windows passes it for a library loaded with
// LoadLibrary and unloaded with FreeLibrary.
__attribute__((constructor)) void OnModuleLoad()
{
    DllMain(ThisModule(), DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) void OnModuleUnload()
{
    DllMain(ThisModule(), DLL_PROCESS_DETACH, nullptr);
}

}  // namespace
