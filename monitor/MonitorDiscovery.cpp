#include <algorithm>
#include <memory>
#include <new>

#include "collector/DisplayDeviceText.h"
#include "collector/RegistryReader.h"
#include "devstatus/DeviceStatus.h"
#include "devstatus/LookupRules.h"
#include "monitor/EdidLayout.h"
#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMValue;

namespace {

using LookupRules::kDeviceDescSize;
using LookupRules::kDisplayEnumerator;
using LookupRules::kEnumKey;

// "DeviceDesc" reads "@inf-file,%string-id%;Text": the text after the first
// semicolon is the description. Texts without one are taken whole.
std::string DescriptionFromDeviceDesc(const std::string& deviceDesc)
{
    std::string::size_type semicolon = deviceDesc.find(';');
    if (semicolon == std::string::npos || deviceDesc.size() < 2) {
        return deviceDesc;
    }
    return deviceDesc.substr(semicolon + 1);
}

}  // namespace

std::vector<std::string> TMonitorInfo::GetMonitorArray()
{
    std::vector<std::string> monitors;

    std::unique_ptr<DISPLAY_DEVICEA> record(new (std::nothrow) DISPLAY_DEVICEA());
    if (!record) {
        m_logger->logError("Could not allocate memory.");
        return monitors;
    }

    // The record is filled anew by every call; cb must hold its size each time.
    auto enumerate = [&record](const char* device, DWORD index) {
        record->cb = sizeof(DISPLAY_DEVICEA);
        return EnumDisplayDevicesA(device, index, record.get(), 0) != FALSE;
    };

    for (DWORD adapterIndex = 0; enumerate(nullptr, adapterIndex); ++adapterIndex) {
        if (record->DeviceID[0] == '\0') {
            continue;
        }
        // The monitor calls overwrite the record, so keep the adapter's name.
        const std::string adapterName = FieldText(record->DeviceName);
        for (DWORD monitorIndex = 0; enumerate(adapterName.c_str(), monitorIndex); ++monitorIndex) {
            // A monitor reachable through several adapters is listed once.
            const std::string monitorId = FieldText(record->DeviceID);
            if (std::find(monitors.begin(), monitors.end(), monitorId) == monitors.end()) {
                monitors.push_back(monitorId);
            }
        }
    }
    return monitors;
}

int TMonitorInfo::GetMonitorDeviceData(char* monitorDeviceId, BYTE* edid, DWORD* edidSize)
{
    monitorDeviceId[LookupRules::MonitorHardwareIdLength(monitorDeviceId)] = '\0';
    const std::string hardwareId = monitorDeviceId;

    std::string instanceId;
    TDeviceStatus deviceStatus;
    int result =
        deviceStatus.GetDeviceInstanceId(kDisplayEnumerator, hardwareId.c_str(), instanceId);
    if (result == 0) {
        const std::string keyPath = kEnumKey + instanceId + LookupRules::kDeviceParameters;
        TRegistryReader reader;
        result = reader.open(keyPath.c_str());
        if (result == 0) {
            result = reader.readBinary(LookupRules::kEdidValue, edid, edidSize);
        }
    }

    const std::string className = getCIMClass()->GetName(PropertyMap());
    if (result == 0 && !instanceId.empty()) {
        if (className == "ORNSG_MonitorResolution") {
            SetDeviceID(instanceId);
        } else if (className == "ORNSG_DesktopMonitor") {
            AddBaseProperties(instanceId, hardwareId);
        }
    }
    return result;
}

int TMonitorInfo::ReadMonitorData(const std::string& monitorId, std::vector<BYTE>& edid,
                                  DWORD& edidSize)
{
    edid.assign(EdidLayout::kBufferSize, 0);
    edidSize = static_cast<DWORD>(EdidLayout::kBufferSize);

    // GetMonitorDeviceData cuts the ID in place, so it works on a copy.
    std::vector<char> deviceId(EdidLayout::kBufferSize, '\0');
    std::copy_n(monitorId.begin(), std::min(monitorId.size(), deviceId.size() - 1),
                deviceId.begin());
    return GetMonitorDeviceData(deviceId.data(), edid.data(), &edidSize);
}

void TMonitorInfo::AddBaseProperties(const std::string& instanceId, const std::string& hardwareId)
{
    addProperty(m_properties, "DeviceID", TCIMValue(instanceId));

    TDeviceStatus deviceStatus;
    AddStatusProperties(m_properties,
                        deviceStatus.GetDeviceStatus(kDisplayEnumerator, hardwareId.c_str()));

    AddDescription(instanceId);
}

void TMonitorInfo::AddDescription(const std::string& instanceId)
{
    TRegistryReader reader;
    const std::string keyPath = kEnumKey + instanceId;
    if (reader.open(keyPath.c_str()) != 0) {
        return;
    }
    std::string deviceDesc;
    DWORD size = kDeviceDescSize;
    if (reader.readString(LookupRules::kDeviceDescValue, deviceDesc, &size) == 0 && size != 0) {
        addProperty(m_properties, "Description", TCIMValue(DescriptionFromDeviceDesc(deviceDesc)));
    }
}
