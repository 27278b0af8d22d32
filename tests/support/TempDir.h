#pragma once
// Per-test scratch folders, and making a folder unwritable even for root.

#include <filesystem>
#include <string>

namespace quirindo::test {

class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::filesystem::path& Path() const { return FPath; }
    std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
    std::filesystem::path FPath;
};

// Makes a directory unwritable while alive: chmod for ordinary users, the
// immutable attribute for root (whom permissions do not stop). Writable()
// tells whether that worked on this machine.
class TUnwritableDir {
public:
    explicit TUnwritableDir(const std::filesystem::path& dir);
    ~TUnwritableDir();
    TUnwritableDir(const TUnwritableDir&) = delete;
    TUnwritableDir& operator=(const TUnwritableDir&) = delete;
    bool Effective() const { return FEffective; }

private:
    std::filesystem::path FDir;
    bool FImmutable = false;
    bool FEffective = false;
};

// Makes a file unwritable while alive, in the same two ways.
class TWriteProtectedFile {
public:
    explicit TWriteProtectedFile(std::filesystem::path file);
    ~TWriteProtectedFile();
    TWriteProtectedFile(const TWriteProtectedFile&) = delete;
    TWriteProtectedFile& operator=(const TWriteProtectedFile&) = delete;
    bool Effective() const { return FEffective; }

private:
    std::filesystem::path FFile;
    bool FImmutable = false;
    bool FEffective = false;
};

} // namespace quirindo::test
