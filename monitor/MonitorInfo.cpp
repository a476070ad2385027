#include "monitor/MonitorInfo.h"

#include <sstream>

#include "collector/AssociationBuilder.h"

namespace {

const char* const kDesktopMonitor = "ORNSG_DesktopMonitor";
const char* const kMonitorResolution = "ORNSG_MonitorResolution";
const char* const kMonitorSetting = "ORNSG_MonitorSetting";

const char* const kGenerateError =
    "Monitor encountered an error\t\t\t\t\t\t\t\t generating CIM instances. Error Code: ";
const char* const kAssociationError =
    "Monitor association encountered an error\t\t\t\t\t\t\tenumerating CIM instances for ";

}  // namespace

TMonitorInfo::TMonitorInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls) : TDisplay(cls) {}

TMonitorInfo::~TMonitorInfo() {}

std::vector<NORNKVT20::ICIMInstance*> TMonitorInfo::generateInstances(std::string className)
{
    std::vector<NORNKVT20::ICIMInstance*> instances;

    PropertyMapList maps;
    if (className == kMonitorSetting) {
        maps = GetMonitorSettings();
    } else if (className == kDesktopMonitor) {
        maps = GetMonitorInfo();
    } else if (className == kMonitorResolution) {
        maps = GetMonitorResolution();
    }

    for (const PropertyMap& map : maps) {
        // A host failure costs only the instance it happened on.
        try {
            instances.push_back(generateCIMInstance(map, className));
        } catch (const NORNKVT20::TKVTException& e) {
            std::ostringstream text;
            text << e.GetMessageText();
            m_logger->logWarning(kGenerateError + text.str());
        }
    }
    return instances;
}

PropertyMapList TMonitorInfo::GetMonitorSettings()
{
    TAssociationParameters parameters;
    parameters.firstClass = kDesktopMonitor;
    parameters.firstKey = "DeviceID";
    parameters.secondClass = kMonitorResolution;
    parameters.secondKey = "SettingID";
    parameters.firstRole = "Element";
    parameters.secondRole = "Setting";
    parameters.messagePrefix = kAssociationError;
    // Every SettingID of a monitor's resolutions begins with its DeviceID.
    parameters.rule = PrefixRule;
    return BuildAssociations(getCIMClass(), m_logger, m_properties, parameters);
}

void TMonitorInfo::SetDeviceID(std::string id)
{
    m_deviceID = id;
}

std::string TMonitorInfo::GetDeviceID()
{
    return m_deviceID;
}
