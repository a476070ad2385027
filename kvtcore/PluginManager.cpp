#include "kvtcore/PluginManager.h"

#include <iterator>

#include <boost/core/null_deleter.hpp>

#include "host/KVTException.h"
#include "kvtcore/CoreLogger.h"
#include "kvtcore/StoreObjects.h"

namespace NORNKVT20 {

TPluginManagerProvider::TPluginManagerProvider(IPluginCallbacks* callbacks,
                                               const std::string& name)
    : m_callbacks(callbacks), m_name(name)
{
}

IPluginCallbacks* TPluginManagerProvider::GetCallbacks() const
{
    return m_callbacks;
}

const std::string& TPluginManagerProvider::GetName() const
{
    return m_name;
}

boost::shared_ptr<ICIMNamespace> TRootObject::GetPluginManager()
{
    return kvtcore::TPluginManager::Get().GetHandle();
}

ILogger* TRootObject::GetCoreLogger()
{
    return &kvtcore::TCoreLogger::Get();
}

}  // namespace NORNKVT20

namespace kvtcore {

TPluginManager& TPluginManager::Get()
{
    // Never destroyed: plug-ins are registered and called until the process
    // ends. The handles given out share nothing and do not delete it.
    static TPluginManager* manager = [] {
        auto* created = new TPluginManager;
        created->m_handle.reset(static_cast<NORNKVT20::ICIMNamespace*>(created),
                                boost::null_deleter());
        return created;
    }();
    return *manager;
}

NORNKVT20::TPluginManagerProvider* TPluginManager::RegisterPlugin(
    NORNKVT20::IPluginCallbacks* plugin, NORNKVT20::PropertyMap /*context*/)
{
    if (plugin == nullptr) {
        throw NORNKVT20::TKVTException("RegisterPlugin: no plug-in given");
    }
    const std::string name = plugin->GetPluginName();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_providers.emplace_back(plugin, name);
    return &m_providers.back();
}

boost::shared_ptr<NORNKVT20::ICIMClass> TPluginManager::GetClass(const std::string& name,
                                                                 NORNKVT20::PropertyMap context)
{
    // The manager serves no request, so neither do the classes it gives.
    return TStoreNamespace(nullptr).GetClass(name, context);
}

std::size_t TPluginManager::GetPluginCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_providers.size();
}

NORNKVT20::IPluginCallbacks* TPluginManager::GetPlugin(std::size_t index) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= m_providers.size()) {
        return nullptr;
    }
    auto provider = m_providers.begin();
    std::advance(provider, static_cast<std::ptrdiff_t>(index));
    return provider->GetCallbacks();
}

boost::shared_ptr<NORNKVT20::ICIMNamespace> TPluginManager::GetHandle() const
{
    return m_handle;
}

}  // namespace kvtcore
