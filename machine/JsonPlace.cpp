#include "machine/JsonPlace.h"

namespace machine::json {

std::string PointerToken(const std::string& key)
{
    std::string escaped;
    for (char c : key) {
        if (c == '~') {
            escaped += "~0";
        } else if (c == '/') {
            escaped += "~1";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Printable(const std::string& text)
{
    std::string printable;
    for (char c : text) {
        if (c == '\0') {
            printable += "\\u0000";
        } else {
            printable += c;
        }
    }
    return printable;
}

std::string Quoted(const std::string& text)
{
    return "\"" + Printable(text) + "\"";
}

std::string TypeOf(const nlohmann::json& value)
{
    if (value.is_number_float()) {
        return "a fractional number";
    }
    if (value.is_number()) {
        return "a number";
    }
    if (value.is_null()) {
        return "null";
    }
    const std::string name = value.type_name();
    return (name == "object" || name == "array") ? "an " + name : "a " + name;
}

}  // namespace machine::json
