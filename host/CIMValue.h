#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/CIMDateTime.h"
#include "host/CIMReference.h"
#include "host/KvtApi.h"

namespace NORNKVT20 {

// CIM type codes as the host numbers them.
enum ECIMType {
    cimNone = 0,
    cimBoolean = 1,
    cimUint8 = 2,
    cimSint8 = 3,
    cimUint16 = 4,
    cimSint16 = 5,
    cimUint32 = 6,
    cimSint32 = 7,
    cimUint64 = 8,
    cimSint64 = 9,
    cimReal32 = 10,
    cimReal64 = 11,
    cimChar16 = 12,
    cimString = 13,
    cimDateTime = 14,
    cimReference = 15
};

KVTCORE_API const char* CIMTypeName(ECIMType type);

// A typed CIM value, scalar or array, or null.
class KVTCORE_API TCIMValue {
public:
    // The type of a value: a type code and whether it is an array of it.
    class KVTCORE_API TCIMType {
    public:
        TCIMType(ECIMType code = cimNone, bool isArray = false);
        ECIMType GetCode() const;
        bool IsArray() const;
        // "uint16", "string[]", ...
        std::string GetName() const;
        bool operator==(const TCIMType& other) const;
        bool operator!=(const TCIMType& other) const;

    private:
        ECIMType m_code;
        bool m_isArray;
    };

    TCIMValue();  // null
    TCIMValue(bool value);
    TCIMValue(std::uint8_t value);
    TCIMValue(std::uint16_t value);
    TCIMValue(std::uint32_t value);
    TCIMValue(float value);
    TCIMValue(const char* value);
    TCIMValue(const std::string& value);
    TCIMValue(const TCIMDateTime& value);  // null when the datetime is null
    TCIMValue(const TCIMReference& value);
    // An array of elementType; the elements come from the vector, the count
    // is only a size hint. An array without elements is a value, not null.
    TCIMValue(const TCIMType& elementType, unsigned int count,
              const std::vector<TCIMValue>& elements);

    bool IsNull() const;
    bool IsArray() const;
    // The value's type (for an array: element code and the array flag).
    TCIMType GetType() const;

    bool GetBoolean() const;
    std::uint64_t GetUnsigned() const;
    float GetReal32() const;
    const std::string& GetString() const;
    const TCIMDateTime& GetDateTime() const;
    const TCIMReference& GetReference() const;
    const std::vector<TCIMValue>& GetElements() const;

    // The value as text: strings unchanged, numbers in decimal, real32 as the
    // shortest decimal that reads back as the same float, booleans as
    // "true"/"false", datetimes as DMTF text, references as object paths,
    // arrays as their elements joined by ","; empty for null.
    operator std::string() const;
    std::string ToString() const;

private:
    ECIMType m_code;
    bool m_isArray;
    bool m_isNull;
    std::uint64_t m_unsigned;
    float m_real32;
    std::string m_text;
    TCIMDateTime m_dateTime;
    TCIMReference m_reference;
    std::vector<TCIMValue> m_elements;
};

// Property values by name, in byte-wise name order. Also the type of the
// context argument every host operation takes last.
typedef std::map<std::string, TCIMValue> PropertyMap;

}  // namespace NORNKVT20
