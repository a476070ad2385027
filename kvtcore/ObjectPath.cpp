#include "kvtcore/ObjectPath.h"

namespace kvtcore {

namespace {

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string KeyValueText(const NORNKVT20::TCIMValue& value)
{
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
        if (!value.IsArray()) {
            return value.ToString();
        }
        break;
    default:
        break;
    }
    return Quoted(value.ToString());
}

}  // namespace

std::string BuildObjectPath(const TClassDeclaration& declaration,
                            const NORNKVT20::PropertyMap& values)
{
    std::string path = declaration.name;
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
        path += property.name + "=" + KeyValueText(value->second);
        separator = ',';
    }
    return path;
}

}  // namespace kvtcore
