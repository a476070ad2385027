#pragma once
// The objects through which a plug-in sees the store. Each namespace, class
// and instance under construction belongs to one request (a TRequestStore),
// or to none when it was reached outside any request; whatever is made or
// looked up through it belongs to the same request.
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include <boost/enable_shared_from_this.hpp>
#include <boost/shared_ptr.hpp>

#include "host/CIMObjects.h"
#include "kvtcore/CIMClassCatalog.h"
#include "kvtcore/HostControl.h"

namespace kvtcore {

// Keeps a count of the objects of one kind that are alive, so that tests can
// see whether a plug-in released every host object it was handed. The count
// orders nothing else (it is read once the requests are over), so that it
// adds no ordering between concurrent requests that could hide their races
// from ThreadSanitizer.
class TLiveCounter {
public:
    explicit TLiveCounter(std::atomic<long>& count) : m_count(count) { Add(1); }
    TLiveCounter(const TLiveCounter& other) : m_count(other.m_count) { Add(1); }
    TLiveCounter& operator=(const TLiveCounter&) { return *this; }
    ~TLiveCounter() { Add(-1); }

private:
    void Add(long change) { m_count.fetch_add(change, std::memory_order_relaxed); }

    std::atomic<long>& m_count;
};

NORNKVT20::TLiveObjects CountLiveObjects();

class TRequestStore;

// The namespace as one request sees it; a null request stands for none.
class TStoreNamespace : public NORNKVT20::ICIMNamespace {
public:
    explicit TStoreNamespace(std::shared_ptr<TRequestStore> request);

    boost::shared_ptr<NORNKVT20::ICIMClass> GetClass(const std::string& name,
                                                     NORNKVT20::PropertyMap context) override;

private:
    std::shared_ptr<TRequestStore> m_request;
};

class TStoreClass : public NORNKVT20::ICIMClass {
public:
    TStoreClass(std::shared_ptr<const TClassDeclaration> declaration,
                std::shared_ptr<TRequestStore> request);

    std::string GetName(NORNKVT20::PropertyMap context) override;
    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetNamespace(
        NORNKVT20::PropertyMap context) override;
    boost::shared_ptr<NORNKVT20::ICIMInstance> CreateInstance(
        NORNKVT20::PropertyMap context) override;
    // Delivers the request's results of this class in commit order (none
    // outside a request); flags are ignored.
    void EnumerateInstances(NORNKVT20::InstanceCallback callback, int flags,
                            NORNKVT20::PropertyMap context) override;

    static std::atomic<long> s_live;

private:
    std::shared_ptr<const TClassDeclaration> m_declaration;
    std::shared_ptr<TRequestStore> m_request;
    TLiveCounter m_live{s_live};
};

// An instance under construction, or (once committed) a read-only result.
// Instances are always owned by boost::shared_ptr.
class TStoreInstance : public NORNKVT20::ICIMInstance,
                       public boost::enable_shared_from_this<TStoreInstance> {
public:
    TStoreInstance(std::shared_ptr<const TClassDeclaration> declaration,
                   std::shared_ptr<TRequestStore> request);
    // A result: a snapshot of the instance under its final object path. It
    // belongs to no request, since a result holds no share of the request
    // that holds it.
    TStoreInstance(const TStoreInstance& instance, const std::string& objectPath);
    TStoreInstance(const TStoreInstance&) = delete;
    TStoreInstance& operator=(const TStoreInstance&) = delete;

    // The property must be declared by the class and the value must have its
    // type exactly; a null value without a type clears any property.
    void SetPropertyValue(const std::string& name, const NORNKVT20::TCIMValue& value,
                          NORNKVT20::PropertyMap context) override;
    // A result of the instance's request; an instance of no request cannot
    // be committed.
    void Commit(NORNKVT20::PropertyMap context) override;
    // A declared property without a value gives a null value.
    boost::shared_ptr<NORNKVT20::ICIMProperty> GetProperty(const std::string& name,
                                                           NORNKVT20::PropertyMap context) override;
    NORNKVT20::TCIMReference GetReference(NORNKVT20::PropertyMap context) override;

    const TClassDeclaration& GetDeclaration() const;
    // The properties that hold a value, by name.
    const NORNKVT20::PropertyMap& GetValues() const;
    // A result's final path; before the commit, the path its keys give.
    std::string GetObjectPath() const;

    static std::atomic<long> s_live;

private:
    // A property of a result, made with the result: it refers to the
    // result's name and value, which never change, and is handed out with a
    // share of the result, so that reading a result's property neither
    // copies the value nor makes an object.
    class TResultProperty : public NORNKVT20::ICIMProperty {
    public:
        explicit TResultProperty(const NORNKVT20::PropertyMap::value_type& entry);
        const NORNKVT20::TCIMValue* Value() const;
        std::string GetName(NORNKVT20::PropertyMap context) override;
        NORNKVT20::TCIMValue GetValue(NORNKVT20::PropertyMap context) override;

    private:
        const NORNKVT20::PropertyMap::value_type* m_entry;
    };

    std::shared_ptr<const TClassDeclaration> m_declaration;
    std::shared_ptr<TRequestStore> m_request;
    NORNKVT20::PropertyMap m_values;
    bool m_isResult;
    std::string m_resultPath;
    std::vector<TResultProperty> m_resultProperties;  // a result's, one per value
    TLiveCounter m_live{s_live};
};

// A property of an instance under construction: the value as it was read.
class TStoreProperty : public NORNKVT20::ICIMProperty {
public:
    TStoreProperty(const std::string& name, const NORNKVT20::TCIMValue& value);

    std::string GetName(NORNKVT20::PropertyMap context) override;
    NORNKVT20::TCIMValue GetValue(NORNKVT20::PropertyMap context) override;

    static std::atomic<long> s_live;

private:
    std::string m_name;
    NORNKVT20::TCIMValue m_value;
    TLiveCounter m_live{s_live};
};

}  // namespace kvtcore
