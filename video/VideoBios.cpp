#include <cstdint>

#include "video/VideoInfo.h"

using NORNKVT20::TCIMValue;

void TVideoInfo::AddBiosProperties()
{
    addProperty(m_properties, "Name", TCIMValue("Video Device"));
    addProperty(m_properties, "SoftwareElementID", TCIMValue("KVT Video Bios Firmware"));
    // CIM TargetOperatingSystem 0 (Unknown), SoftwareElementState 3 (Executable).
    addProperty(m_properties, "TargetOperatingSystem", TCIMValue(static_cast<std::uint16_t>(0)));
    addProperty(m_properties, "SoftwareElementState", TCIMValue(static_cast<std::uint16_t>(3)));
}
