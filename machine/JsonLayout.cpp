#include "machine/JsonLayout.h"

namespace machine::json {

namespace {

using Json = nlohmann::ordered_json;

bool IsScalar(const Json& value)
{
    return !value.is_object() && !value.is_array();
}

bool AllScalars(const Json& value)
{
    for (const Json& item : value) {
        if (!IsScalar(item)) {
            return false;
        }
    }
    return true;
}

std::string OneLine(const Json& value)
{
    return value.dump(-1, ' ', false);
}

void Write(const Json& value, int depth, std::string& text)
{
    const std::string pad(2 * static_cast<std::size_t>(depth), ' ');
    const std::string inner = pad + "  ";
    if (value.is_object() && !(AllScalars(value) && value.size() <= 6)) {
        text += "{\n";
        bool first = true;
        for (auto item = value.begin(); item != value.end(); ++item) {
            text += first ? "" : ",\n";
            first = false;
            // The keys of a spread-out object escape every character beyond
            // ASCII, those of a one-line object none.
            text += inner + Json(item.key()).dump(-1, ' ', true) + ": ";
            Write(item.value(), depth + 1, text);
        }
        text += "\n" + pad + "}";
    } else if (value.is_array() && !AllScalars(value)) {
        text += "[\n";
        bool first = true;
        for (const Json& item : value) {
            text += first ? "" : ",\n";
            first = false;
            text += inner;
            Write(item, depth + 1, text);
        }
        text += "\n" + pad + "]";
    } else if (value.is_structured()) {
        // One line, with a blank after each comma and colon.
        const bool object = value.is_object();
        text += object ? "{" : "[";
        bool first = true;
        for (auto item = value.begin(); item != value.end(); ++item) {
            text += first ? "" : ", ";
            first = false;
            if (object) {
                text += OneLine(Json(item.key())) + ": ";
            }
            text += OneLine(item.value());
        }
        text += object ? "}" : "]";
    } else {
        text += OneLine(value);
    }
}

}  // namespace

std::string LayOut(const nlohmann::ordered_json& document)
{
    std::string text;
    Write(document, 0, text);
    return text + "\n";
}

}  // namespace machine::json
