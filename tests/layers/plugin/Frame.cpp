// The frame may use every layer below it, but not the stand-in host core.
#include "video/VideoInfo.h"
#include "monitor/MonitorInfo.h"
#include "kvtcore/HostControl.h"
