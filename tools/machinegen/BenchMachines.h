#pragma once
// Generated machines for the benchmarks: display adapters with their outputs
// and monitors, the monitors' EDID blocks, a device tree of a chosen size and
// the registry keys that go with it.
#include <vector>

#include "machine/Machine.h"
#include "tools/machinegen/Edid.h"

namespace machinegen {

// The EDID of monitor number index (0-based): the model index % 8, with the
// product code, serial number and serial text of that monitor. Every block
// has a valid checksum.
EdidBlocks MonitorEdid(int index);

// One EDID of every model: different versions and revisions, analog and
// digital inputs, established and standard timings or none, every common
// descriptor kind, and extension blocks (CTA-861, block map, display
// information) or none.
std::vector<EdidBlocks> SampleEdids();

// A machine with the given number of monitors, spread one to four per
// output and up to four outputs per adapter, and the given number of present
// devices (the adapters and monitors among them; at least as many as those).
machine::Machine GenerateMachine(int monitors, int devices);

// What GenerateMachine puts into a machine, for checking a request's result.
struct Shape {
    int monitors;
    int outputs;
    int adapters;
    int devices;
};
Shape ShapeOf(int monitors, int devices);

}  // namespace machinegen
