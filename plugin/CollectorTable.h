#pragma once
#include <string>

#include <boost/shared_ptr.hpp>

#include "collector/Display.h"

// The classes this plug-in serves and the collector kind for each. Returns a
// new collector for className, or null when the class is not one of ours.
TDisplay* CreateCollectorFor(const std::string& className,
                             boost::shared_ptr<NORNKVT20::ICIMClass> cls);
