#include "ByteStream.h"

#include "Messages.h"

#include <bit>
#include <cstring>
#include <limits>

namespace quirindo {

void TByteWriter::WriteInt32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        FBytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void TByteWriter::WriteDouble(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int i = 0; i < 8; ++i)
        FBytes.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

void TByteWriter::WriteByte(std::uint8_t v) {
    FBytes.push_back(v);
}

void TByteWriter::WriteZeros(std::size_t n) {
    FBytes.insert(FBytes.end(), n, 0);
}

std::uint8_t* TByteWriter::Extend(std::size_t n) {
    const std::size_t at = FBytes.size();
    FBytes.resize(at + n);
    return FBytes.data() + at;
}

void TByteWriter::WriteBytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    FBytes.insert(FBytes.end(), p, p + n);
}

const std::uint8_t* TByteReader::Take(std::size_t n) {
    if (n > Remaining()) throw TReadError(reason::EndOfFile);
    const std::uint8_t* p = FData.data() + FPos;
    FPos += n;
    return p;
}

std::int32_t TByteReader::ReadInt32() {
    const std::uint8_t* p = Take(4);
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i)
        u |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}

double TByteReader::ReadDouble() {
    const std::uint8_t* p = Take(8);
    std::uint64_t u = 0;
    for (int i = 0; i < 8; ++i)
        u |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return std::bit_cast<double>(u);
}

std::uint8_t TByteReader::ReadByte() {
    return *Take(1);
}

void TByteReader::Skip(std::size_t n) {
    Take(n);
}

void TByteReader::ReadBytes(void* out, std::size_t n) {
    const std::uint8_t* p = Take(n);
    if (n) std::memcpy(out, p, n);
}

void WriteLenString(TByteWriter& w, const std::string& s) {
    if (s.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("string too long for the file");
    w.WriteInt32(static_cast<std::int32_t>(s.size()));
    w.WriteBytes(s.data(), s.size());
}

std::string ReadLenString(TByteReader& r) {
    const std::int32_t n = r.ReadInt32();
    // Check the announced length against what is left before allocating.
    if (n < 0) throw TReadError(reason::NegativeStringLength);
    if (static_cast<std::size_t>(n) > r.Remaining()) throw TReadError(reason::StringPastEnd);
    std::string s(static_cast<std::size_t>(n), '\0');
    r.ReadBytes(s.data(), s.size());
    return s;
}

void WriteLenWideString(TByteWriter& w, const std::u16string& s) {
    if (s.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2))
        throw std::length_error("text too long for the file");
    w.WriteInt32(static_cast<std::int32_t>(s.size()));
    for (char16_t c : s) {
        w.WriteByte(static_cast<std::uint8_t>(c & 0xFF));
        w.WriteByte(static_cast<std::uint8_t>(c >> 8));
    }
}

std::u16string ReadLenWideString(TByteReader& r) {
    const std::int32_t n = r.ReadInt32();
    if (n < 0) throw TReadError(reason::NegativeTextLength);
    if (static_cast<std::size_t>(n) > r.Remaining() / 2) throw TReadError(reason::TextPastEnd);
    std::u16string s(static_cast<std::size_t>(n), u'\0');
    for (auto& c : s) {
        const std::uint8_t lo = r.ReadByte();
        const std::uint8_t hi = r.ReadByte();
        c = static_cast<char16_t>(lo | (hi << 8));
    }
    return s;
}

} // namespace quirindo
