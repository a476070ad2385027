#include "host/CIMValue.h"

#include <charconv>

#include "host/KVTException.h"

namespace NORNKVT20 {

const char* CIMTypeName(ECIMType type)
{
    static const char* const names[] = {"none",   "boolean", "uint8",  "sint8",    "uint16",
                                        "sint16", "uint32",  "sint32", "uint64",   "sint64",
                                        "real32", "real64",  "char16", "string",   "datetime",
                                        "reference"};
    const int code = static_cast<int>(type);
    if (code < 0 || code >= static_cast<int>(sizeof names / sizeof names[0])) {
        return "unknown";
    }
    return names[code];
}

// ---------------------------------------------------------------- TCIMType

TCIMValue::TCIMType::TCIMType(ECIMType code, bool isArray) : m_code(code), m_isArray(isArray) {}

ECIMType TCIMValue::TCIMType::GetCode() const
{
    return m_code;
}

bool TCIMValue::TCIMType::IsArray() const
{
    return m_isArray;
}

std::string TCIMValue::TCIMType::GetName() const
{
    std::string name = CIMTypeName(m_code);
    if (m_isArray) {
        name += "[]";
    }
    return name;
}

bool TCIMValue::TCIMType::operator==(const TCIMType& other) const
{
    return m_code == other.m_code && m_isArray == other.m_isArray;
}

bool TCIMValue::TCIMType::operator!=(const TCIMType& other) const
{
    return !(*this == other);
}

// ---------------------------------------------------------------- TCIMValue

TCIMValue::TCIMValue()
    : m_code(cimNone), m_isArray(false), m_isNull(true), m_unsigned(0), m_real32(0.0f)
{
}

TCIMValue::TCIMValue(bool value)
    : m_code(cimBoolean), m_isArray(false), m_isNull(false), m_unsigned(value ? 1 : 0),
      m_real32(0.0f)
{
}

TCIMValue::TCIMValue(std::uint8_t value)
    : m_code(cimUint8), m_isArray(false), m_isNull(false), m_unsigned(value), m_real32(0.0f)
{
}

TCIMValue::TCIMValue(std::uint16_t value)
    : m_code(cimUint16), m_isArray(false), m_isNull(false), m_unsigned(value), m_real32(0.0f)
{
}

TCIMValue::TCIMValue(std::uint32_t value)
    : m_code(cimUint32), m_isArray(false), m_isNull(false), m_unsigned(value), m_real32(0.0f)
{
}

TCIMValue::TCIMValue(float value)
    : m_code(cimReal32), m_isArray(false), m_isNull(false), m_unsigned(0), m_real32(value)
{
}

// A null C string gives a null string value.
TCIMValue::TCIMValue(const char* value)
    : m_code(cimString), m_isArray(false), m_isNull(value == nullptr), m_unsigned(0),
      m_real32(0.0f), m_text(value != nullptr ? value : "")
{
}

TCIMValue::TCIMValue(const std::string& value)
    : m_code(cimString), m_isArray(false), m_isNull(false), m_unsigned(0), m_real32(0.0f),
      m_text(value)
{
}

TCIMValue::TCIMValue(const TCIMDateTime& value)
    : m_code(cimDateTime), m_isArray(false), m_isNull(value.IsNull()), m_unsigned(0),
      m_real32(0.0f), m_dateTime(value)
{
}

// A reference without an object path refers to nothing: a null value.
TCIMValue::TCIMValue(const TCIMReference& value)
    : m_code(cimReference), m_isArray(false), m_isNull(value.IsNull()), m_unsigned(0),
      m_real32(0.0f), m_reference(value)
{
}

TCIMValue::TCIMValue(const TCIMType& elementType, unsigned int count,
                     const std::vector<TCIMValue>& elements)
    : m_code(elementType.GetCode()), m_isArray(true), m_isNull(false), m_unsigned(0),
      m_real32(0.0f)
{
    if (elementType.IsArray() || elementType.GetCode() == cimNone) {
        throw TKVTException("TCIMValue: an array cannot have elements of type " +
                            elementType.GetName());
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (elements[i].GetType() != elementType) {
            throw TKVTException("TCIMValue: element " + std::to_string(i) + " of a " +
                                elementType.GetName() + " array has type " +
                                elements[i].GetType().GetName());
        }
    }
    m_elements.reserve(count > elements.size() ? count : elements.size());
    m_elements.assign(elements.begin(), elements.end());
}

bool TCIMValue::IsNull() const
{
    return m_isNull;
}

bool TCIMValue::IsArray() const
{
    return m_isArray;
}

TCIMValue::TCIMType TCIMValue::GetType() const
{
    return TCIMType(m_code, m_isArray);
}

namespace {

[[noreturn]] void ThrowWrongAccess(const char* accessor, const TCIMValue& value)
{
    throw TKVTException(std::string("TCIMValue::") + accessor + " on a " +
                        (value.IsNull() ? "null " : "") + value.GetType().GetName() + " value");
}

}  // namespace

bool TCIMValue::GetBoolean() const
{
    if (m_isNull || m_isArray || m_code != cimBoolean) {
        ThrowWrongAccess("GetBoolean", *this);
    }
    return m_unsigned != 0;
}

std::uint64_t TCIMValue::GetUnsigned() const
{
    const bool isUnsigned =
        m_code == cimUint8 || m_code == cimUint16 || m_code == cimUint32 || m_code == cimUint64;
    if (m_isNull || m_isArray || !isUnsigned) {
        ThrowWrongAccess("GetUnsigned", *this);
    }
    return m_unsigned;
}

float TCIMValue::GetReal32() const
{
    if (m_isNull || m_isArray || m_code != cimReal32) {
        ThrowWrongAccess("GetReal32", *this);
    }
    return m_real32;
}

const std::string& TCIMValue::GetString() const
{
    if (m_isNull || m_isArray || m_code != cimString) {
        ThrowWrongAccess("GetString", *this);
    }
    return m_text;
}

const TCIMDateTime& TCIMValue::GetDateTime() const
{
    if (m_isNull || m_isArray || m_code != cimDateTime) {
        ThrowWrongAccess("GetDateTime", *this);
    }
    return m_dateTime;
}

const TCIMReference& TCIMValue::GetReference() const
{
    if (m_isNull || m_isArray || m_code != cimReference) {
        ThrowWrongAccess("GetReference", *this);
    }
    return m_reference;
}

const std::vector<TCIMValue>& TCIMValue::GetElements() const
{
    if (!m_isArray) {
        ThrowWrongAccess("GetElements", *this);
    }
    return m_elements;
}

TCIMValue::operator std::string() const
{
    return ToString();
}

std::string TCIMValue::ToString() const
{
    if (m_isNull) {
        return std::string();
    }
    if (m_isArray) {
        std::string text;
        for (std::size_t i = 0; i < m_elements.size(); ++i) {
            if (i > 0) {
                text += ',';
            }
            text += m_elements[i].ToString();
        }
        return text;
    }
    switch (m_code) {
    case cimBoolean:
        return m_unsigned != 0 ? "true" : "false";
    case cimUint8:
    case cimUint16:
    case cimUint32:
    case cimUint64:
        return std::to_string(m_unsigned);
    case cimReal32: {
        // The shortest text that reads back as the same float: 1.3f gives
        // "1.3", not the "1.29999995" of a fixed precision.
        char text[64];
        const std::to_chars_result result = std::to_chars(text, text + sizeof text, m_real32);
        return std::string(text, result.ptr);
    }
    case cimString:
        return m_text;
    case cimDateTime:
        return m_dateTime.ToString();
    case cimReference:
        return m_reference.GetObjectPath();
    default:
        return std::string();
    }
}

}  // namespace NORNKVT20
