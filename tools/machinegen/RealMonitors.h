#pragma once
// A machine of monitors whose EDID blocks were read from real monitors: each
// monitor on an output of its own, the outputs spread over a few adapters,
// with the device nodes and registry values that go with them.
#include <string>
#include <vector>

#include "machine/Machine.h"
#include "tools/machinegen/Edid.h"

namespace machinegen {

constexpr int kRealMonitorOutputsPerAdapter = 15;

// The machine: monitor i (0-based) on output i + 1, which is on adapter
// i / kRealMonitorOutputsPerAdapter; each monitor's EDID value holds its
// blocks unchanged. The outputs' current mode is the size and rate of the
// monitor's first detailed timing (1024x768 at 60 Hz without one). A block
// without the EDID header cannot name its monitor (std::invalid_argument).
machine::Machine RealMonitorMachine(const std::vector<EdidBlocks>& edids);

}  // namespace machinegen
