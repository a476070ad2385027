#include "devstatus/DeviceStatus.h"

#include <cstdint>
#include <vector>

#include "devstatus/CIMArrayValue.h"
#include "devstatus/DeviceProblemTable.h"
#include "collector/LogMessage.h"

namespace {

// CIM OperationalStatus values for a device without a problem.
constexpr std::uint16_t kStatusUnknown = 0;
constexpr std::uint16_t kStatusOK = 2;

// Translates a device node's status bits and problem number into the two
// status properties.
PropertyMap StatusProperties(ULONG status, ULONG problemNumber)
{
    std::vector<std::string> descriptions;
    std::vector<std::uint16_t> values;
    bool problemSeen = false;

    if ((status & DN_HAS_PROBLEM) != 0) {
        problemSeen = true;
        const TDeviceProblem* problem = FindDeviceProblem(problemNumber);
        if (problem != nullptr) {
            descriptions.push_back(problem->description);
            values.push_back(problem->operationalStatus);
        } else {
            descriptions.push_back(std::string());
        }
    }
    if ((status & DN_PRIVATE_PROBLEM) != 0) {
        problemSeen = true;
        descriptions.push_back("Device has private problem.");
    }
    if ((status & DN_STARTED) != 0) {
        descriptions.push_back("Device is started");
        values.push_back(kStatusOK);
    } else if (!problemSeen) {
        descriptions.push_back("Device is not started");
        values.push_back(kStatusUnknown);
    }

    PropertyMap properties;
    addProperty(properties, "OperationalStatus", Uint16ArrayValue(values));
    addProperty(properties, "StatusDescriptions", StringArrayValue(descriptions));
    return properties;
}

}  // namespace

PropertyMap TDeviceStatus::GetDeviceStatus(std::string deviceId)
{
    return GetDeviceStatus(deviceId, nullptr);
}

PropertyMap TDeviceStatus::GetDeviceStatus(std::string idText, const char* pattern)
{
    HDEVINFO deviceInfoSet = nullptr;
    SP_DEVINFO_DATA deviceInfoData{};
    ULONG status = 0;
    ULONG problemNumber = 0;
    CONFIGRET answer = CR_SUCCESS;
    if (FindDeviceAndQuery(idText, pattern, deviceInfoSet, deviceInfoData,
                           [&](DEVINST match) {
                               answer = CM_Get_DevNode_Status(&status, &problemNumber, match, 0);
                           }) != 0) {
        return PropertyMap();
    }
    if (answer != CR_SUCCESS) {
        LogMessage::getInstance()->logWarning("Could not find information list or status.");
        return PropertyMap();
    }
    return StatusProperties(status, problemNumber);
}

void AddStatusProperties(PropertyMap& properties, const PropertyMap& status)
{
    for (const char* name : {"OperationalStatus", "StatusDescriptions"}) {
        PropertyMap::const_iterator entry = status.find(name);
        if (entry != status.end()) {
            addProperty(properties, name, entry->second);
        }
    }
}
