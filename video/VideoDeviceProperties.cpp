#include <cstdint>
#include <vector>

#include "devstatus/CIMArrayValue.h"
#include "devstatus/DeviceStatus.h"
#include "collector/DisplayDeviceText.h"
#include "video/VideoInfo.h"

using NORNKVT20::ICIMNamespace;
using NORNKVT20::TCIMSchemaHelper;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

namespace {

// Numbers the heads for as long as the module is loaded, across requests
// and collectors; wraps to 0 after 255. Constant-initialised, so nothing
// runs at load time.
std::uint8_t s_nextHeadNumber = 1;

}  // namespace

int TVideoInfo::GetDeviceProperties(const DISPLAY_DEVICEA& device)
{
    const std::string deviceId = FieldText(device.DeviceID);
    const std::string deviceString = FieldText(device.DeviceString);
    addProperty(m_properties, "DisplayId", TCIMValue(deviceId));
    addProperty(m_properties, "Name", TCIMValue(deviceString));
    addProperty(m_properties, "Description", TCIMValue(deviceString));

    if (RequestedClassName() == VideoClass::Controller) {
        TDeviceStatus deviceStatus;
        // Stays empty when the device installer does not know the adapter.
        std::string instanceId;
        deviceStatus.GetDeviceInstanceId(deviceId, instanceId);
        addProperty(m_properties, "DeviceID", TCIMValue(instanceId));
        addProperty(m_properties, "OtherIdentifyingInfo",
                    StringArrayValue(std::vector<std::string>(1, deviceString)));

        PropertyMap status = deviceStatus.GetDeviceStatus(deviceId);
        for (const char* name : {"OperationalStatus", "StatusDescriptions"}) {
            PropertyMap::const_iterator entry = status.find(name);
            if (entry != status.end()) {
                addProperty(m_properties, name, entry->second);
            }
        }
        addProperty(m_properties, "CreationClassName", TCIMValue(VideoClass::Controller));
    } else {
        addProperty(m_properties, "CreationClassName", TCIMValue(VideoClass::Head));
        addProperty(m_properties, "DeviceID",
                    TCIMValue("VIDEOHEAD" + FieldText(device.DeviceName)));
        addProperty(m_properties, "HeadNumber", TCIMValue(s_nextHeadNumber));
        ++s_nextHeadNumber;
    }

    try {
        boost::shared_ptr<ICIMNamespace> cimNamespace = getCIMClass()->GetNamespace(PropertyMap());
        addProperty(m_properties, "SystemCreationClassName",
                    TCIMValue(TCIMSchemaHelper::GetSystemCreationClassName(cimNamespace)));
        addProperty(m_properties, "SystemName",
                    TCIMValue(TCIMSchemaHelper::GetSystemName(cimNamespace)));
    } catch (const TKVTException& error) {
        m_logger->logError(error.GetMessageText());
        return 1;
    }
    return 0;
}
