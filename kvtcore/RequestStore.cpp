#include "kvtcore/RequestStore.h"

#include <boost/make_shared.hpp>

#include "kvtcore/StoreObjects.h"

namespace kvtcore {

void TRequestStore::Commit(const TStoreInstance& instance)
{
    const std::string modelPath = instance.GetObjectPath();
    std::lock_guard<std::mutex> lock(m_mutex);
    const unsigned use = ++m_pathUses[modelPath];
    const std::string path = use == 1 ? modelPath : modelPath + "#" + std::to_string(use);
    m_committed.push_back(boost::make_shared<TStoreInstance>(instance, path));
}

std::vector<boost::shared_ptr<TStoreInstance> > TRequestStore::GetCommitted() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_committed;
}

std::vector<boost::shared_ptr<TStoreInstance> > TRequestStore::GetCommitted(
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

}  // namespace kvtcore
