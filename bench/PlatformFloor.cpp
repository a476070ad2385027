#include "bench/PlatformFloor.h"

#include <algorithm>
#include <string>
#include <vector>

#include "devstatus/DeviceSearch.h"
#include "devstatus/LookupRules.h"
#include "monitor/EdidLayout.h"
#include "platform/Win32.h"

namespace {

using namespace LookupRules;

constexpr DWORD kEdidSize = static_cast<DWORD>(EdidLayout::kBufferSize);

enum class VideoClass { Controller, Head, Bios };

class Floor {
public:
    void Run()
    {
        Video(VideoClass::Controller);
        Video(VideoClass::Head);
        Video(VideoClass::Bios);
        // The two video associations and the monitor settings make no
        // platform calls.
        Monitors(true);
        Monitors(false);
    }

private:
    BOOL EnumDevice(const char* device, DWORD n, DISPLAY_DEVICEA& record)
    {
        record.cb = sizeof(DISPLAY_DEVICEA);
        return EnumDisplayDevicesA(device, n, &record, 0);
    }

    BOOL EnumMode(const char* device, DWORD n, DEVMODEA& mode)
    {
        mode.dmSize = sizeof(DEVMODEA);
        return EnumDisplaySettingsA(device, n, &mode);
    }

    bool Lookup(const char* idText, const char* pattern, DEVINST& match)
    {
        HDEVINFO devices =
            SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
        if (devices == INVALID_HANDLE_VALUE) {
            return false;
        }
        SetupDiOpenDeviceInfoA(devices, idText, nullptr, 0, nullptr);
        SP_DEVINFO_DATA device{};
        const bool found = FindLastMatchingDevice(devices, pattern, device, nullptr);
        match = device.DevInst;
        SetupDiDestroyDeviceInfoList(devices);
        return found;
    }

    void InstanceId(DEVINST match, std::string& instanceId)
    {
        char buffer[kInstanceIdBufferLength];
        if (CM_Get_Device_IDA(match, buffer, kInstanceIdBufferLength, 0) == CR_SUCCESS) {
            instanceId = buffer;
        }
    }

    void Status(DEVINST match)
    {
        ULONG status = 0;
        ULONG problem = 0;
        CM_Get_DevNode_Status(&status, &problem, match, 0);
    }

    bool Open(const char* path, HKEY& key)
    {
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
    }

    void Read(HKEY key, const char* name, DWORD size)
    {
        DWORD type = REG_NONE;
        RegQueryValueExA(key, name, nullptr, &type, value_, &size);
    }

    void Close(HKEY key)
    {
        RegCloseKey(key);
    }

    void HardwareInformation(const char* driverKey, VideoClass requested)
    {
        char path[kDriverValueSize];
        const char* subKey = DriverKeyInPath(driverKey, path);
        HKEY key = nullptr;
        if (subKey == nullptr || !Open(subKey, key)) {
            return;
        }
        Read(key, kBiosStringValue, kDriverValueSize);
        if (requested != VideoClass::Bios) {
            Read(key, kChipTypeValue, kDriverValueSize);
            Read(key, kDacTypeValue, kDriverValueSize);
            Read(key, kAdapterStringValue, kDriverValueSize);
            Read(key, kMemorySizeValue, kDriverValueSize);
        }
        Close(key);
    }

    void DisplayMode(const char* deviceName)
    {
        DISPLAY_DEVICEA monitor{};
        for (DWORD n = 0; EnumDevice(deviceName, n, monitor); ++n) {
        }
        DEVMODEA mode{};
        EnumMode(deviceName, ENUM_CURRENT_SETTINGS, mode);
        if (EnumMode(deviceName, 0, mode)) {
            for (DWORD n = 1; EnumMode(deviceName, n, mode); ++n) {
            }
        }
    }

    void Video(VideoClass requested)
    {
        DISPLAY_DEVICEA output{};
        bool idsReported = false;
        for (DWORD n = 0; !idsReported && EnumDevice(nullptr, n, output); ++n) {
            idsReported = output.DeviceID[0] != '\0';
        }
        std::vector<std::string> accepted;
        for (DWORD n = 0; EnumDevice(nullptr, n, output); ++n) {
            const std::string deviceId = output.DeviceID;
            if (!AdapterExamined(idsReported, deviceId) ||
                (output.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) {
                continue;
            }
            if (requested != VideoClass::Head) {
                if (std::find(accepted.begin(), accepted.end(), deviceId) != accepted.end()) {
                    continue;
                }
                accepted.push_back(deviceId);
            }
            const std::string deviceName = output.DeviceName;
            HardwareInformation(output.DeviceKey, requested);
            if (requested == VideoClass::Bios) {
                continue;
            }
            if (requested == VideoClass::Controller) {
                DEVINST match = 0;
                std::string instanceId;
                if (Lookup(deviceId.c_str(), deviceId.c_str(), match)) {
                    InstanceId(match, instanceId);
                }
                if (Lookup(deviceId.c_str(), deviceId.c_str(), match)) {
                    Status(match);
                }
            }
            DisplayMode(deviceName.c_str());
        }
    }

    void Monitors(bool desktopMonitors)
    {
        std::vector<std::string> monitors;
        DISPLAY_DEVICEA record{};
        for (DWORD adapter = 0; EnumDevice(nullptr, adapter, record); ++adapter) {
            if (record.DeviceID[0] == '\0') {
                continue;
            }
            const std::string adapterName = record.DeviceName;
            for (DWORD n = 0; EnumDevice(adapterName.c_str(), n, record); ++n) {
                if (std::find(monitors.begin(), monitors.end(), record.DeviceID) ==
                    monitors.end()) {
                    monitors.push_back(record.DeviceID);
                }
            }
        }
        for (const std::string& monitor : monitors) {
            const std::string hardwareId = MonitorHardwareId(monitor);
            DEVINST match = 0;
            std::string instanceId;
            if (!Lookup(kDisplayEnumerator, hardwareId.c_str(), match)) {
                continue;
            }
            InstanceId(match, instanceId);
            const std::string enumKey = kEnumKey + instanceId;
            HKEY key = nullptr;
            if (!Open((enumKey + kDeviceParameters).c_str(), key)) {
                continue;
            }
            Read(key, kEdidValue, kEdidSize);
            Close(key);
            if (!desktopMonitors) {
                continue;
            }
            if (Lookup(kDisplayEnumerator, hardwareId.c_str(), match)) {
                Status(match);
            }
            if (Open(enumKey.c_str(), key)) {
                Read(key, kDeviceDescValue, kDeviceDescSize);
                Close(key);
            }
        }
    }

    BYTE value_[kEdidSize];
};

}  // namespace

void RunPlatformFloor()
{
    Floor floor;
    floor.Run();
}
