#include "devstatus/LookupRules.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace LookupRules {

bool AdapterExamined(bool anyIdReported, const std::string& deviceId)
{
    return !anyIdReported || !deviceId.empty();
}

std::size_t MonitorHardwareIdLength(const char* monitorDeviceId)
{
    const char* suffix = std::strstr(monitorDeviceId, kInstanceSuffix);
    return suffix != nullptr ? static_cast<std::size_t>(suffix - monitorDeviceId)
                             : std::strlen(monitorDeviceId);
}

std::string MonitorHardwareId(const std::string& monitorDeviceId)
{
    return monitorDeviceId.substr(0, MonitorHardwareIdLength(monitorDeviceId.c_str()));
}

const char* DriverKeyInPath(const std::string& deviceKey, char* path)
{
    const std::size_t length = std::min<std::size_t>(deviceKey.size(), kDriverValueSize - 1);
    for (std::size_t i = 0; i < length; ++i) {
        path[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(deviceKey[i])));
    }
    path[length] = '\0';
    const char* subKey = std::strstr(path, "system");
    if (std::strstr(path, "machine") == nullptr) {
        return nullptr;
    }
    return subKey;
}

}  // namespace LookupRules
