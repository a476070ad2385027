#pragma once
#include <string>
#include <vector>

#include <boost/function.hpp>
#include <boost/shared_ptr.hpp>

#include "host/CIMReference.h"
#include "host/CIMValue.h"
#include "host/KvtApi.h"

namespace NORNKVT20 {

class ICIMClass;
class ICIMInstance;

class KVTCORE_API ICIMProperty {
public:
    virtual ~ICIMProperty();
    virtual std::string GetName(PropertyMap context) = 0;
    virtual TCIMValue GetValue(PropertyMap context) = 0;
};

class KVTCORE_API ICIMInstance {
public:
    virtual ~ICIMInstance();
    virtual void SetPropertyValue(const std::string& name, const TCIMValue& value,
                                  PropertyMap context) = 0;
    // Hands the instance to the host as a result of the running request.
    virtual void Commit(PropertyMap context) = 0;
    virtual boost::shared_ptr<ICIMProperty> GetProperty(const std::string& name,
                                                        PropertyMap context) = 0;
    virtual TCIMReference GetReference(PropertyMap context) = 0;
};

// Called once per instance; returning false ends the enumeration.
typedef boost::function<bool(boost::shared_ptr<ICIMInstance>)> InstanceCallback;

class KVTCORE_API ICIMNamespace {
public:
    virtual ~ICIMNamespace();
    virtual boost::shared_ptr<ICIMClass> GetClass(const std::string& name,
                                                  PropertyMap context) = 0;
};

class KVTCORE_API ICIMClass {
public:
    virtual ~ICIMClass();
    virtual std::string GetName(PropertyMap context) = 0;
    virtual boost::shared_ptr<ICIMNamespace> GetNamespace(PropertyMap context) = 0;
    virtual boost::shared_ptr<ICIMInstance> CreateInstance(PropertyMap context) = 0;
    virtual void EnumerateInstances(InstanceCallback callback, int flags,
                                    PropertyMap context) = 0;
};

// Collects the objects an enumeration delivers into a vector it owns.
template <class T>
class TAddToVectorCallback {
public:
    typedef std::vector<boost::shared_ptr<T> > VectorType;

    bool operator()(boost::shared_ptr<T> item)
    {
        m_items.push_back(item);
        return true;
    }
    VectorType& GetVector() { return m_items; }
    const VectorType& GetVector() const { return m_items; }

private:
    VectorType m_items;
};

}  // namespace NORNKVT20
