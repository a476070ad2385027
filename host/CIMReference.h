#pragma once
#include <string>

#include "host/KvtApi.h"

namespace NORNKVT20 {

// A reference to a CIM instance, held as the instance's object path
// (class name and key property values).
class KVTCORE_API TCIMReference {
public:
    TCIMReference();
    explicit TCIMReference(const std::string& objectPath);

    const std::string& GetObjectPath() const;
    bool IsNull() const;

private:
    std::string m_objectPath;
};

}  // namespace NORNKVT20
