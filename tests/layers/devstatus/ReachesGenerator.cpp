// A layer that reaches the machine generator.
#include "tools/machinegen/MonitorModels.h"
