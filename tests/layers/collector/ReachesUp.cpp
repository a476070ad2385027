// A collector-framework file that reaches up into the frame.
#include "plugin/DisplayInfoCallbacks.h"
#include "host/Host.h"
