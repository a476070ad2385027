#include <sstream>

#include "monitor/EdidLayout.h"
#include "monitor/MonitorInfo.h"

using NORNKVT20::TCIMValue;
using namespace EdidLayout;

namespace {

// CIM scan modes.
const WORD kScanUnknown = 2;
const WORD kScanNonInterlaced = 4;
const WORD kScanInterlaced = 5;

WORD CimScanMode(edid::ScanMode scanMode)
{
    switch (scanMode) {
    case edid::ScanMode::NonInterlaced:
        return kScanNonInterlaced;
    case edid::ScanMode::Interlaced:
        return kScanInterlaced;
    default:
        return kScanUnknown;
    }
}

}  // namespace

PropertyMapList TMonitorInfo::GetMonitorResolution()
{
    PropertyMapList modes;
    const std::vector<std::string> monitorIds = GetMonitorArray();
    if (monitorIds.empty()) {
        m_logger->logWarning("Monitor Resolution:Could not get monitor Array");
        return modes;
    }

    for (const std::string& monitorId : monitorIds) {
        std::vector<BYTE> edid;
        DWORD edidSize = 0;
        // A successful read has set the device ID the modes are numbered for.
        if (ReadMonitorData(monitorId, edid, edidSize) == 0 && edidSize != 0) {
            m_properties.clear();
            const PropertyMapList monitorModes = DecodeResolutions(edid.data(), edidSize);
            modes.insert(modes.end(), monitorModes.begin(), monitorModes.end());
        }
    }
    return modes;
}

// All modes lie in the base block, so edidSize is not needed.
PropertyMapList TMonitorInfo::DecodeResolutions(const BYTE* block, DWORD /*edidSize*/)
{
    PropertyMapList modes;
    const edid::EdidInfo info = ParseBlock(block, static_cast<DWORD>(kBlockSize));
    if (!info.valid) {
        return modes;
    }
    const std::string deviceId = GetDeviceID();
    if (deviceId.empty()) {
        m_logger->logWarning("Monitor Resolution : Could not get Device ID");
        return modes;
    }

    // The scan mode of all modes is found by looking for the first detailed
    // timing descriptor.
    LogDescriptorScan(info, kDetailedTiming);
    const WORD scanMode = CimScanMode(info.scanMode);

    unsigned modeNumber = 1;
    for (const edid::Mode& mode : info.modes) {
        AppendMode(modes, modeNumber, mode, scanMode);
    }
    return modes;
}

void TMonitorInfo::AppendMode(PropertyMapList& modes, unsigned& modeNumber, const edid::Mode& mode,
                              WORD scanMode)
{
    // SettingID begins with the monitor's DeviceID, which links the two.
    std::ostringstream settingId;
    settingId << GetDeviceID() << "\\ Setting " << modeNumber;
    ++modeNumber;

    m_properties.clear();
    addProperty(m_properties, "SettingID", TCIMValue(settingId.str()));
    addProperty(m_properties, "HorizontalResolution", TCIMValue(mode.horizontal));
    addProperty(m_properties, "VerticalResolution", TCIMValue(mode.vertical));
    addProperty(m_properties, "RefreshRate", TCIMValue(mode.refresh));
    addProperty(m_properties, "ScanMode", TCIMValue(static_cast<std::uint16_t>(scanMode)));
    modes.push_back(m_properties);
}
