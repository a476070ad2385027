#pragma once
#include <string>

#include <boost/shared_ptr.hpp>

#include "host/CIMObjects.h"
#include "host/KvtApi.h"

namespace NORNKVT20 {

// Values for the scoping properties every instance of a managed element needs.
class KVTCORE_API TCIMSchemaHelper {
public:
    // Context key and value a plug-in passes with a class lookup.
    static const char* const kContextName;
    static const char* const kPluginNSPName;

    static std::string GetSystemName(boost::shared_ptr<ICIMNamespace> ns);
    static std::string GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace> ns);
};

}  // namespace NORNKVT20
