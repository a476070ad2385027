#pragma once
#include <algorithm>
#include <cstddef>
#include <string>

// The text of a fixed-size character field of a Win32 record, up to its
// terminator or the end of the field, whichever comes first.
template <std::size_t N>
std::string FieldText(const char (&field)[N])
{
    return std::string(field, std::find(field, field + N, '\0'));
}
