#pragma once
// Writing what the program delivers, with every write checked.
#include <string>

// Writes text to standard output and flushes it. Returns false with the
// reason when any of it did not get there.
bool WriteStandardOutput(const std::string& text, std::string& error);

// Writes text to the file at path, replacing it; "-" is standard output.
// Returns false with the reason when the file cannot be written whole, in
// which case a file it began is removed again.
bool WriteOutputFile(const std::string& path, const std::string& text, std::string& error);
