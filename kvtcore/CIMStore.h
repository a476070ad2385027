#pragma once
// The host's in-memory CIM store: one namespace, the classes of the catalog
// and the instances committed as results.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "host/CIMObjects.h"

namespace kvtcore {

class TStoreInstance;

class TCIMStore {
public:
    static const char* const kNamespaceName;

    static TCIMStore& Get();

    boost::shared_ptr<NORNKVT20::ICIMNamespace> GetNamespace() const;

    // Keeps a snapshot of the instance as a result, after all earlier ones.
    // The snapshot's object path differs from that of every earlier result:
    // a CIM client identifies instances by path, and the plug-in may hand in
    // instances whose keys are missing or repeat (two BIOS entries with the
    // same values). The first instance with a given model path keeps it; the
    // nth one after it gets "#n" appended ("#2", "#3", ...). A "#" never
    // occurs in a model path outside a quoted key value, so the marked paths
    // cannot collide with unmarked ones.
    void Commit(const TStoreInstance& instance);

    // Results in commit order: all of them, or those of one class.
    std::vector<boost::shared_ptr<TStoreInstance> > GetCommitted() const;
    std::vector<boost::shared_ptr<TStoreInstance> > GetCommitted(
        const std::string& className) const;

    // Forgets every result.
    void Reset();

private:
    TCIMStore();

    mutable std::mutex m_mutex;
    boost::shared_ptr<NORNKVT20::ICIMNamespace> m_namespace;
    std::vector<boost::shared_ptr<TStoreInstance> > m_committed;
    std::map<std::string, unsigned> m_pathUses;  // results per model path
};

}  // namespace kvtcore
