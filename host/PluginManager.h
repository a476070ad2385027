#pragma once
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "host/CIMObjects.h"
#include "host/KvtApi.h"
#include "host/Logger.h"

namespace NORNKVT20 {

// Opaque host context of one data request.
class KVTCORE_API TQueryContext {
public:
    virtual ~TQueryContext();
};

// What every plug-in implements; the plug-in manager holds it.
class KVTCORE_API IPluginCallbacks {
public:
    virtual ~IPluginCallbacks();
    virtual int GetPluginFlags() = 0;
    virtual std::string GetPluginName() = 0;
    virtual std::string GetPluginVersion() = 0;
    virtual std::string GetInterfaceVersion() = 0;
    virtual void Destroy() = 0;
    virtual void Init() = 0;
    virtual void DeInit() = 0;
};

// Implemented by plug-ins that answer data requests for CIM classes.
class KVTCORE_API IPluginBasicQueryCallbacks {
public:
    virtual ~IPluginBasicQueryCallbacks();
    virtual void GetData(boost::shared_ptr<TQueryContext> context,
                         const std::vector<boost::shared_ptr<ICIMClass> >& classes) = 0;
};

// The host-side record of one registered plug-in.
class KVTCORE_API TPluginManagerProvider {
public:
    TPluginManagerProvider(IPluginCallbacks* callbacks, const std::string& name);
    IPluginCallbacks* GetCallbacks() const;
    const std::string& GetName() const;

private:
    IPluginCallbacks* m_callbacks;
    std::string m_name;
};

// The plug-in manager, reached as a namespace of the host.
class KVTCORE_API TPluginManagerNamespace : public ICIMNamespace {
public:
    ~TPluginManagerNamespace() override;
    virtual TPluginManagerProvider* RegisterPlugin(IPluginCallbacks* plugin,
                                                   PropertyMap context) = 0;
};

class KVTCORE_API TRootObject {
public:
    static boost::shared_ptr<ICIMNamespace> GetPluginManager();
    static ILogger* GetCoreLogger();
};

}  // namespace NORNKVT20
