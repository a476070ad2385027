#pragma once
// A machine of monitors whose EDID blocks were read from real monitors: each
// monitor on an output of its own, the outputs spread over a few adapters,
// with the device nodes and registry values that go with them.
#include <string>
#include <vector>

#include "tools/machinegen/MachineParts.h"

namespace machinegen {

constexpr int kRealMonitorOutputsPerAdapter = 15;

// The monitors' plug-and-play identifier, "DEL4087": the manufacturer's
// three letters and the product code of bytes 8 to 11, as the plug-in reads
// them (a letter code outside 1 to 26 gives the character 0x40 above it).
// Shorter blocks give "".
std::string EdidPnpId(const EdidBlocks& edid);

// The machine: monitor i (0-based) on output i + 1, which is on adapter
// i / kRealMonitorOutputsPerAdapter; each monitor's EDID value holds its
// blocks unchanged. The outputs' current mode is the size and rate of the
// monitor's first detailed timing (1024x768 at 60 Hz without one).
Json RealMonitorMachine(const std::vector<EdidBlocks>& edids);

}  // namespace machinegen
