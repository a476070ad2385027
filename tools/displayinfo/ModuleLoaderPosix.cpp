#include "ModuleLoader.h"

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

bool ModuleLoader::Load(const std::string& path, std::string& error)
{
    m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (m_handle == nullptr) {
        const char* text = dlerror();
        error = text != nullptr ? text : "unknown error";
        return false;
    }
    return true;
}

void* ModuleLoader::Symbol(const char* name) const
{
    return dlsym(m_handle, name);
}

std::string ProgramFolder()
{
    char path[PATH_MAX] = {0};
    ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string full(path, static_cast<std::size_t>(length));
    std::string::size_type slash = full.find_last_of('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

std::string KvtcoreFileName()
{
    return "libkvtcore.so";
}

std::string DefaultPluginFileName()
{
    return "libdisplaycollector.so";
}
