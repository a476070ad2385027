// The identifier-list reader reaching for the collector's logging.
#include "devstatus/DeviceIdList.h"
#include "collector/LogMessage.h"
#include "devstatus/LookupRules.h"
