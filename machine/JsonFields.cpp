#include "machine/JsonFields.h"

#include <iomanip>
#include <sstream>

#include "machine/DescriptionError.h"
#include "machine/TextCodec.h"

namespace machine::json {

void FieldReader::Fail(const Place& place, const std::string& what) const
{
    throw DescriptionError(source_ + ": " + place.Text() + ": " + what);
}

const Json* FieldReader::Member(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

const Json& FieldReader::Object(const Json& value, const Place& place) const
{
    if (!value.is_object()) {
        Fail(place, "expected an object, found " + TypeOf(value));
    }
    return value;
}

const Json& FieldReader::Object(const Json& value, const Place& place,
                                std::initializer_list<const char*> allowed) const
{
    for (const auto& item : Object(value, place).items()) {
        bool known = false;
        for (const char* key : allowed) {
            known = known || item.key() == key;
        }
        if (!known) {
            Fail(place / item.key(), "unknown key " + Quoted(item.key()));
        }
    }
    return value;
}

const Json& FieldReader::Array(const Json& value, const Place& place) const
{
    if (!value.is_array()) {
        Fail(place, "expected an array, found " + TypeOf(value));
    }
    return value;
}

const Json& FieldReader::Required(const Json& object, const Place& place, const char* key) const
{
    const Json* member = Member(object, key);
    if (member == nullptr) {
        Fail(place, "the key " + Quoted(key) + " is missing");
    }
    return *member;
}

std::string FieldReader::Ansi(const std::string& utf8, const Place& place, const char* what) const
{
    std::string converted;
    unsigned badCodePoint = 0;
    if (!textcodec::Utf8ToAnsi(utf8, converted, badCodePoint)) {
        std::ostringstream character;
        character << "U+" << std::uppercase << std::hex << std::setw(4) << std::setfill('0')
                  << badCodePoint;
        Fail(place, std::string("the ") + what + " holds " + character.str() +
                        ", which the ANSI code page (Windows-1252) cannot represent");
    }
    return converted;
}

std::string FieldReader::Text(const Json& value, const Place& place, std::size_t maxLength,
                              bool zeroAllowed, bool ansi) const
{
    if (!value.is_string()) {
        Fail(place, "expected a string, found " + TypeOf(value));
    }
    std::string text = value.get_ref<const std::string&>();
    if (ansi) {
        text = Ansi(text, place, "string");
    }
    if (!zeroAllowed && text.find('\0') != std::string::npos) {
        Fail(place, "the string contains a zero character");
    }
    if (text.size() > maxLength) {
        Fail(place, "the string has " + std::to_string(text.size()) +
                        " characters, more than the " + std::to_string(maxLength) + " that fit");
    }
    return text;
}

std::uint32_t FieldReader::Unsigned(const Json& value, const Place& place) const
{
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > 0xFFFFFFFFull) {
            Fail(place, std::to_string(number) + " is too large for 32 bits");
        }
        return static_cast<std::uint32_t>(number);
    }
    if (value.is_number_integer()) {
        Fail(place, std::to_string(value.get<std::int64_t>()) + " is negative");
    }
    Fail(place, "expected a whole number, found " + TypeOf(value));
}

std::int32_t FieldReader::Signed(const Json& value, const Place& place) const
{
    if (!value.is_number_integer()) {
        Fail(place, "expected a whole number, found " + TypeOf(value));
    }
    if (value.is_number_unsigned() && value.get<std::uint64_t>() > 0x7FFFFFFFull) {
        Fail(place, std::to_string(value.get<std::uint64_t>()) + " is too large for 32 bits");
    }
    const auto number = value.get<std::int64_t>();
    if (number < -0x80000000LL) {
        Fail(place, std::to_string(number) + " is too small for 32 bits");
    }
    return static_cast<std::int32_t>(number);
}

bool FieldReader::Flag(const Json& value, const Place& place) const
{
    if (!value.is_boolean()) {
        Fail(place, "expected true or false, found " + TypeOf(value));
    }
    return value.get<bool>();
}

std::uint32_t FieldReader::OptionalUnsigned(const Json& object, const Place& place,
                                            const char* key, std::uint32_t fallback) const
{
    const Json* member = Member(object, key);
    return member != nullptr ? Unsigned(*member, place / key) : fallback;
}

std::int32_t FieldReader::OptionalSigned(const Json& object, const Place& place,
                                         const char* key) const
{
    const Json* member = Member(object, key);
    return member != nullptr ? Signed(*member, place / key) : 0;
}

bool FieldReader::OptionalFlag(const Json& object, const Place& place, const char* key) const
{
    const Json* member = Member(object, key);
    return member != nullptr && Flag(*member, place / key);
}

std::string FieldReader::OptionalText(const Json& object, const Place& place, const char* key,
                                      std::size_t maxLength) const
{
    const Json* member = Member(object, key);
    return member != nullptr ? Text(*member, place / key, maxLength) : std::string();
}

}  // namespace machine::json
