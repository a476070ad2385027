#include "OutputFormat.h"

#include <cstdlib>
#include <sstream>

#include <nlohmann/json.hpp>

#include "machine/TextCodec.h"

using NORNKVT20::TInstanceSnapshot;
using NORNKVT20::TLogLine;
using NORNKVT20::TPropertySnapshot;

namespace {

enum class ValueKind { kBoolean, kUnsigned, kSigned, kReal, kText };

std::string ElementType(const std::string& typeName)
{
    std::string::size_type bracket = typeName.find("[]");
    return bracket == std::string::npos ? typeName : typeName.substr(0, bracket);
}

bool IsArrayType(const std::string& typeName)
{
    return typeName.find("[]") != std::string::npos;
}

ValueKind KindOf(const std::string& elementType)
{
    if (elementType == "boolean") {
        return ValueKind::kBoolean;
    }
    if (elementType == "uint8" || elementType == "uint16" || elementType == "uint32" ||
        elementType == "uint64") {
        return ValueKind::kUnsigned;
    }
    if (elementType == "sint8" || elementType == "sint16" || elementType == "sint32" ||
        elementType == "sint64") {
        return ValueKind::kSigned;
    }
    if (elementType == "real32" || elementType == "real64") {
        return ValueKind::kReal;
    }
    return ValueKind::kText;
}

nlohmann::json JsonElement(ValueKind kind, const std::string& text)
{
    switch (kind) {
    case ValueKind::kBoolean:
        return text == "true";
    case ValueKind::kUnsigned:
        return std::strtoull(text.c_str(), nullptr, 10);
    case ValueKind::kSigned:
        return std::strtoll(text.c_str(), nullptr, 10);
    case ValueKind::kReal:
        // The core writes the shortest decimal that reads back as the same
        // float; a double parsed from it prints the same digits.
        return std::strtod(text.c_str(), nullptr);
    case ValueKind::kText:
        break;
    }
    return textcodec::AnsiToUtf8(text);
}

nlohmann::json JsonValue(const TPropertySnapshot& property)
{
    if (property.isNull) {
        return nullptr;
    }
    ValueKind kind = KindOf(ElementType(property.typeName));
    if (IsArrayType(property.typeName)) {
        nlohmann::json array = nlohmann::json::array();
        for (const std::string& element : property.elements) {
            array.push_back(JsonElement(kind, element));
        }
        return array;
    }
    return property.elements.empty() ? nlohmann::json(nullptr)
                                     : JsonElement(kind, property.elements.front());
}

std::string MofString(const std::string& text)
{
    std::string out = "\"";
    for (char c : textcodec::AnsiToUtf8(text)) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                std::ostringstream hex;
                hex << "\\x" << std::hex << static_cast<int>(static_cast<unsigned char>(c));
                out += hex.str();
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string MofElement(ValueKind kind, const std::string& text)
{
    return kind == ValueKind::kText ? MofString(text) : text;
}

std::string MofValue(const TPropertySnapshot& property)
{
    if (property.isNull) {
        return "NULL";
    }
    ValueKind kind = KindOf(ElementType(property.typeName));
    if (!IsArrayType(property.typeName)) {
        return property.elements.empty() ? "NULL" : MofElement(kind, property.elements.front());
    }
    std::string out = "{";
    for (std::size_t i = 0; i < property.elements.size(); ++i) {
        out += (i == 0 ? "" : ", ") + MofElement(kind, property.elements[i]);
    }
    return out + "}";
}

}  // namespace

std::string RenderMof(const std::vector<TInstanceSnapshot>& instances)
{
    std::ostringstream out;
    for (const TInstanceSnapshot& instance : instances) {
        out << "instance of " << instance.className << "\n{\n";
        for (const TPropertySnapshot& property : instance.properties) {
            out << "    " << property.name << " = " << MofValue(property) << ";\n";
        }
        out << "};\n\n";
    }
    return out.str();
}

std::string RenderJson(const std::vector<TInstanceSnapshot>& instances,
                       const std::vector<TLogLine>& log)
{
    nlohmann::json document;
    document["instances"] = nlohmann::json::array();
    for (const TInstanceSnapshot& instance : instances) {
        nlohmann::json properties = nlohmann::json::object();
        for (const TPropertySnapshot& property : instance.properties) {
            properties[textcodec::AnsiToUtf8(property.name)] = {{"type", property.typeName},
                                                            {"value", JsonValue(property)}};
        }
        document["instances"].push_back({{"class", textcodec::AnsiToUtf8(instance.className)},
                                         {"path", textcodec::AnsiToUtf8(instance.objectPath)},
                                         {"properties", properties}});
    }
    document["log"] = nlohmann::json::array();
    for (const TLogLine& line : log) {
        document["log"].push_back({{"level", line.level},
                                   {"levelName", LevelName(line.level)},
                                   {"text", textcodec::AnsiToUtf8(line.text)}});
    }
    return document.dump(2) + "\n";
}

std::string LevelName(int level)
{
    switch (level) {
    case 0: return "error";
    case 2: return "warning";
    case 3: return "info";
    case 4: return "debug";
    default: return "level " + std::to_string(level);
    }
}
