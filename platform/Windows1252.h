#pragma once
// The ANSI code page the Win32 "A" functions speak (Windows-1252), converted
// to and from UTF-8 for files and terminals. Header-only so that the Windows
// build of the host program and the Linux stand-ins share it.
#include <cstddef>
#include <string>

namespace windows1252 {

// Code points of bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same number, as Windows does.
inline unsigned HighControlCodePoint(unsigned char byte)
{
    static const unsigned kTable[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    return kTable[byte - 0x80];
}

inline unsigned CodePoint(unsigned char byte)
{
    return byte >= 0x80 && byte <= 0x9F ? HighControlCodePoint(byte) : byte;
}

// Every byte stands for some character, so this never fails.
inline std::string ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char byte : text) {
        unsigned c = CodePoint(byte);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Converts valid UTF-8 into the code page. Returns false, with the offending
// code point (or 0xFFFFFFFF for malformed UTF-8) in badCodePoint, when a
// character has no byte in the code page.
inline bool FromUtf8(const std::string& utf8, std::string& out, unsigned& badCodePoint)
{
    out.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        unsigned c = 0;
        std::size_t extra = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            c = lead & 0x1F;
            extra = 1;
        } else if ((lead & 0xF0) == 0xE0) {
            c = lead & 0x0F;
            extra = 2;
        } else if ((lead & 0xF8) == 0xF0) {
            c = lead & 0x07;
            extra = 3;
        } else {
            badCodePoint = 0xFFFFFFFFu;
            return false;
        }
        if (extra != 0 && i + extra >= utf8.size()) {
            badCodePoint = 0xFFFFFFFFu;
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) {
                badCodePoint = 0xFFFFFFFFu;
                return false;
            }
            c = (c << 6) | (next & 0x3F);
        }
        i += extra + 1;

        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        bool found = false;
        for (unsigned byte = 0x80; byte <= 0x9F; ++byte) {
            if (HighControlCodePoint(static_cast<unsigned char>(byte)) == c) {
                out += static_cast<char>(byte);
                found = true;
                break;
            }
        }
        if (!found) {
            badCodePoint = c;
            return false;
        }
    }
    return true;
}

}  // namespace windows1252
