#pragma once
#include <string>

#include "host/CIMValue.h"
#include "host/KvtApi.h"

namespace NORNKVT20 {

// The host's core logger. Levels: 0 error, 1 (unused by plug-ins),
// 2 warning, 3 info, 4 debug.
class KVTCORE_API ILogger {
public:
    virtual ~ILogger();
    virtual void Log(int level, const std::string& text, PropertyMap context) = 0;
};

}  // namespace NORNKVT20
