// A video file that reaches across into the monitor collector.
#include "devstatus/DeviceStatus.h"
#include "monitor/MonitorInfo.h"
