#pragma once
#include <string>
#include <vector>

#include "host/CIMValue.h"

using NORNKVT20::PropertyMap;

// One property map per instance to generate, in generation order.
typedef std::vector<PropertyMap> PropertyMapList;

// Records value under name unless the value is null; an entry already there
// is kept (the first value recorded under a name stands).
void addProperty(PropertyMap& properties, std::string name, NORNKVT20::TCIMValue value);
