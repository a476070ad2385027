#include <atomic>
#include <cstdint>
#include <vector>

#include "devstatus/CIMArrayValue.h"
#include "devstatus/DeviceStatus.h"
#include "collector/DisplayDeviceText.h"
#include "collector/ScopingProperties.h"
#include "video/VideoInfo.h"

using NORNKVT20::TCIMValue;

namespace {

// Numbers the heads for as long as the module is loaded, across requests,
// collectors and the threads a host serves requests on. Each head takes its
// number and moves the counter on in one atomic step, so two heads made at
// once never share a number and none is skipped; the addition wraps to 0
// after 255 as unsigned arithmetic does. It needs no ordering with other
// memory, and no lock: an 8-bit atomic is lock-free on every target (checked
// below). Constant-initialised, so nothing runs at load time.
std::atomic<std::uint8_t> s_nextHeadNumber{1};
static_assert(std::atomic<std::uint8_t>::is_always_lock_free,
              "the head counter must not take a lock");

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

        AddStatusProperties(m_properties, deviceStatus.GetDeviceStatus(deviceId));
        addProperty(m_properties, "CreationClassName", TCIMValue(VideoClass::Controller));
    } else {
        addProperty(m_properties, "CreationClassName", TCIMValue(VideoClass::Head));
        addProperty(m_properties, "DeviceID",
                    TCIMValue("VIDEOHEAD" + FieldText(device.DeviceName)));
        const std::uint8_t headNumber = s_nextHeadNumber.fetch_add(1, std::memory_order_relaxed);
        addProperty(m_properties, "HeadNumber", TCIMValue(headNumber));
    }

    return AddScopingProperties(getCIMClass(), m_logger, m_properties);
}
