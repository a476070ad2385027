// The store's namespace and classes.
#include <boost/make_shared.hpp>

#include "host/KVTException.h"
#include "kvtcore/CIMStore.h"
#include "kvtcore/FaultInjector.h"
#include "kvtcore/StoreObjects.h"

namespace kvtcore {

using NORNKVT20::PropertyMap;

boost::shared_ptr<NORNKVT20::ICIMClass> TStoreNamespace::GetClass(const std::string& name,
                                                                  PropertyMap /*context*/)
{
    // Any name gives a class, even "", so that every request reaches the
    // plug-in; a name outside the catalog declares no properties.
    TFaultInjector::Get().OnCall(EHostOperation::GetClass);
    return boost::make_shared<TStoreClass>(FindClassDeclaration(name));
}

TStoreClass::TStoreClass(std::shared_ptr<const TClassDeclaration> declaration)
    : m_declaration(std::move(declaration))
{
}

std::string TStoreClass::GetName(PropertyMap /*context*/)
{
    return m_declaration->name;
}

boost::shared_ptr<NORNKVT20::ICIMNamespace> TStoreClass::GetNamespace(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetNamespace);
    return TCIMStore::Get().GetNamespace();
}

boost::shared_ptr<NORNKVT20::ICIMInstance> TStoreClass::CreateInstance(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::CreateInstance);
    return boost::make_shared<TStoreInstance>(m_declaration);
}

void TStoreClass::EnumerateInstances(NORNKVT20::InstanceCallback callback, int /*flags*/,
                                     PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::EnumerateInstances);
    if (!callback) {
        throw NORNKVT20::TKVTException("EnumerateInstances of " + m_declaration->name +
                                       ": no callback given");
    }
    // The callback runs on a copy of the list: it may call the store itself.
    for (const auto& instance : TCIMStore::Get().GetCommitted(m_declaration->name)) {
        if (!callback(instance)) {
            break;
        }
    }
}

}  // namespace kvtcore
