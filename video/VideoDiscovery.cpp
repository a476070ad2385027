#include <algorithm>
#include <memory>
#include <new>

#include "collector/DisplayDeviceText.h"
#include "devstatus/LookupRules.h"
#include "video/VideoInfo.h"

namespace {

// Fills device with output number n of the adapters; false past the last one.
bool EnumOutput(DWORD n, DISPLAY_DEVICEA& device)
{
    device.cb = sizeof(DISPLAY_DEVICEA);
    return EnumDisplayDevicesA(nullptr, n, &device, 0) != FALSE;
}

// Whether any output reports a hardware identifier. On systems where none
// does, devices without one must not be skipped.
bool AnyOutputHasDeviceId(DISPLAY_DEVICEA& device)
{
    for (DWORD n = 0; EnumOutput(n, device); ++n) {
        if (device.DeviceID[0] != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

PropertyMapList TVideoInfo::GetVideoInfo()
{
    PropertyMapList result;
    std::unique_ptr<DISPLAY_DEVICEA> device(new (std::nothrow) DISPLAY_DEVICEA());
    if (!device) {
        m_logger->logError("Could not allocate memory.");
        return result;
    }

    const bool deviceIdsReported = AnyOutputHasDeviceId(*device);
    // Hardware identifiers of the adapters already taken; a controller or a
    // BIOS stands for an adapter, not for each of its outputs.
    std::vector<std::string> acceptedDeviceIds;

    for (DWORD n = 0; EnumOutput(n, *device); ++n) {
        const std::string deviceId = FieldText(device->DeviceID);
        if (!LookupRules::AdapterExamined(deviceIdsReported, deviceId)) {
            m_logger->logInfo("TVideoInfo::GetVideoInfo: DeviceID is empty");
            continue;
        }
        if ((device->StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
            m_logger->logInfo("TVideoInfo::GetVideoInfo: StateFlags shows this device is not ON");
            continue;
        }
        const std::string className = RequestedClassName();
        if (className == VideoClass::Controller || className == VideoClass::Bios) {
            if (std::find(acceptedDeviceIds.begin(), acceptedDeviceIds.end(), deviceId) !=
                acceptedDeviceIds.end()) {
                continue;
            }
            acceptedDeviceIds.push_back(deviceId);
        }

        const std::string deviceName = FieldText(device->DeviceName);
        if (GetHardwareInformation(FieldText(device->DeviceKey)) != 0) {
            break;
        }

        if (RequestedClassName() == VideoClass::Bios) {
            // Without a readable BIOS string the adapter has no BIOS entry.
            if (!m_properties.empty()) {
                AddBiosProperties();
                result.push_back(m_properties);
            }
            m_properties.clear();
            continue;
        }

        if (GetDeviceProperties(*device) != 0 || GetCurrentDisplayMode(deviceName) != 0) {
            break;
        }
        if (!m_properties.empty()) {
            result.push_back(m_properties);
            m_properties.clear();
        }
    }

    // A stopped device leaves no partial map behind.
    m_properties.clear();
    return result;
}
