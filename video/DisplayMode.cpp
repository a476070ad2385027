#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "devstatus/CIMArrayValue.h"
#include "collector/DisplayDeviceText.h"
#include "video/VideoInfo.h"

using NORNKVT20::TCIMValue;

namespace {

// CIM CurrentScanMode values.
constexpr std::uint16_t kScanModeInterlaced = 3;
constexpr std::uint16_t kScanModeNonInterlaced = 4;

// The start of the minimum search: an output whose modes all report more
// never gets a minimum.
constexpr DWORD kNoMinimum = 0xFFFF;

// Frequencies 0 and 1 mean "hardware default", not a rate.
constexpr DWORD kLowestRealFrequency = 2;

bool EnumMode(const std::string& deviceName, DWORD modeNumber, DEVMODEA& mode)
{
    mode.dmSize = sizeof(DEVMODEA);
    return EnumDisplaySettingsA(deviceName.c_str(), modeNumber, &mode) != FALSE;
}

TCIMValue Uint32Value(DWORD value)
{
    return TCIMValue(static_cast<std::uint32_t>(value));
}

}  // namespace

int TVideoInfo::GetCurrentDisplayMode(std::string deviceName)
{
    std::unique_ptr<DEVMODEA> mode(new (std::nothrow) DEVMODEA());
    if (!mode) {
        m_logger->logError("Could not allocate memory.");
        return 1;
    }
    std::unique_ptr<DISPLAY_DEVICEA> monitor(new (std::nothrow) DISPLAY_DEVICEA());
    if (!monitor) {
        m_logger->logError("Could not allocate memory.");
        return 1;
    }

    std::vector<std::string> monitorNames;
    for (DWORD n = 0;; ++n) {
        monitor->cb = sizeof(DISPLAY_DEVICEA);
        if (!EnumDisplayDevicesA(deviceName.c_str(), n, monitor.get(), 0)) {
            break;
        }
        monitorNames.push_back(FieldText(monitor->DeviceString));
    }
    if (!monitorNames.empty()) {
        addProperty(m_properties, "MonitorString", StringArrayValue(monitorNames));
    }

    if (EnumMode(deviceName, ENUM_CURRENT_SETTINGS, *mode)) {
        addProperty(m_properties, "CurrentBitsPerPixel", Uint32Value(mode->dmBitsPerPel));
        addProperty(m_properties, "CurrentHorizontalResolution", Uint32Value(mode->dmPelsWidth));
        addProperty(m_properties, "CurrentVerticalResolution", Uint32Value(mode->dmPelsHeight));
        addProperty(m_properties, "CurrentRefreshRate", Uint32Value(mode->dmDisplayFrequency));
        const bool interlaced = (mode->dmDisplayFlags & DM_INTERLACED) != 0;
        addProperty(m_properties, "CurrentScanMode",
                    TCIMValue(interlaced ? kScanModeInterlaced : kScanModeNonInterlaced));
    }

    // Mode 0 only tells whether the output has a mode list; the range is
    // taken over modes 1, 2, ...
    if (EnumMode(deviceName, 0, *mode)) {
        DWORD maximum = 0;
        DWORD minimum = kNoMinimum;
        for (DWORD modeNumber = 1; EnumMode(deviceName, modeNumber, *mode); ++modeNumber) {
            const DWORD frequency = mode->dmDisplayFrequency;
            if (frequency >= kLowestRealFrequency) {
                maximum = std::max(maximum, frequency);
                minimum = std::min(minimum, frequency);
            }
        }
        if (maximum != 0) {
            addProperty(m_properties, "MaxRefreshRate", Uint32Value(maximum));
        }
        if (minimum != kNoMinimum) {
            addProperty(m_properties, "MinRefreshRate", Uint32Value(minimum));
        }
    }
    return 0;
}
