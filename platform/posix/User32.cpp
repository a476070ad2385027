// Display devices and display settings of the window system.
#include "platform/posix/User32.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/Machine.h"

using displayplatform::detail::CurrentMachine;
using displayplatform::detail::DisplayAdapter;
using displayplatform::detail::DisplayDevice;
using displayplatform::detail::DisplayMode;
using displayplatform::detail::Machine;

namespace {

// The record size of Windows 95/NT 4, which ended after StateFlags.
constexpr DWORD kLegacyDisplayDeviceSize = offsetof(DISPLAY_DEVICEA, DeviceID);
// DEVMODEA up to dmDisplayFrequency, the part every caller's record holds.
constexpr WORD kBaseDevModeSize = offsetof(DEVMODEA, dmICMMethod);

void CopyField(char* field, std::size_t fieldSize, const std::string& text)
{
    // Descriptions are checked on load to fit with their terminator.
    const std::size_t length = std::min(text.size(), fieldSize - 1);
    std::memcpy(field, text.data(), length);
    std::memset(field + length, 0, fieldSize - length);
}

// Null or empty names the adapters themselves.
bool NamesAdapters(LPCSTR device)
{
    return device == nullptr || device[0] == '\0';
}

// The adapter that EnumDisplaySettingsA(NULL, ...) speaks of: the primary one,
// else the first.
const DisplayAdapter* PrimaryAdapter(const Machine& machine)
{
    for (const DisplayAdapter& adapter : machine.displayDevices) {
        if ((adapter.stateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0) {
            return &adapter;
        }
    }
    return machine.displayDevices.empty() ? nullptr : &machine.displayDevices.front();
}

}  // namespace

// Fills as much of the record as its cb admits: name, string and flags need
// the legacy size, DeviceID and DeviceKey are written only when the record
// reaches over them. A smaller cb fails, as on Windows. (Wine accepts any cb,
// even 0.) The EDD_GET_DEVICE_INTERFACE_NAME flag is not modelled: monitors
// report their DeviceID in the plain form whatever the flags.
BOOL WINAPI EnumDisplayDevicesA(LPCSTR lpDevice, DWORD iDevNum, PDISPLAY_DEVICEA lpDisplayDevice,
                                DWORD /*dwFlags*/)
{
    if (lpDisplayDevice == nullptr || lpDisplayDevice->cb < kLegacyDisplayDeviceSize) {
        return FALSE;
    }
    const auto machine = CurrentMachine();
    const DisplayDevice* entry = nullptr;
    if (NamesAdapters(lpDevice)) {
        if (iDevNum < machine->displayDevices.size()) {
            entry = &machine->displayDevices[iDevNum];
        }
    } else if (const DisplayAdapter* adapter = machine->FindAdapter(lpDevice)) {
        if (iDevNum < adapter->monitors.size()) {
            entry = &adapter->monitors[iDevNum];
        }
    }
    if (entry == nullptr) {
        return FALSE;
    }
    const DWORD cb = lpDisplayDevice->cb;
    CopyField(lpDisplayDevice->DeviceName, sizeof lpDisplayDevice->DeviceName, entry->deviceName);
    CopyField(lpDisplayDevice->DeviceString, sizeof lpDisplayDevice->DeviceString,
              entry->deviceString);
    lpDisplayDevice->StateFlags = entry->stateFlags;
    if (cb >= offsetof(DISPLAY_DEVICEA, DeviceID) + sizeof lpDisplayDevice->DeviceID) {
        CopyField(lpDisplayDevice->DeviceID, sizeof lpDisplayDevice->DeviceID, entry->deviceID);
    }
    if (cb >= sizeof(DISPLAY_DEVICEA)) {
        CopyField(lpDisplayDevice->DeviceKey, sizeof lpDisplayDevice->DeviceKey,
                  entry->deviceKey);
    }
    return TRUE;
}

// Modes of an adapter output: ENUM_CURRENT_SETTINGS and ENUM_REGISTRY_SETTINGS
// give the current mode, 0, 1, 2, ... the mode list. The record's first 124
// bytes are always written (dmSize is not checked, as on Windows and Wine);
// the ICM and panning fields only when dmSize covers the whole record. dmSize
// comes back as the size written. Monitors have no modes.
BOOL WINAPI EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode)
{
    if (lpDevMode == nullptr) {
        return FALSE;
    }
    const auto machine = CurrentMachine();
    const DisplayAdapter* adapter =
        NamesAdapters(lpszDeviceName) ? PrimaryAdapter(*machine) : machine->FindAdapter(lpszDeviceName);
    if (adapter == nullptr) {
        return FALSE;
    }
    const bool current = iModeNum == ENUM_CURRENT_SETTINGS || iModeNum == ENUM_REGISTRY_SETTINGS;
    const DisplayMode* mode = nullptr;
    if (current) {
        if (adapter->currentMode) {
            mode = &*adapter->currentMode;
        }
    } else if (iModeNum < adapter->modes.size()) {
        mode = &adapter->modes[iModeNum];
    }
    if (mode == nullptr) {
        return FALSE;
    }
    const WORD size = lpDevMode->dmSize >= sizeof(DEVMODEA) ? sizeof(DEVMODEA) : kBaseDevModeSize;
    std::memset(lpDevMode, 0, size);
    CopyField(reinterpret_cast<char*>(lpDevMode->dmDeviceName), sizeof lpDevMode->dmDeviceName,
              adapter->deviceName);
    lpDevMode->dmSpecVersion = DM_SPECVERSION;
    lpDevMode->dmDriverVersion = DM_SPECVERSION;
    lpDevMode->dmSize = size;
    lpDevMode->dmDriverExtra = 0;
    lpDevMode->dmFields =
        DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFLAGS | DM_DISPLAYFREQUENCY;
    if (current) {
        // Position and orientation belong to the mode in use only.
        lpDevMode->dmFields |= DM_POSITION | DM_DISPLAYORIENTATION;
    }
    lpDevMode->dmBitsPerPel = mode->bitsPerPel;
    lpDevMode->dmPelsWidth = mode->pelsWidth;
    lpDevMode->dmPelsHeight = mode->pelsHeight;
    lpDevMode->dmDisplayFlags = mode->displayFlags;
    lpDevMode->dmDisplayFrequency = mode->displayFrequency;
    return TRUE;
}
