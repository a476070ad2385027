#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"
#include "host/Host.h"
#include "monitor/EdidParser.h"
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

    // EDID decoding into m_properties. block points to at least 128 bytes,
    // of which edidSize were read (up to the buffer size).
    int DecodeEDID(const BYTE* block, DWORD edidSize);
    NORNKVT20::TCIMDateTime MakeManufacturingDate(BYTE week, WORD year);
    short GetUTCOffsetMinutes();

    // The modes of one monitor, numbered for the current device ID.
    PropertyMapList DecodeResolutions(const BYTE* block, DWORD edidSize);

protected:
    std::string m_deviceID;
    PropertyMap m_properties;

private:
    // Copies the monitor ID into a writable buffer and reads its EDID block
    // into edid (resized to the buffer size); the result of GetMonitorDeviceData.
    int ReadMonitorData(const std::string& monitorId, std::vector<BYTE>& edid, DWORD& edidSize);
    void AddBaseProperties(const std::string& instanceId, const std::string& hardwareId);
    void AddDescription(const std::string& instanceId);
    // Parses a block as DecodeEDID receives it; warns when it is not valid.
    edid::EdidInfo ParseBlock(const BYTE* block, DWORD edidSize);
    // Logs the tag of each display descriptor, in order, up to the first whose
    // DescriptorTag is stopTag, as a search for that tag visits them.
    void LogDescriptorScan(const edid::EdidInfo& info, int stopTag);
    // Logs the tag of a display descriptor and answers it, or
    // kUntaggedDescriptor when its byte 2 is not 0; answers kDetailedTiming,
    // without logging, for a detailed timing (EdidLayout's constants).
    int DescriptorTag(const edid::Descriptor& descriptor);
    void AppendMode(PropertyMapList& modes, unsigned& modeNumber, const edid::Mode& mode,
                    WORD scanMode);
};
