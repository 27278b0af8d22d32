#include "TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace quirindo::test {

TTempDir::TTempDir() {
    std::random_device rd;
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        FPath = base / ("quirindo-test-" + std::to_string(::getpid()) + "-" + std::to_string(rd()));
        if (std::filesystem::create_directory(FPath)) return;
    }
    std::abort();
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

namespace {
bool CanCreateFileIn(const std::filesystem::path& dir) {
    const auto probe = dir / ".probe";
    {
        std::ofstream out(probe);
        if (!out) return false;
    }
    std::error_code ec;
    std::filesystem::remove(probe, ec);
    return true;
}
} // namespace

TUnwritableDir::TUnwritableDir(const std::filesystem::path& dir) : FDir(dir) {
    if (::geteuid() == 0) {
        const std::string cmd = "chattr +i '" + dir.string() + "' 2>/dev/null";
        FImmutable = std::system(cmd.c_str()) == 0;
    } else {
        std::filesystem::permissions(dir, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_exec);
    }
    FEffective = !CanCreateFileIn(dir);
}

TUnwritableDir::~TUnwritableDir() {
    if (FImmutable) {
        const std::string cmd = "chattr -i '" + FDir.string() + "' 2>/dev/null";
        (void)std::system(cmd.c_str());
    } else if (::geteuid() != 0) {
        std::filesystem::permissions(FDir, std::filesystem::perms::owner_all);
    }
}

TWriteProtectedFile::TWriteProtectedFile(std::filesystem::path file) : FFile(std::move(file)) {
    if (::geteuid() == 0) {
        const std::string cmd = "chattr +i '" + FFile.string() + "' 2>/dev/null";
        FImmutable = std::system(cmd.c_str()) == 0;
    } else {
        std::filesystem::permissions(FFile, std::filesystem::perms::owner_read |
                                                std::filesystem::perms::group_read |
                                                std::filesystem::perms::others_read);
    }
    const int fd = ::open(FFile.c_str(), O_WRONLY);
    FEffective = fd < 0;
    if (fd >= 0) ::close(fd);
}

TWriteProtectedFile::~TWriteProtectedFile() {
    if (FImmutable) {
        const std::string cmd = "chattr -i '" + FFile.string() + "' 2>/dev/null";
        (void)std::system(cmd.c_str());
    } else if (::geteuid() != 0) {
        std::error_code ec;
        std::filesystem::permissions(
            FFile, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, ec);
    }
}

} // namespace quirindo::test
