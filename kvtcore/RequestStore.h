#pragma once
// The results of one data request: the instances committed through that
// request's handles (see THostRequest in HostControl.cpp for how a handle
// belongs to a request).
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

namespace kvtcore {

class TStoreInstance;

class TRequestStore {
public:
    // Keeps a snapshot of the instance as a result, after all earlier ones.
    // The snapshot's object path differs from that of every earlier result
    // of the request: a CIM client identifies instances by path, and the
    // plug-in may hand in instances whose keys are missing or repeat (two
    // BIOS entries with the same values). The first instance with a given
    // model path keeps it; the nth one after it gets "#n" appended ("#2",
    // "#3", ...). A "#" never occurs in a model path outside a quoted key
    // value, so the marked paths cannot collide with unmarked ones.
    void Commit(const TStoreInstance& instance);

    // Results in commit order: all of them, or those of one class.
    std::vector<boost::shared_ptr<TStoreInstance> > GetCommitted() const;
    std::vector<boost::shared_ptr<TStoreInstance> > GetCommitted(
        const std::string& className) const;

private:
    // The plug-in commits on the thread that serves the request; the host
    // may read the results from another.
    mutable std::mutex m_mutex;
    std::vector<boost::shared_ptr<TStoreInstance> > m_committed;
    std::map<std::string, unsigned> m_pathUses;  // results per model path
};

}  // namespace kvtcore
