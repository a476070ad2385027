#include "monitor/MonitorInfo.h"

TMonitorInfo::TMonitorInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls) : TDisplay(cls) {}

TMonitorInfo::~TMonitorInfo() {}

std::vector<NORNKVT20::ICIMInstance*> TMonitorInfo::generateInstances(std::string)
{
    return std::vector<NORNKVT20::ICIMInstance*>();
}
