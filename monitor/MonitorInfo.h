#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"

// The monitor collector: desktop monitors, their resolutions and settings.
class TMonitorInfo : public TDisplay {
public:
    explicit TMonitorInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls);
    ~TMonitorInfo() override;
    std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string className) override;

protected:
    std::string m_deviceID;
    PropertyMap m_properties;
};
