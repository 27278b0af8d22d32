#pragma once
// A file opened for reading only and read at any offset, so that a reader can
// judge a file by its first bytes and its size before reading all of it.

#include <cstdint>
#include <string>
#include <vector>

namespace quirindo {

class TReadOnlyFile {
public:
    TReadOnlyFile() = default;
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;
    ~TReadOnlyFile();

    // Opens a regular file (a named pipe or a device is refused without
    // waiting for it). False with a German reason in Error() on failure.
    bool Open(const std::string& path);
    [[nodiscard]] std::uint64_t Size() const { return FSize; }
    // Exactly n bytes from `offset`; false at the end of the file or on an
    // error (Error() then says which).
    bool ReadAt(std::uint64_t offset, void* out, std::size_t n);
    // The whole file. May throw std::bad_alloc for a file larger than the
    // memory that can be had.
    bool ReadAll(std::vector<std::uint8_t>& bytes);
    [[nodiscard]] const std::string& Error() const { return FError; }

private:
    int FFd = -1;
    std::uint64_t FSize = 0;
    std::string FError;
};

} // namespace quirindo
