#include <optional>

#include "devstatus/DeviceIdList.h"
#include "devstatus/DeviceSearch.h"
#include "devstatus/DeviceStatus.h"
#include "devstatus/LookupRules.h"
#include "collector/LogMessage.h"

using LookupRules::kInstanceIdBufferLength;

namespace {

void LogOutOfMemory()
{
    LogMessage::getInstance()->logError("Could not allocate memory.");
}

}  // namespace

std::optional<DeviceIdList> ReadLoggedDeviceIdList(HDEVINFO deviceInfoSet,
                                                   SP_DEVINFO_DATA& deviceInfoData, DWORD property)
{
    return ReadReportedDeviceIdList(deviceInfoSet, deviceInfoData, property, LogOutOfMemory);
}

int TDeviceStatus::FindDevice(std::string idText, const char* pattern, HDEVINFO& deviceInfoSet,
                              SP_DEVINFO_DATA& deviceInfoData)
{
    return FindDeviceAndQuery(idText, pattern, deviceInfoSet, deviceInfoData, nullptr);
}

int TDeviceStatus::FindDeviceAndQuery(const std::string& idText, const char* pattern,
                                      HDEVINFO& deviceInfoSet, SP_DEVINFO_DATA& deviceInfoData,
                                      const std::function<void(DEVINST)>& queryMatch)
{
    HDEVINFO devices =
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
    if (devices == INVALID_HANDLE_VALUE) {
        LogMessage::getInstance()->logDebug("Invalid handle for device info");
        return 1;
    }

    // Adds the device to the set in case idText is a device instance
    // identifier; the callers' texts usually are not, so failure is normal.
    SetupDiOpenDeviceInfoA(devices, idText.c_str(), nullptr, 0, nullptr);
    const char* prefix = pattern != nullptr ? pattern : idText.c_str();

    int result = 1;
    if (FindLastMatchingDevice(devices, prefix, deviceInfoData, LogOutOfMemory)) {
        deviceInfoSet = devices;
        result = 0;
    }

    if (result == 0 && queryMatch) {
        queryMatch(deviceInfoData.DevInst);
    }
    SetupDiDestroyDeviceInfoList(devices);
    return result;
}

int TDeviceStatus::GetDeviceInstanceId(std::string deviceId, std::string& instanceId)
{
    return GetDeviceInstanceId(deviceId, nullptr, instanceId);
}

int TDeviceStatus::GetDeviceInstanceId(std::string idText, const char* pattern,
                                       std::string& instanceId)
{
    HDEVINFO deviceInfoSet = nullptr;
    SP_DEVINFO_DATA deviceInfoData{};
    return FindDeviceAndQuery(idText, pattern, deviceInfoSet, deviceInfoData,
                              [&instanceId](DEVINST match) {
                                  char buffer[kInstanceIdBufferLength];
                                  buffer[0] = '\0';
                                  if (CM_Get_Device_IDA(match, buffer, kInstanceIdBufferLength,
                                                        0) == CR_SUCCESS) {
                                      instanceId = buffer;
                                  }
                              });
}
