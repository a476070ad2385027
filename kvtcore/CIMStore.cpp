#include "kvtcore/CIMStore.h"

#include <boost/make_shared.hpp>

#include "kvtcore/StoreObjects.h"

namespace kvtcore {

const char* const TCIMStore::kNamespaceName = "root/cimv2";

TCIMStore& TCIMStore::Get()
{
    // Never destroyed: a plug-in may hold host objects until the process ends.
    static TCIMStore* store = new TCIMStore;
    return *store;
}

TCIMStore::TCIMStore() : m_namespace(boost::make_shared<TStoreNamespace>()) {}

boost::shared_ptr<NORNKVT20::ICIMNamespace> TCIMStore::GetNamespace() const
{
    return m_namespace;
}

void TCIMStore::Commit(const TStoreInstance& instance)
{
    const std::string modelPath = instance.GetObjectPath();
    std::lock_guard<std::mutex> lock(m_mutex);
    const unsigned use = ++m_pathUses[modelPath];
    const std::string path = use == 1 ? modelPath : modelPath + "#" + std::to_string(use);
    m_committed.push_back(boost::make_shared<TStoreInstance>(instance, path));
}

std::vector<boost::shared_ptr<TStoreInstance> > TCIMStore::GetCommitted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_committed;
}

std::vector<boost::shared_ptr<TStoreInstance> > TCIMStore::GetCommitted(
    const std::string& className) const
{
    std::vector<boost::shared_ptr<TStoreInstance> > result;
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& instance : m_committed) {
        if (instance->GetDeclaration().name == className) {
            result.push_back(instance);
        }
    }
    return result;
}

void TCIMStore::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_committed.clear();
    m_pathUses.clear();
}

}  // namespace kvtcore
