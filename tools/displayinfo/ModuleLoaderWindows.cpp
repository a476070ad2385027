#include "ModuleLoader.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

std::string LastErrorText()
{
    DWORD code = GetLastError();
    LPSTR buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = "error " + std::to_string(code);
    if (length != 0 && buffer != nullptr) {
        std::string message(buffer, length);
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
            message.pop_back();
        }
        text += " (" + message + ")";
        LocalFree(buffer);
    }
    return text;
}

}  // namespace

bool ModuleLoader::Load(const std::string& path, std::string& error)
{
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) {
        error = LastErrorText();
        return false;
    }
    m_handle = reinterpret_cast<void*>(module);
    return true;
}

void* ModuleLoader::Symbol(const char* name) const
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_handle), name));
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {0};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    std::string::size_type slash = full.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

std::string KvtcoreFileName()
{
    return "kvtcore.dll";
}

std::string DefaultPluginFileName()
{
    return "displaycollector.dll";
}
