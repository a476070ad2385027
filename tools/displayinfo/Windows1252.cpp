#include "Windows1252.h"

namespace {

// Code points of bytes 0x80..0x9F. The five bytes code page 1252 leaves
// undefined map to the C1 control of the same number, as Windows does.
const unsigned kHighControlRange[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, unsigned codePoint)
{
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

std::string Windows1252ToUtf8(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (unsigned char byte : text) {
        if (byte >= 0x80 && byte <= 0x9F) {
            AppendUtf8(out, kHighControlRange[byte - 0x80]);
        } else {
            AppendUtf8(out, byte);
        }
    }
    return out;
}
