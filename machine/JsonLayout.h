#pragma once
// The text layout of machine descriptions: two blanks of indentation, but an
// object of at most six scalars and an array of scalars each kept on one
// line, so that a mode, a monitor or a registry value reads as one line.
#include <string>

#include <nlohmann/json.hpp>

namespace machine::json {

// The document's text, ending in a line feed. Strings keep their UTF-8
// characters; only quotes, backslashes and control characters are escaped.
std::string LayOut(const nlohmann::ordered_json& document);

}  // namespace machine::json
