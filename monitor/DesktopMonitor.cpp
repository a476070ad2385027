#include "collector/ScopingProperties.h"
#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMValue;

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
    if (AddScopingProperties(getCIMClass(), m_logger, m_properties) != 0) {
        return 1;
    }
    addProperty(m_properties, "CreationClassName", TCIMValue("ORNSG_DesktopMonitor"));
    return 0;
}
