#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMValue;

namespace {

// A scoping name as a string value; an empty name still sets the property,
// as the literal "".
TCIMValue ScopingNameValue(const std::string& name)
{
    return name.empty() ? TCIMValue("") : TCIMValue(name);
}

}  // namespace

PropertyMapList TMonitorInfo::GetMonitorInfo()
{
    PropertyMapList monitors;
    const std::vector<std::string> monitorIds = GetMonitorArray();
    if (monitorIds.empty()) {
        m_logger->logWarning("Monitor Info:Did not get monitor Array");
        return monitors;
    }

    for (const std::string& monitorId : monitorIds) {
        std::vector<BYTE> edid;
        DWORD edidSize = 0;
        // A successful read has already put the base properties into m_properties.
        const bool accepted = ReadMonitorData(monitorId, edid, edidSize) == 0 &&
                              (edidSize == 0 || DecodeEDID(edid.data(), edidSize) == 0);
        if (accepted && AddSystemProperties() == 0 && !m_properties.empty()) {
            monitors.push_back(m_properties);
        }
        // Nothing of this monitor may reach the next one's map.
        m_properties.clear();
    }
    return monitors;
}

int TMonitorInfo::AddSystemProperties()
{
    try {
        boost::shared_ptr<NORNKVT20::ICIMNamespace> ns = getCIMClass()->GetNamespace(PropertyMap());
        addProperty(m_properties, "SystemCreationClassName",
                    ScopingNameValue(NORNKVT20::TCIMSchemaHelper::GetSystemCreationClassName(ns)));
        addProperty(m_properties, "SystemName",
                    ScopingNameValue(NORNKVT20::TCIMSchemaHelper::GetSystemName(ns)));
        addProperty(m_properties, "CreationClassName", TCIMValue("ORNSG_DesktopMonitor"));
    } catch (const NORNKVT20::TKVTException& e) {
        m_logger->logError(e.GetMessageText());
        return 1;
    }
    return 0;
}
