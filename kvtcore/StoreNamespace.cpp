// The store's namespace and classes.
#include <boost/make_shared.hpp>

#include "host/KVTException.h"
#include "kvtcore/FaultInjector.h"
#include "kvtcore/RequestStore.h"
#include "kvtcore/StoreObjects.h"

namespace kvtcore {

using NORNKVT20::PropertyMap;

std::atomic<long> TStoreClass::s_live{0};
std::atomic<long> TStoreInstance::s_live{0};
std::atomic<long> TStoreProperty::s_live{0};

NORNKVT20::TLiveObjects CountLiveObjects()
{
    NORNKVT20::TLiveObjects live;
    live.classes = TStoreClass::s_live;
    live.instances = TStoreInstance::s_live;
    live.properties = TStoreProperty::s_live;
    return live;
}

TStoreNamespace::TStoreNamespace(std::shared_ptr<TRequestStore> request)
    : m_request(std::move(request))
{
}

boost::shared_ptr<NORNKVT20::ICIMClass> TStoreNamespace::GetClass(const std::string& name,
                                                                  PropertyMap /*context*/)
{
    // Any name gives a class, even "", so that every request reaches the
    // plug-in; a name outside the catalog declares no properties.
    TFaultInjector::Get().OnCall(EHostOperation::GetClass, name);
    return boost::make_shared<TStoreClass>(FindClassDeclaration(name), m_request);
}

TStoreClass::TStoreClass(std::shared_ptr<const TClassDeclaration> declaration,
                         std::shared_ptr<TRequestStore> request)
    : m_declaration(std::move(declaration)), m_request(std::move(request))
{
}

std::string TStoreClass::GetName(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetName, m_declaration->name);
    return m_declaration->name;
}

boost::shared_ptr<NORNKVT20::ICIMNamespace> TStoreClass::GetNamespace(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetNamespace, m_declaration->name);
    // A namespace of the class's request, so that the classes looked up in
    // it see the same results.
    return boost::make_shared<TStoreNamespace>(m_request);
}

boost::shared_ptr<NORNKVT20::ICIMInstance> TStoreClass::CreateInstance(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::CreateInstance, m_declaration->name);
    return boost::make_shared<TStoreInstance>(m_declaration, m_request);
}

void TStoreClass::EnumerateInstances(NORNKVT20::InstanceCallback callback, int /*flags*/,
                                     PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::EnumerateInstances, m_declaration->name);
    if (!callback) {
        throw NORNKVT20::TKVTException("EnumerateInstances of " + m_declaration->name +
                                       ": no callback given");
    }
    if (!m_request) {
        return;
    }
    // The callback runs on a copy of the list: it may call the store itself.
    for (const auto& instance : m_request->GetCommitted(m_declaration->name)) {
        if (!callback(instance)) {
            break;
        }
    }
}

}  // namespace kvtcore
