#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"
#include "platform/Win32.h"

// The CIM classes the video collector serves.
namespace VideoClass {
constexpr const char* Controller = "ORNSG_VideoController";
constexpr const char* Head = "ORNSG_VideoHead";
constexpr const char* Bios = "ORNSG_VideoBios";
constexpr const char* BiosOfController = "ORNSG_BiosOfVideoController";
constexpr const char* HeadOfController = "ORNSG_HeadOfVideoController";
}  // namespace VideoClass

// The video collector: controllers (one per adapter hardware identifier),
// heads (one per output attached to the desktop), BIOS entries and the
// associations between them. The builders add to m_properties and return
// 0 to go on or 1 to stop the discovery.
class TVideoInfo : public TDisplay {
public:
    explicit TVideoInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls);
    ~TVideoInfo() override;
    std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string className) override;

    // One property map per controller, head or BIOS of the requested class.
    PropertyMapList GetVideoInfo();
    // Pairs the host's instances of the two classes whose key texts satisfy
    // containment (the second contains the first).
    PropertyMapList GetAssociations(std::string firstClass, std::string firstKey,
                                    std::string secondClass, std::string secondKey);

    // The "HardwareInformation." values of the adapter's driver key.
    int GetHardwareInformation(const std::string& deviceKey);
    // Identity, status and scoping properties of a controller or a head.
    int GetDeviceProperties(const DISPLAY_DEVICEA& device);
    // The fixed properties that complete a BIOS map holding its "Version".
    void AddBiosProperties();
    // Monitors, current mode and refresh-rate range of one output.
    int GetCurrentDisplayMode(std::string deviceName);

protected:
    PropertyMap m_properties;

private:
    // Asked of the host each time, as the class object is the authority.
    std::string RequestedClassName();
};
