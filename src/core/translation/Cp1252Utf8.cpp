#include "Cp1252Utf8.h"

#include "Cp1252.h"

#include <array>
#include <cstdint>

namespace quirindo {
namespace {

// Code point of every byte, taken from the code page table of the core.
const std::array<char32_t, 256>& CodePoints() {
    static const std::array<char32_t, 256> table = [] {
        std::array<char32_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            t[b] = Utf16FromCp1252(std::string_view(&byte, 1))[0];
        }
        return t;
    }();
    return table;
}

int ByteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    const auto& table = CodePoints();
    for (int b = 0x80; b < 0xA0; ++b)
        if (table[b] == c) return b;
    return -1;
}

// Decodes one character at `i`, moving `i` past it; -1 for malformed input
// (truncated, overlong, surrogate or beyond U+10FFFF).
std::int32_t Decode(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i++]);
    if (lead < 0x80) return lead;
    int extra = 0;
    std::int32_t c = 0;
    std::int32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, c = lead & 0x07, minimum = 0x10000;
    } else {
        return -1;
    }
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size()) return -1;
        const auto next = static_cast<unsigned char>(s[i++]);
        if ((next & 0xC0) != 0x80) return -1;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
    return c;
}

void Encode(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

} // namespace

bool Cp1252FromUtf8(std::string_view utf8, std::string& bytes) {
    bytes.clear();
    bytes.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const std::int32_t c = Decode(utf8, i);
        const int b = c < 0 ? -1 : ByteOf(static_cast<char32_t>(c));
        if (b < 0) return false;
        bytes.push_back(static_cast<char>(b));
    }
    return true;
}

std::string Utf8FromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char b : bytes)
        Encode(CodePoints()[static_cast<unsigned char>(b)], out);
    return out;
}

} // namespace quirindo
