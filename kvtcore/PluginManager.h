#pragma once
// The plug-in manager: registrations of plug-ins, reached as a namespace.
#include <cstddef>
#include <list>
#include <mutex>

#include "host/PluginManager.h"

namespace kvtcore {

class TPluginManager : public NORNKVT20::TPluginManagerNamespace {
public:
    static TPluginManager& Get();

    // Keeps the registration; the provider's address stays valid as long as
    // the process runs. The provider is named by the plug-in's GetPluginName.
    NORNKVT20::TPluginManagerProvider* RegisterPlugin(NORNKVT20::IPluginCallbacks* plugin,
                                                      NORNKVT20::PropertyMap context) override;
    // The store's class of that name, outside any request: its instances
    // cannot be committed and its enumeration delivers nothing.
    boost::shared_ptr<NORNKVT20::ICIMClass> GetClass(const std::string& name,
                                                     NORNKVT20::PropertyMap context) override;

    std::size_t GetPluginCount() const;
    // The callbacks of the index-th registration, or nullptr past the end.
    NORNKVT20::IPluginCallbacks* GetPlugin(std::size_t index) const;

    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetHandle() const;

private:
    TPluginManager() = default;

    mutable std::mutex m_mutex;
    std::list<NORNKVT20::TPluginManagerProvider> m_providers;
    boost::shared_ptr<NORNKVT20::ICIMNamespace> m_handle;
};

}  // namespace kvtcore
