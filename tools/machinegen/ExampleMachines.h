#pragma once
// The example machines of examples/machines: a workstation with two
// adapters of different vendors and a laptop with its panel and an external
// monitor.
#include <string>
#include <utility>
#include <vector>

#include "machine/Machine.h"

namespace machinegen {

machine::Machine Workstation();
machine::Machine Laptop();

// Each example's file name and its text as it is checked in.
std::vector<std::pair<std::string, std::string>> ExampleFiles();

}  // namespace machinegen
