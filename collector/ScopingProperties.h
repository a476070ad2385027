#pragma once
#include "collector/PropertyMap.h"
#include "host/Host.h"
#include "collector/LogMessage.h"

// Adds "SystemCreationClassName" and "SystemName", which the host's schema
// helper gives for the namespace of cls. A host exception is logged with its
// text at error level and gives 1; the properties added before it stay.
int AddScopingProperties(NORNKVT20::ICIMClass* cls, LogMessage* logger, PropertyMap& properties);
