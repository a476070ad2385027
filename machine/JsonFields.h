#pragma once
// Reading the fields of a JSON document strictly: each reader checks the
// type, range and length of what it reads and throws DescriptionError naming
// the source, the place and the fault.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>

#include <nlohmann/json.hpp>

#include "machine/JsonPlace.h"

namespace machine::json {

using Json = nlohmann::json;

class FieldReader {
public:
    explicit FieldReader(std::string source) : source_(std::move(source)) {}

    [[noreturn]] void Fail(const Place& place, const std::string& what) const;

    // The member, or null.
    static const Json* Member(const Json& object, const char* key);
    // An object, with any keys.
    const Json& Object(const Json& value, const Place& place) const;
    // An object whose keys are all among allowed.
    const Json& Object(const Json& value, const Place& place,
                       std::initializer_list<const char*> allowed) const;
    const Json& Array(const Json& value, const Place& place) const;
    const Json& Required(const Json& object, const Place& place, const char* key) const;

    // UTF-8 of the file turned into the ANSI code page; what names the text
    // in the message when a character has no place there.
    std::string Ansi(const std::string& utf8, const Place& place, const char* what) const;
    // A string of at most maxLength characters; a zero character is refused
    // unless zeroAllowed. ANSI text is converted from the file's UTF-8;
    // payloads that are not ANSI text stay as written.
    std::string Text(const Json& value, const Place& place, std::size_t maxLength,
                     bool zeroAllowed = false, bool ansi = true) const;
    std::uint32_t Unsigned(const Json& value, const Place& place) const;
    std::int32_t Signed(const Json& value, const Place& place) const;
    bool Flag(const Json& value, const Place& place) const;

    std::uint32_t OptionalUnsigned(const Json& object, const Place& place, const char* key,
                                   std::uint32_t fallback) const;
    std::int32_t OptionalSigned(const Json& object, const Place& place, const char* key) const;
    bool OptionalFlag(const Json& object, const Place& place, const char* key) const;
    std::string OptionalText(const Json& object, const Place& place, const char* key,
                             std::size_t maxLength) const;

private:
    std::string source_;
};

}  // namespace machine::json
