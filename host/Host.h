#pragma once
// Everything a plug-in sees of the host framework.
#include "host/CIMDateTime.h"
#include "host/CIMObjects.h"
#include "host/CIMReference.h"
#include "host/CIMValue.h"
#include "host/KVTException.h"
#include "host/Logger.h"
#include "host/PluginManager.h"
#include "host/SchemaHelper.h"
