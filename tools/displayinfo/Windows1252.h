#pragma once
#include <string>

// The plug-in's text is narrow ANSI text (code page 1252). Converts it to
// UTF-8 for printing; every byte maps to some character, so this never fails.
std::string Windows1252ToUtf8(const std::string& text);
