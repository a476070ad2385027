#pragma once
// The live Linux machine from given sources, so that tests and the fuzz
// target can read trees with a fake mode source and PCI names.
#include "capture/LiveMachine.h"
#include "capture/linux/Inventory.h"

namespace capture::sysfs {

LiveMachine ReadLiveMachine(const LiveSources& sources);

}  // namespace capture::sysfs
