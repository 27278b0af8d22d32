#pragma once
// Whole-file reads and safe writes. A save normally goes to a temporary file
// beside the target, is flushed to disk and only then replaces the old file,
// so a failed save never destroys the previous drawing. Where that
// replacement would change the file the user has (its owner or group, its
// access list, or its other hard links), or no temporary file can be made
// beside it, the
// finished content is written into the file itself, and the old bytes are
// put back if that write fails.

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

// Writes `bytes` to `path` (a symbolic link: to the file it names). An
// existing file must be one the user may write; otherwise it is left alone
// and the reason is the one opening it for writing gives ("Permission
// denied"). The file keeps its owner, group, permissions, access list and
// hard links.
// On failure the previous content is kept and `error` says why.
bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error);

// Whether both paths name one existing file (the same device and inode,
// symbolic links followed), however they are spelt.
[[nodiscard]] bool SameFile(const std::string& a, const std::string& b);

// The same in pieces, for files too large to build in memory first: Open,
// any number of Write calls, then Commit. Until Commit succeeds the file at
// the path is untouched; a writer dropped without Commit removes its
// temporary file. After the first failure every call returns false and
// Error() says why. An existing file the user may not write is refused at
// Open; the new file gets the old one's permissions and, where the user may
// give them, its owner, group and extended attributes.
// The name template (for mkstemp) of a temporary file beside `target`:
// ".NAME.quirindo-tmp-PID-XXXXXX", hidden, and telling which process made it.
[[nodiscard]] std::string TemporaryFileTemplate(const std::string& target);

// Removes from `directory` the temporary files of this program (by the name
// above, regular files of this user) whose process has ended, or that were
// last written before the process now holding that id started. Returns how
// many were removed.
int RemoveStaleTemporaryFiles(const std::string& directory);

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
    // After a successful Open: whether committing leaves the file as the
    // user knew it: the same owner, group, permissions and extended
    // attributes (access lists), and no other name (hard link) left holding
    // the old content.
    [[nodiscard]] bool KeepsTheFile() const { return FKeepsTheFile; }

private:
    bool Fail();
    void Discard();

    int FFd = -1;
    bool FFailed = false;
    bool FKeepsTheFile = false;
    std::string FPath; // the target, symbolic links resolved
    std::string FTemp;
    std::string FError;
};

} // namespace quirindo
