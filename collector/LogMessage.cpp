#include "collector/LogMessage.h"

#include <new>

namespace {

// Both are plain pointers so that nothing runs at load time; they are set
// while the library is being loaded and only read afterwards.
LogMessage* s_instance = nullptr;
NORNKVT20::TPluginManagerProvider* s_provider = nullptr;

const DWORD kFormatFlags =
    FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
const DWORD kNeutralLanguage = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

}  // namespace

LogMessage* LogMessage::getInstance()
{
    if (s_instance == nullptr) {
        s_instance = new (std::nothrow) LogMessage();
    }
    return s_instance;
}

void LogMessage::setProvider(NORNKVT20::TPluginManagerProvider* provider)
{
    s_provider = provider;
}

LogMessage::~LogMessage() {}

void LogMessage::log(int level, const std::string& message)
{
    if (s_provider == nullptr || message.empty()) {
        return;
    }
    NORNKVT20::TRootObject::GetCoreLogger()->Log(level, message, NORNKVT20::PropertyMap());
}

void LogMessage::logError(const std::string& message)
{
    log(levelError, message);
}

void LogMessage::logWarning(const std::string& message)
{
    log(levelWarning, message);
}

void LogMessage::logInfo(const std::string& message)
{
    log(levelInfo, message);
}

void LogMessage::logDebug(const std::string& message)
{
    log(levelDebug, message);
}

std::string LogMessage::formatSystemError(DWORD code)
{
    LPSTR buffer = nullptr;
    // With FORMAT_MESSAGE_ALLOCATE_BUFFER the buffer argument receives the
    // address of the buffer the system allocates.
    DWORD length = FormatMessageA(kFormatFlags, nullptr, code, kNeutralLanguage,
                                  reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) {
        return std::string();
    }
    std::string text(buffer);
    LocalFree(buffer);
    return text;
}

void LogMessage::logSystemError(DWORD code)
{
    std::string text = formatSystemError(code);
    if (!text.empty()) {
        logDebug(text);
    }
}
