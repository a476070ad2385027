#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/CIMValue.h"

// Host array values built from plain lists, one element value per entry.
NORNKVT20::TCIMValue Uint16ArrayValue(const std::vector<std::uint16_t>& values);
NORNKVT20::TCIMValue StringArrayValue(const std::vector<std::string>& texts);
