#pragma once
// The text layout of the checked-in machine descriptions: two blanks of
// indentation, but an object of at most six scalars and an array of
// scalars each kept on one line, so that a mode, a monitor or a registry
// value reads as one line.
#include <string>

#include "tools/machinegen/MachineParts.h"

namespace machinegen {

// The machine's text, ending in a line feed. Strings keep their UTF-8
// characters; only quotes, backslashes and control characters are escaped.
std::string MachineText(const Json& machine);

}  // namespace machinegen
