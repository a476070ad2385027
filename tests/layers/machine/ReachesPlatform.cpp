// The machine model reaching into the stand-in that answers from it.
#include "machine/Machine.h"
#include "platform/posix/Machine.h"
