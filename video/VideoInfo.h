#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"

// The video collector: controllers, heads, BIOS and their associations.
class TVideoInfo : public TDisplay {
public:
    explicit TVideoInfo(boost::shared_ptr<NORNKVT20::ICIMClass> cls);
    ~TVideoInfo() override;
    std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string className) override;

protected:
    PropertyMap m_properties;
};
