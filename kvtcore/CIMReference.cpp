#include "host/CIMReference.h"

namespace NORNKVT20 {

TCIMReference::TCIMReference() = default;

TCIMReference::TCIMReference(const std::string& objectPath) : m_objectPath(objectPath) {}

const std::string& TCIMReference::GetObjectPath() const
{
    return m_objectPath;
}

bool TCIMReference::IsNull() const
{
    return m_objectPath.empty();
}

}  // namespace NORNKVT20
