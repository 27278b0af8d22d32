#include "FileIO.h"

#include "Messages.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirindo {
namespace {

std::string SystemError() {
    return SystemErrorReason(errno);
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t n) {
    while (n > 0) {
        const ssize_t written = ::write(fd, p, n);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                   std::size_t maxBytes) {
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer
    // forever; regular files read the same either way.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = SystemError();
        ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? SystemErrorReason(EISDIR) : reason::NotRegularFile;
        ::close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        error = reason::FileTooLarge;
        ::close(fd);
        return false;
    }
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = SystemError();
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
            error = reason::FileTooLarge;
            ::close(fd);
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    ::close(fd);
    return true;
}

TAtomicFileWriter::~TAtomicFileWriter() {
    Discard();
}

bool TAtomicFileWriter::Fail() {
    if (!FFailed) FError = SystemError();
    FFailed = true;
    Discard();
    return false;
}

void TAtomicFileWriter::Discard() {
    if (FFd >= 0) {
        ::close(FFd);
        FFd = -1;
        ::unlink(FTemp.c_str());
    }
}

bool TAtomicFileWriter::Open(const std::string& requestedPath) {
    Discard();
    FFailed = false;
    FError.clear();
    // Saving through a symbolic link replaces the file it points to, not the link.
    FPath = requestedPath;
    if (char* resolved = ::realpath(requestedPath.c_str(), nullptr)) {
        FPath = resolved;
        std::free(resolved);
    }
    struct stat target {};
    const bool exists = ::stat(FPath.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        FError = S_ISDIR(target.st_mode) ? SystemErrorReason(EISDIR) : reason::NotRegularFile;
        FFailed = true;
        return false;
    }
    FTemp = FPath + ".XXXXXX";
    FFd = ::mkstemp(FTemp.data());
    if (FFd < 0) return Fail();
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones instead of mkstemp's private 0600.
    const mode_t mode = exists ? (target.st_mode & 07777) : (0666 & ~CurrentUmask());
    if (::fchmod(FFd, mode) != 0) return Fail();
    return true;
}

bool TAtomicFileWriter::Write(std::span<const std::uint8_t> bytes) {
    if (FFailed || FFd < 0) return false;
    return WriteAll(FFd, bytes.data(), bytes.size()) || Fail();
}

bool TAtomicFileWriter::Commit() {
    if (FFailed || FFd < 0) return false;
    if (::fsync(FFd) != 0) return Fail();
    const int fd = FFd;
    FFd = -1;
    if (::close(fd) != 0 || ::rename(FTemp.c_str(), FPath.c_str()) != 0) {
        FError = SystemError();
        FFailed = true;
        ::unlink(FTemp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const std::string::size_type slash = FPath.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : FPath.substr(0, slash + 1);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes,
                         std::string& error) {
    TAtomicFileWriter file;
    if (file.Open(path) && file.Write(bytes) && file.Commit()) return true;
    error = file.Error();
    return false;
}

} // namespace quirindo
