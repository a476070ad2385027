#pragma once
#include <string>

#include "host/Host.h"
#include "platform/Win32.h"

// The plug-in's front end to the host's core logger: one process-wide
// instance, one gate that switches logging on, four levels, and the system's
// texts for Win32 error codes.
class LogMessage {
public:
    enum Level { levelError = 0, levelWarning = 2, levelInfo = 3, levelDebug = 4 };

    // The process-wide instance, created on first use and never destroyed.
    // Null only when it could not be allocated; logging works either way
    // because no operation touches member state.
    static LogMessage* getInstance();
    // Logging is on while the provider is non-null.
    static void setProvider(NORNKVT20::TPluginManagerProvider* provider);

    virtual ~LogMessage();

    void log(int level, const std::string& message);
    void logError(const std::string& message);
    void logWarning(const std::string& message);
    void logInfo(const std::string& message);
    void logDebug(const std::string& message);

    // The system's message for a Win32 error code, line end included, or ""
    // when the system has none.
    std::string formatSystemError(DWORD code);
    void logSystemError(DWORD code);
};
