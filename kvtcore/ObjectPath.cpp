#include "kvtcore/ObjectPath.h"

namespace kvtcore {

namespace {

// Appends the text in double quotes, with backslash and double quote escaped
// by a backslash.
void AppendQuoted(std::string& path, const std::string& text)
{
    path += '"';
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' || text[i] == '"') {
            path.append(text, start, i - start);
            path += '\\';
            start = i;
        }
    }
    path.append(text, start, std::string::npos);
    path += '"';
}

void AppendKeyValue(std::string& path, const NORNKVT20::TCIMValue& value)
{
    if (!value.IsArray()) {
        switch (value.GetType().GetCode()) {
        case NORNKVT20::cimBoolean:
        case NORNKVT20::cimUint8:
        case NORNKVT20::cimSint8:
        case NORNKVT20::cimUint16:
        case NORNKVT20::cimSint16:
        case NORNKVT20::cimUint32:
        case NORNKVT20::cimSint32:
        case NORNKVT20::cimUint64:
        case NORNKVT20::cimSint64:
        case NORNKVT20::cimReal32:
        case NORNKVT20::cimReal64:
            path += value.ToString();
            return;
        case NORNKVT20::cimString:
            AppendQuoted(path, value.GetString());
            return;
        default:
            break;
        }
    }
    AppendQuoted(path, value.ToString());
}

}  // namespace

std::string BuildObjectPath(const TClassDeclaration& declaration,
                            const NORNKVT20::PropertyMap& values)
{
    std::string path;
    path.reserve(128);
    path += declaration.name;
    char separator = '.';
    for (const auto& property : declaration.properties) {
        if (!property.isKey) {
            continue;
        }
        const auto value = values.find(property.name);
        if (value == values.end() || value->second.IsNull()) {
            continue;
        }
        path += separator;
        path += property.name;
        path += '=';
        AppendKeyValue(path, value->second);
        separator = ',';
    }
    return path;
}

}  // namespace kvtcore
