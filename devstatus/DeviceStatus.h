#pragma once
#include <functional>
#include <optional>
#include <string>

#include "collector/PropertyMap.h"
#include "devstatus/DeviceIdList.h"
#include "platform/Win32.h"

// Finds a present device by a hardware or compatible identifier prefix and
// reports its device instance identifier and its state as the properties
// "OperationalStatus" and "StatusDescriptions". Stateless.
class TDeviceStatus {
public:
    // 0 when a present device matched (the last one enumerated wins); 1 otherwise.
    // pattern may be null, then idText is the pattern.
    int FindDevice(std::string idText, const char* pattern, HDEVINFO& deviceInfoSet,
                   SP_DEVINFO_DATA& deviceInfoData);

    int GetDeviceInstanceId(std::string deviceId, std::string& instanceId);
    int GetDeviceInstanceId(std::string idText, const char* pattern, std::string& instanceId);

    PropertyMap GetDeviceStatus(std::string deviceId);
    PropertyMap GetDeviceStatus(std::string idText, const char* pattern);

private:
    // FindDevice that also asks about the match before the device information
    // set is destroyed. Windows keeps a device node handle valid after its set
    // is gone, but some Win32 implementations (Wine) do not, so the
    // configuration manager is queried while the set is still open.
    int FindDeviceAndQuery(const std::string& idText, const char* pattern,
                           HDEVINFO& deviceInfoSet, SP_DEVINFO_DATA& deviceInfoData,
                           const std::function<void(DEVINST)>& queryMatch);
};

// Copies exactly "OperationalStatus" and "StatusDescriptions" from a status
// map into properties; other entries are ignored.
void AddStatusProperties(PropertyMap& properties, const PropertyMap& status);

// ReadDeviceIdList as the lookups use it: running out of memory is logged as
// an error, and the list is then absent.
std::optional<DeviceIdList> ReadLoggedDeviceIdList(HDEVINFO deviceInfoSet,
                                                   SP_DEVINFO_DATA& deviceInfoData, DWORD property);
