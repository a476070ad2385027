// Instances and properties of the store.
#include <boost/make_shared.hpp>

#include "host/KVTException.h"
#include "kvtcore/FaultInjector.h"
#include "kvtcore/ObjectPath.h"
#include "kvtcore/RequestStore.h"
#include "kvtcore/StoreObjects.h"

namespace kvtcore {

using NORNKVT20::PropertyMap;
using NORNKVT20::TCIMValue;
using NORNKVT20::TKVTException;

TStoreInstance::TStoreInstance(std::shared_ptr<const TClassDeclaration> declaration,
                               std::shared_ptr<TRequestStore> request)
    : m_declaration(std::move(declaration)), m_request(std::move(request)), m_isResult(false)
{
}

TStoreInstance::TStoreInstance(const TStoreInstance& instance, const std::string& objectPath)
    : m_declaration(instance.m_declaration),
      m_values(instance.m_values),
      m_isResult(true),
      m_resultPath(objectPath)
{
    m_resultProperties.reserve(m_values.size());
    for (const auto& entry : m_values) {
        m_resultProperties.emplace_back(entry);
    }
}

void TStoreInstance::SetPropertyValue(const std::string& name, const TCIMValue& value,
                                      PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::SetPropertyValue, m_declaration->name, name);
    const std::string& className = m_declaration->name;
    if (m_isResult) {
        throw TKVTException("SetPropertyValue " + className + "." + name + ": instance " +
                            m_resultPath + " is a committed result and cannot change");
    }
    const auto* property = m_declaration->FindProperty(name);
    if (property == nullptr) {
        throw TKVTException("SetPropertyValue: class " + className +
                            " declares no property " + name);
    }
    const bool untypedNull = value.IsNull() && value.GetType() == TCIMValue::TCIMType();
    if (!untypedNull && value.GetType() != property->type) {
        throw TKVTException("SetPropertyValue " + className + "." + name + ": expected " +
                            property->type.GetName() + ", given " + value.GetType().GetName());
    }
    if (value.IsNull()) {
        m_values.erase(name);
    } else {
        m_values[name] = value;
    }
}

void TStoreInstance::Commit(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::Commit, m_declaration->name);
    if (m_isResult) {
        throw TKVTException("Commit " + m_declaration->name + ": instance " + m_resultPath +
                            " is a committed result already");
    }
    if (!m_request) {
        throw TKVTException("Commit " + m_declaration->name +
                            ": the instance was made outside any request");
    }
    m_request->Commit(*this);
}

boost::shared_ptr<NORNKVT20::ICIMProperty> TStoreInstance::GetProperty(const std::string& name,
                                                                       PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetProperty, m_declaration->name, name);
    if (m_declaration->FindProperty(name) == nullptr) {
        throw TKVTException("GetProperty: class " + m_declaration->name +
                            " declares no property " + name);
    }
    const auto value = m_values.find(name);
    if (value == m_values.end()) {
        return boost::make_shared<TStoreProperty>(name, TCIMValue());
    }
    for (TResultProperty& property : m_resultProperties) {
        if (property.Value() == &value->second) {
            // Owned by this result, which the caller's handle keeps alive.
            return boost::shared_ptr<NORNKVT20::ICIMProperty>(shared_from_this(), &property);
        }
    }
    return boost::make_shared<TStoreProperty>(name, value->second);
}

NORNKVT20::TCIMReference TStoreInstance::GetReference(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetReference, m_declaration->name);
    return NORNKVT20::TCIMReference(GetObjectPath());
}

const TClassDeclaration& TStoreInstance::GetDeclaration() const
{
    return *m_declaration;
}

const PropertyMap& TStoreInstance::GetValues() const
{
    return m_values;
}

std::string TStoreInstance::GetObjectPath() const
{
    return m_isResult ? m_resultPath : BuildObjectPath(*m_declaration, m_values);
}

TStoreInstance::TResultProperty::TResultProperty(const PropertyMap::value_type& entry)
    : m_entry(&entry)
{
}

const TCIMValue* TStoreInstance::TResultProperty::Value() const
{
    return &m_entry->second;
}

std::string TStoreInstance::TResultProperty::GetName(PropertyMap /*context*/)
{
    return m_entry->first;
}

TCIMValue TStoreInstance::TResultProperty::GetValue(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetValue, m_entry->first);
    return m_entry->second;
}

TStoreProperty::TStoreProperty(const std::string& name, const TCIMValue& value)
    : m_name(name), m_value(value)
{
}

std::string TStoreProperty::GetName(PropertyMap /*context*/)
{
    return m_name;
}

TCIMValue TStoreProperty::GetValue(PropertyMap /*context*/)
{
    TFaultInjector::Get().OnCall(EHostOperation::GetValue, m_name);
    return m_value;
}

}  // namespace kvtcore
