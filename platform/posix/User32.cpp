// Display devices and display settings of the window system.
#include "platform/posix/User32.h"

#include <algorithm>
#include <cstring>

#include "platform/posix/CallCounts.h"
#include "platform/posix/Machine.h"

using displayplatform::detail::Call;
using displayplatform::detail::CountCall;
using displayplatform::detail::CurrentMachine;
using displayplatform::detail::Machine;
using machine::DisplayDevice;
using machine::DisplayMode;
using machine::Output;

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
const Output* PrimaryOutput(const Machine& machine)
{
    const std::vector<Output>& outputs = machine.Model().outputs;
    for (const Output& output : outputs) {
        if ((output.flags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0) {
            return &output;
        }
    }
    return outputs.empty() ? nullptr : &outputs.front();
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
    CountCall(Call::EnumDisplayDevicesA);
    if (lpDisplayDevice == nullptr || lpDisplayDevice->cb < kLegacyDisplayDeviceSize) {
        return FALSE;
    }
    const auto machine = CurrentMachine();
    const DisplayDevice* entry = nullptr;
    if (NamesAdapters(lpDevice)) {
        if (iDevNum < machine->Model().outputs.size()) {
            entry = &machine->Model().outputs[iDevNum];
        }
    } else if (const Output* output = machine->FindOutput(lpDevice)) {
        if (iDevNum < output->monitors.size()) {
            entry = &output->monitors[iDevNum];
        }
    }
    if (entry == nullptr) {
        return FALSE;
    }
    const DWORD cb = lpDisplayDevice->cb;
    CopyField(lpDisplayDevice->DeviceName, sizeof lpDisplayDevice->DeviceName, entry->name);
    CopyField(lpDisplayDevice->DeviceString, sizeof lpDisplayDevice->DeviceString,
              entry->description);
    lpDisplayDevice->StateFlags = entry->flags;
    if (cb >= offsetof(DISPLAY_DEVICEA, DeviceID) + sizeof lpDisplayDevice->DeviceID) {
        CopyField(lpDisplayDevice->DeviceID, sizeof lpDisplayDevice->DeviceID, entry->id);
    }
    if (cb >= sizeof(DISPLAY_DEVICEA)) {
        CopyField(lpDisplayDevice->DeviceKey, sizeof lpDisplayDevice->DeviceKey,
                  entry->key);
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
    CountCall(Call::EnumDisplaySettingsA);
    if (lpDevMode == nullptr) {
        return FALSE;
    }
    const auto machine = CurrentMachine();
    const Output* output =
        NamesAdapters(lpszDeviceName) ? PrimaryOutput(*machine) : machine->FindOutput(lpszDeviceName);
    if (output == nullptr) {
        return FALSE;
    }
    const bool current = iModeNum == ENUM_CURRENT_SETTINGS || iModeNum == ENUM_REGISTRY_SETTINGS;
    const DisplayMode* mode = nullptr;
    if (current) {
        if (output->current) {
            mode = &*output->current;
        }
    } else if (iModeNum < output->modes.size()) {
        mode = &output->modes[iModeNum];
    }
    if (mode == nullptr) {
        return FALSE;
    }
    const WORD size = lpDevMode->dmSize >= sizeof(DEVMODEA) ? sizeof(DEVMODEA) : kBaseDevModeSize;
    std::memset(lpDevMode, 0, size);
    CopyField(reinterpret_cast<char*>(lpDevMode->dmDeviceName), sizeof lpDevMode->dmDeviceName,
              output->name);
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
    lpDevMode->dmBitsPerPel = mode->bitsPerPixel;
    lpDevMode->dmPelsWidth = mode->width;
    lpDevMode->dmPelsHeight = mode->height;
    lpDevMode->dmDisplayFlags = mode->flags;
    lpDevMode->dmDisplayFrequency = mode->frequency;
    return TRUE;
}
