#pragma once
#include <string>

// Loads a shared library at run time and looks up symbols in it
// (dlopen on Linux, LoadLibrary on Windows).
class ModuleLoader {
public:
    // Loads path; on failure returns false and describes why in error.
    bool Load(const std::string& path, std::string& error);
    void* Symbol(const char* name) const;

private:
    void* m_handle = nullptr;
};

// The folder the running program lives in, with a trailing separator.
std::string ProgramFolder();

// File names of the modules on this platform.
std::string KvtcoreFileName();
std::string DefaultPluginFileName();
