#pragma once
// Little-endian byte streams for the drawing file: a writer into a growing
// buffer and a bounds-checked reader over a byte span, so that files are
// written and read in memory, field by field.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace quirindo {

// The reader ran past the end of its data, or met a value it cannot accept.
// what() is one of the German reason texts of Messages.h.
class TReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TByteWriter {
public:
    void WriteInt32(std::int32_t v);
    void WriteDouble(double v);
    void WriteByte(std::uint8_t v);
    void WriteZeros(std::size_t n);
    void WriteBytes(const void* data, std::size_t n);
    // Makes room for n more bytes without writing them, so that a large file
    // is built in one buffer instead of growing byte by byte.
    void Reserve(std::size_t n) { FBytes.reserve(FBytes.size() + n); }
    // Appends n bytes and returns where they start, for writing a run of
    // records in one pass; valid until the next write.
    std::uint8_t* Extend(std::size_t n);
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
    std::vector<std::uint8_t> Take() { return std::move(FBytes); }

private:
    std::vector<std::uint8_t> FBytes;
};

class TByteReader {
public:
    explicit TByteReader(std::span<const std::uint8_t> data) : FData(data) {}
    std::int32_t ReadInt32();
    double ReadDouble();
    std::uint8_t ReadByte();
    void Skip(std::size_t n);
    void ReadBytes(void* out, std::size_t n);
    std::size_t Position() const { return FPos; }
    std::size_t Remaining() const { return FData.size() - FPos; }
    bool AtEnd() const { return FPos >= FData.size(); }
    // The next n bytes, consumed at once (a run of records); throws at the end.
    const std::uint8_t* Take(std::size_t n);

private:
    std::span<const std::uint8_t> FData;
    std::size_t FPos = 0;
};

// int32 byte count, then the bytes of an 8-bit string.
void WriteLenString(TByteWriter& w, const std::string& s);
std::string ReadLenString(TByteReader& r);
// int32 count of UTF-16 code units, then the code units little-endian.
void WriteLenWideString(TByteWriter& w, const std::u16string& s);
std::u16string ReadLenWideString(TByteReader& r);

} // namespace quirindo
