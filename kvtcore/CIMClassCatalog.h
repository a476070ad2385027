#pragma once
// The CIM classes the host knows: their properties, types and keys.
#include <memory>
#include <string>
#include <vector>

#include "host/CIMValue.h"

namespace kvtcore {

struct TPropertyDeclaration {
    std::string name;
    NORNKVT20::TCIMValue::TCIMType type;
    bool isKey;
};

struct TClassDeclaration {
    std::string name;
    std::string superclass;  // the DMTF CIM Schema class it specialises; "" when unknown
    std::vector<TPropertyDeclaration> properties;  // in byte-wise name order

    // The declaration of the named property, or nullptr.
    const TPropertyDeclaration* FindProperty(const std::string& propertyName) const;
};

// The declaration of a class. A name the host does not know still gives a
// class, one that declares no properties, so that a request for it reaches
// the plug-in.
std::shared_ptr<const TClassDeclaration> FindClassDeclaration(const std::string& className);

}  // namespace kvtcore
