#include "video/VideoInfo.h"

TVideoInfo::TVideoInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls) : TDisplay(cls) {}

TVideoInfo::~TVideoInfo() {}

std::vector<NORNKVT20::ICIMInstance*> TVideoInfo::generateInstances(std::string)
{
    return std::vector<NORNKVT20::ICIMInstance*>();
}
