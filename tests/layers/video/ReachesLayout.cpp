// The plug-in reads machines; it never lays one out.
#include "layout/DisplayLayout.h"
