#include "machine/TextCodec.h"

namespace textcodec {

namespace {

// Code points of bytes 0x80..0x9F.
const unsigned kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

unsigned CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : byte;
}

void AppendUtf8(unsigned c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 character at i and moves i past it; false for a
// malformed sequence.
bool NextCodePoint(const std::string& utf8, std::size_t& i, unsigned& c)
{
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = 0;
    if (lead < 0x80) {
        c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
        c = lead & 0x1Fu;
        extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
        c = lead & 0x0Fu;
        extra = 2;
    } else if ((lead & 0xF8) == 0xF0) {
        c = lead & 0x07u;
        extra = 3;
    } else {
        return false;
    }
    if (extra != 0 && i + extra >= utf8.size()) {
        return false;
    }
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        c = (c << 6) | (next & 0x3Fu);
    }
    i += extra + 1;
    return true;
}

void AppendUnit(unsigned unit, Bytes& bytes)
{
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
}

void AppendUtf16(unsigned c, Bytes& bytes)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        AppendUnit(0xD800 + (c >> 10), bytes);
        AppendUnit(0xDC00 + (c & 0x3FF), bytes);
    } else {
        AppendUnit(c, bytes);
    }
}

bool Printable(unsigned c)
{
    return c >= 0x20 && !(c >= 0x7F && c <= 0x9F) && c != 0xFFFE && c != 0xFFFF;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

std::string AnsiToUtf8(const std::string& ansi)
{
    std::string out;
    out.reserve(ansi.size());
    for (unsigned char byte : ansi) {
        AppendUtf8(CodePoint(byte), out);
    }
    return out;
}

bool Utf8ToAnsi(const std::string& utf8, std::string& ansi, unsigned& badCodePoint)
{
    ansi.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned c = 0;
        if (!NextCodePoint(utf8, i, c)) {
            badCodePoint = 0xFFFFFFFFu;
            return false;
        }
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            ansi += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (unsigned byte = 0x80; byte <= 0x9F && !found; ++byte) {
            if (kHighControls[byte - 0x80] == c) {
                ansi += static_cast<char>(byte);
                found = true;
            }
        }
        if (!found) {
            badCodePoint = c;
            return false;
        }
    }
    return true;
}

std::string Utf8ToAnsiLossy(const std::string& utf8, std::size_t limit)
{
    std::string converted;
    unsigned bad = 0;
    if (Utf8ToAnsi(utf8, converted, bad) && converted.size() <= limit) {
        return converted;
    }
    std::string ascii;
    for (unsigned char c : utf8) {
        if (c >= 0x20 && c < 0x7F) {
            ascii.push_back(static_cast<char>(c));
        } else if ((c & 0xC0) != 0x80) {
            ascii.push_back('?');  // a control or the first byte of a sequence
        }
    }
    if (ascii.size() > limit) {
        ascii.resize(limit);
    }
    return ascii;
}

std::optional<Bytes> Utf8ToUtf16(const std::string& utf8)
{
    Bytes bytes;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned c = 0;
        if (!NextCodePoint(utf8, i, c)) {
            return std::nullopt;
        }
        AppendUtf16(c, bytes);
    }
    AppendUnit(0, bytes);
    return bytes;
}

Bytes AnsiToUtf16(const std::string& ansi)
{
    Bytes bytes;
    for (unsigned char byte : ansi) {
        AppendUtf16(CodePoint(byte), bytes);
    }
    AppendUnit(0, bytes);
    return bytes;
}

std::optional<std::string> Utf16TextToUtf8(const Bytes& bytes)
{
    if (bytes.size() < 2 || bytes.size() % 2 != 0) {
        return std::nullopt;
    }
    const std::size_t units = bytes.size() / 2;
    auto unit = [&bytes](std::size_t i) { return bytes[2 * i] | unsigned{bytes[2 * i + 1]} << 8; };
    if (unit(units - 1) != 0) {
        return std::nullopt;
    }
    std::string text;
    for (std::size_t i = 0; i + 1 < units; ++i) {
        unsigned c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 2 < units && unit(i + 1) >= 0xDC00 &&
            unit(i + 1) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (!Printable(c)) {
            return std::nullopt;
        }
        AppendUtf8(c, text);
    }
    return text;
}

Bytes TerminatedText(const std::string& text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

Bytes MultiString(const std::vector<std::string>& strings)
{
    Bytes bytes;
    for (const std::string& text : strings) {
        bytes.insert(bytes.end(), text.begin(), text.end());
        bytes.push_back(0);
    }
    bytes.push_back(0);
    return bytes;
}

std::optional<std::vector<std::string>> SplitMultiString(const Bytes& bytes)
{
    std::vector<std::string> strings;
    std::size_t at = 0;
    while (at < bytes.size() && bytes[at] != 0) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != 0) {
            ++end;
        }
        if (end == bytes.size()) {
            return std::nullopt;
        }
        strings.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                             bytes.begin() + static_cast<std::ptrdiff_t>(end));
        at = end + 1;
    }
    if (at + 1 != bytes.size()) {
        return std::nullopt;
    }
    return strings;
}

std::string HexPairs(const Bytes& bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text.push_back(' ');
        }
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0xF]);
    }
    return text;
}

std::optional<HexFault> ParseHexPairs(const std::string& text, Bytes& bytes)
{
    bytes.clear();
    for (std::size_t i = 0; i < text.size();) {
        if (Blank(text[i])) {
            ++i;
            continue;
        }
        const int high = HexDigit(text[i]);
        const int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0) {
            return HexFault{high < 0 ? i : i + 1};
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
    }
    return std::nullopt;
}

}  // namespace textcodec
