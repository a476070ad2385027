// The EDID parser reaching for the host.
#include "monitor/EdidParser.h"
#include "host/CIMValue.h"
