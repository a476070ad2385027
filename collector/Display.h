#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "collector/PropertyMap.h"
#include "host/Host.h"
#include "collector/LogMessage.h"

// Base of the collectors: holds the requested class and the logger, and
// turns property maps into committed host instances.
class TDisplay {
public:
    explicit TDisplay(boost::shared_ptr<NORNKVT20::ICIMClass> cls);

    virtual NORNKVT20::ICIMClass* getCIMClass();
    virtual ~TDisplay();
    // Builds and commits the instances of className; returns them in order.
    virtual std::vector<NORNKVT20::ICIMInstance*> generateInstances(std::string className) = 0;
    // Generates the instances of the requested class.
    virtual std::vector<NORNKVT20::ICIMInstance*> retrieveInstances();

    // Creates an instance of the requested class, sets every entry of the
    // map on it in name order and commits it when className is exactly the
    // requested class's name. Host exceptions pass through.
    NORNKVT20::ICIMInstance* generateCIMInstance(PropertyMap properties, std::string className);

protected:
    NORNKVT20::ICIMClass* m_class;
    LogMessage* m_logger;
};
