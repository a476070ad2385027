#pragma once
// Places in a JSON document as messages name them: JSON pointers, and the
// document's text shown so that a message stays one readable line.
#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace machine::json {

// A key as one token of a JSON pointer ("~" and "/" escaped).
std::string PointerToken(const std::string& key);

// Text from the document as a message shows it: a zero character, which would
// end the message for whoever reads it as a C string, is written as the JSON
// escape \u0000.
std::string Printable(const std::string& text);

// The text in double quotes, printable.
std::string Quoted(const std::string& text);

// "a string", "an object", "a fractional number", ...
std::string TypeOf(const nlohmann::json& value);

// A place in the document as a JSON pointer.
class Place {
public:
    Place() = default;
    Place operator/(const std::string& key) const { return Place(pointer_ + "/" + PointerToken(key)); }
    Place operator/(std::size_t index) const { return Place(pointer_ + "/" + std::to_string(index)); }
    // "(top level)" for the whole document.
    std::string Text() const { return pointer_.empty() ? "(top level)" : Printable(pointer_); }

private:
    explicit Place(std::string pointer) : pointer_(std::move(pointer)) {}
    std::string pointer_;
};

}  // namespace machine::json
