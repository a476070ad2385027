#pragma once
// Getting a JSON document in: its text from a file, and the text parsed with
// every object key given twice refused (the JSON library would keep one
// silently).
#include <string>

#include <nlohmann/json.hpp>

namespace machine::json {

// The whole file; DescriptionError "<path>: cannot be opened: <reason>" or
// "cannot be read".
std::string ReadTextFile(const std::string& path);

// The document; DescriptionError "<source>: not valid JSON: ..." for bad
// syntax, "<source>: <pointer>: the key is given twice" for a repeated key.
nlohmann::json ParseDocument(const std::string& text, const std::string& source);

}  // namespace machine::json
