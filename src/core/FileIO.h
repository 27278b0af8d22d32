#pragma once
// Whole-file reads and crash-safe writes: a save goes to a temporary file
// beside the target, is flushed to disk and only then replaces the old file,
// so a failed save never destroys the previous drawing.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quirindo {

// Reads the whole file. On failure returns false and a reason in `error`
// (the reasons here and below are German texts of Messages.h).
// Files larger than maxBytes are refused.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::size_t maxBytes = std::size_t(1) << 31);

// Writes `bytes` to `path` through a temporary file in the same directory.
// On failure the previous file at `path` is untouched and `error` says why.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// The same in pieces, for files too large to build in memory first: Open,
// any number of Write calls, then Commit. Until Commit succeeds the file at
// the path is untouched; a writer dropped without Commit removes its
// temporary file. After the first failure every call returns false and
// Error() says why.
class TAtomicFileWriter {
public:
    TAtomicFileWriter() = default;
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;
    ~TAtomicFileWriter();

    bool Open(const std::string& path);
    bool Write(std::span<const std::uint8_t> bytes);
    bool Commit();
    [[nodiscard]] const std::string& Error() const { return FError; }

private:
    bool Fail();
    void Discard();

    int FFd = -1;
    bool FFailed = false;
    std::string FPath; // the target, symbolic links resolved
    std::string FTemp;
    std::string FError;
};

} // namespace quirindo
