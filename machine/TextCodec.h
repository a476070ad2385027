#pragma once
// The project's one text codec: the ANSI code page that the Win32 "A"
// functions speak (Windows-1252) to and from UTF-8, UTF-16LE as the registry
// stores text in binary values, and bytes as pairs of hexadecimal digits.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace textcodec {

using Bytes = std::vector<std::uint8_t>;

// Every byte of the code page stands for a character, so this never fails.
// The five bytes the code page leaves undefined map to the C1 control of the
// same number, as Windows does.
std::string AnsiToUtf8(const std::string& ansi);

// Converts valid UTF-8 into the code page. False, with the offending code
// point (0xFFFFFFFF for malformed UTF-8) in badCodePoint, when a character
// has no byte in the code page.
bool Utf8ToAnsi(const std::string& utf8, std::string& ansi, unsigned& badCodePoint);

// Text the code page can hold, at most limit characters: UTF-8 that converts
// and fits is converted; otherwise every character outside printable ASCII
// becomes '?' and the text is cut to the limit.
std::string Utf8ToAnsiLossy(const std::string& utf8, std::size_t limit);

// UTF-8 as UTF-16LE with its two-byte terminator; nothing for malformed UTF-8.
std::optional<Bytes> Utf8ToUtf16(const std::string& utf8);
// The same for text of the code page.
Bytes AnsiToUtf16(const std::string& ansi);

// The UTF-8 of UTF-16LE bytes that hold printable text ended by one
// terminator, as drivers store names in binary registry values; nothing for
// any other bytes (controls, unpaired surrogates, a missing or early
// terminator), so that binary data is never taken for text.
std::optional<std::string> Utf16TextToUtf8(const Bytes& bytes);

// Text as the registry stores a REG_SZ value: its bytes and a zero.
Bytes TerminatedText(const std::string& text);
// Strings as the registry stores a REG_MULTI_SZ value and the device
// installer hands out identifier lists: each string and its zero, then one
// more zero.
Bytes MultiString(const std::vector<std::string>& strings);
// The strings of such bytes, when they hold nothing else (no empty string
// before the end, no missing or extra zero).
std::optional<std::vector<std::string>> SplitMultiString(const Bytes& bytes);

// Bytes as pairs of lower-case hexadecimal digits separated by blanks.
std::string HexPairs(const Bytes& bytes);

// Reads pairs of hexadecimal digits, with blanks allowed between the pairs.
// On failure gives the position of the bad character, or text.size() when
// the last byte has only one digit.
struct HexFault {
    std::size_t position;
};
std::optional<HexFault> ParseHexPairs(const std::string& text, Bytes& bytes);

}  // namespace textcodec
