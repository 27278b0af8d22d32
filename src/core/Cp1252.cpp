#include "Cp1252.h"

#include <array>

namespace quirindo {
namespace {

// 0x80..0x9F; the five bytes Windows leaves undefined map to the same code point.
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t FromByte(unsigned char b) {
    if (b >= 0x80 && b <= 0x9F) return kHighControlRange[b - 0x80];
    return b;
}

int ToByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i)
        if (kHighControlRange[i] == c) return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

int Cp1252Byte(char16_t c) {
    return ToByte(c);
}

std::u16string Utf16FromCp1252(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out.push_back(FromByte(static_cast<unsigned char>(b)));
    return out;
}

std::string Cp1252FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const int b = ToByte(c);
        if (b >= 0) {
            out.push_back(static_cast<char>(b));
        } else {
            // A surrogate pair is one character: one replacement for both halves.
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF)
                ++i;
            out.push_back('?');
        }
    }
    return out;
}

} // namespace quirindo
