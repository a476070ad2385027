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
// Byte 17 of a detailed timing descriptor: bit 7 marks an interlaced mode.
const std::size_t kTimingFlags = 17;
const BYTE kInterlacedBit = 0x80;

struct TMode {
    DWORD horizontal;
    DWORD vertical;
    DWORD refresh;
};

// The established timings, one per bit: byte 35 bits 0 to 7, then byte 36.
const TMode kEstablishedModes[2][8] = {
    {{800, 600, 60}, {800, 600, 56}, {640, 480, 75}, {640, 480, 72},
     {640, 480, 67}, {640, 480, 60}, {720, 400, 88}, {720, 400, 70}},
    {{1280, 1024, 75}, {1024, 768, 75}, {1024, 768, 70}, {1024, 768, 60},
     {1024, 768, 87}, {832, 624, 75}, {800, 600, 75}, {800, 600, 72}},
};

// A standard timing's first byte of 0 or 1 marks an unused entry.
const BYTE kUnusedStandardTiming = 1;

// A standard-timing entry: horizontal pixels from the first byte, the aspect
// ratio in the top two bits of the second and the refresh rate in the rest.
TMode DecodeStandardTiming(BYTE first, BYTE second)
{
    TMode mode;
    mode.horizontal = first * 8u + 248u;
    switch (second >> 6) {
    case 0:  // 16:10
        mode.vertical = mode.horizontal * 10u / 16u;
        break;
    case 1:  // 4:3
        mode.vertical = mode.horizontal * 3u / 4u;
        break;
    case 2:  // 5:4
        mode.vertical = mode.horizontal * 4u / 5u;
        break;
    default:  // 16:9
        mode.vertical = mode.horizontal * 9u / 16u;
        break;
    }
    mode.refresh = (second & 0x3Fu) + 60u;
    return mode;
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
PropertyMapList TMonitorInfo::DecodeResolutions(const BYTE* edid, DWORD /*edidSize*/)
{
    PropertyMapList modes;
    if (ValidateEDID(edid) != 0) {
        return modes;
    }
    const std::string deviceId = GetDeviceID();
    if (deviceId.empty()) {
        m_logger->logWarning("Monitor Resolution : Could not get Device ID");
        return modes;
    }

    // The first detailed timing descriptor tells the scan mode of all modes.
    WORD scanMode = kScanUnknown;
    for (std::size_t offset : kDescriptors) {
        if (GetDescriptorTag(edid + offset) == kDetailedTiming) {
            const bool interlaced = (edid[offset + kTimingFlags] & kInterlacedBit) != 0;
            scanMode = interlaced ? kScanInterlaced : kScanNonInterlaced;
            break;
        }
    }

    unsigned modeNumber = 1;
    const BYTE establishedTimings[2] = {edid[kEstablishedTimings1], edid[kEstablishedTimings2]};
    for (int byte = 0; byte < 2; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((establishedTimings[byte] >> bit) & 1) {
                const TMode& mode = kEstablishedModes[byte][bit];
                AppendMode(modes, modeNumber, mode.horizontal, mode.vertical, mode.refresh,
                           scanMode);
            }
        }
    }

    for (std::size_t entry = 0; entry < kStandardTimingCount; ++entry) {
        const BYTE* timing = edid + kStandardTimings + 2 * entry;
        if (timing[0] > kUnusedStandardTiming) {
            const TMode mode = DecodeStandardTiming(timing[0], timing[1]);
            AppendMode(modes, modeNumber, mode.horizontal, mode.vertical, mode.refresh, scanMode);
        }
    }
    return modes;
}

void TMonitorInfo::AppendMode(PropertyMapList& modes, unsigned& modeNumber, DWORD horizontal,
                              DWORD vertical, DWORD refresh, WORD scanMode)
{
    // SettingID begins with the monitor's DeviceID, which links the two.
    std::ostringstream settingId;
    settingId << GetDeviceID() << "\\ Setting " << modeNumber;
    ++modeNumber;

    m_properties.clear();
    addProperty(m_properties, "SettingID", TCIMValue(settingId.str()));
    addProperty(m_properties, "HorizontalResolution",
                TCIMValue(static_cast<std::uint32_t>(horizontal)));
    addProperty(m_properties, "VerticalResolution",
                TCIMValue(static_cast<std::uint32_t>(vertical)));
    addProperty(m_properties, "RefreshRate", TCIMValue(static_cast<std::uint32_t>(refresh)));
    addProperty(m_properties, "ScanMode", TCIMValue(static_cast<std::uint16_t>(scanMode)));
    modes.push_back(m_properties);
}
