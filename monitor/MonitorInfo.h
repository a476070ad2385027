#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"
#include "host/Host.h"
#include "platform/Win32.h"

// The monitor collector: desktop monitors described by their EDID blocks, the
// display modes those blocks announce, and the links between the two.
class TMonitorInfo : public TDisplay {
public:
    explicit TMonitorInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls);
    ~TMonitorInfo() override;
    std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string className) override;

    // One builder per served class; each returns one map per instance.
    PropertyMapList GetMonitorInfo();
    PropertyMapList GetMonitorResolution();
    PropertyMapList GetMonitorSettings();

    // The DeviceID of every monitor below every adapter, each once, in the
    // order found.
    std::vector<std::string> GetMonitorArray();
    // Resolves a monitor (monitorDeviceId is cut at "\{" in place) and reads
    // its EDID block; 0 on success. Records the device ID or the desktop
    // monitor's base properties, depending on the requested class.
    int GetMonitorDeviceData(char* monitorDeviceId, BYTE* edid, DWORD* edidSize);
    void SetDeviceID(std::string id);
    std::string GetDeviceID();
    // The scoping properties; 0 on success, 1 when the host failed.
    int AddSystemProperties();

    // EDID decoding into m_properties. edid points to a block of at least
    // 128 bytes, of which edidSize were read (up to the buffer size).
    int DecodeEDID(const BYTE* edid, DWORD edidSize);
    int ValidateEDID(const BYTE* edid);
    // -2 for a detailed timing descriptor, -1 for a display descriptor whose
    // byte 2 is not 0, otherwise the display descriptor's tag.
    int GetDescriptorTag(const BYTE* descriptor);
    void GetDescriptorText(const BYTE* descriptor, std::string& text);
    void DecodeManufacturer(const BYTE* id, std::string& text);
    void DecodeRangeLimits(const BYTE* descriptor);
    NORNKVT20::TCIMDateTime MakeManufacturingDate(BYTE week, WORD year);
    short GetUTCOffsetMinutes();

    // The modes of one monitor, numbered for the current device ID.
    PropertyMapList DecodeResolutions(const BYTE* edid, DWORD edidSize);

protected:
    std::string m_deviceID;
    PropertyMap m_properties;

private:
    // Copies the monitor ID into a writable buffer and reads its EDID block
    // into edid (resized to the buffer size); the result of GetMonitorDeviceData.
    int ReadMonitorData(const std::string& monitorId, std::vector<BYTE>& edid, DWORD& edidSize);
    void AddBaseProperties(const std::string& instanceId, const std::string& hardwareId);
    void AddDescription(const std::string& instanceId);
    void AddDescriptorText(const BYTE* edid, int tag, const std::string& propertyName);
    void AddDigitalInterface(const BYTE* edid, DWORD edidSize);
    void AppendMode(PropertyMapList& modes, unsigned& modeNumber, DWORD horizontal, DWORD vertical,
                    DWORD refresh, WORD scanMode);
};
