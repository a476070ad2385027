// The abstract host interfaces have their destructors here so that their
// type information and virtual tables live in kvtcore alone.
#include "host/CIMObjects.h"
#include "host/Logger.h"
#include "host/PluginManager.h"

namespace NORNKVT20 {

ICIMProperty::~ICIMProperty() = default;
ICIMInstance::~ICIMInstance() = default;
ICIMNamespace::~ICIMNamespace() = default;
ICIMClass::~ICIMClass() = default;
ILogger::~ILogger() = default;
TQueryContext::~TQueryContext() = default;
IPluginCallbacks::~IPluginCallbacks() = default;
IPluginBasicQueryCallbacks::~IPluginBasicQueryCallbacks() = default;
TPluginManagerNamespace::~TPluginManagerNamespace() = default;

}  // namespace NORNKVT20
