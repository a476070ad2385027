// The capture may use the lookup rules and the display device text, but not
// the rest of the plug-in.
#include "devstatus/DeviceSearch.h"
#include "collector/DisplayDeviceText.h"
#include "collector/LogMessage.h"
