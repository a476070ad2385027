#pragma once
// Machine descriptions: the JSON format a machine is written down in, read
// into the model and written from it. This is the one place that knows the
// format's names; examples/machines/machine-description.schema.json
// publishes it.
#include <string>

#include "machine/DescriptionError.h"
#include "machine/Machine.h"

namespace machine {

// Reads a description. The text is checked strictly: unknown keys, keys given
// twice, values of the wrong type or out of range, text the ANSI code page
// cannot hold, text longer than the Win32 records hold, and names taken twice
// are refused with a DescriptionError naming source (or "machine
// description" when empty), the JSON pointer of the place and the fault.
Machine ReadDescription(const std::string& json, const std::string& source);
Machine ReadDescriptionFile(const std::string& path);

// The description of a machine, as text laid out for reading and diffs; what
// it reads back into is the same machine. Registry values take the plainest
// payload that gives back their bytes. Every registry value type must be one
// a description names (std::invalid_argument otherwise).
std::string WriteDescription(const Machine& machine);

// Whether a description can name this registry value type.
bool NamesValueType(std::uint32_t type);

}  // namespace machine
