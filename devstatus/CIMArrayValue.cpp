#include "devstatus/CIMArrayValue.h"

using NORNKVT20::TCIMValue;

TCIMValue Uint16ArrayValue(const std::vector<std::uint16_t>& values)
{
    std::vector<TCIMValue> elements(values.begin(), values.end());
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimUint16),
                     static_cast<unsigned int>(elements.size()), elements);
}

TCIMValue StringArrayValue(const std::vector<std::string>& texts)
{
    std::vector<TCIMValue> elements(texts.begin(), texts.end());
    return TCIMValue(TCIMValue::TCIMType(NORNKVT20::cimString),
                     static_cast<unsigned int>(elements.size()), elements);
}
