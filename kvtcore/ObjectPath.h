#pragma once
// CIM object paths of the store's instances.
#include <string>

#include "host/CIMValue.h"
#include "kvtcore/CIMClassCatalog.h"

namespace kvtcore {

// The model path of an instance: the class name, ".", then "Key=value" for
// every key property that holds a value, in key name order, separated by
// ",". Texts, datetimes and references are written in double quotes with
// backslash and double quote escaped by a backslash; numbers and booleans
// are written bare. Keys without a value are left out; without any, the
// path is the class name alone.
std::string BuildObjectPath(const TClassDeclaration& declaration,
                            const NORNKVT20::PropertyMap& values);

}  // namespace kvtcore
