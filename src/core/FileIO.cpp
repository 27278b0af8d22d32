#include "FileIO.h"

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
    return std::strerror(errno);
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
        error = S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        error = "file too large";
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
            error = "file too large";
            ::close(fd);
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    ::close(fd);
    return true;
}

bool WriteFileAtomically(const std::string& requestedPath, std::span<const std::uint8_t> bytes,
                         std::string& error) {
    // Saving through a symbolic link replaces the file it points to, not the link.
    std::string path = requestedPath;
    if (char* resolved = ::realpath(requestedPath.c_str(), nullptr)) {
        path = resolved;
        std::free(resolved);
    }
    struct stat target {};
    const bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        error = S_ISDIR(target.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        return false;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the
    // usual ones instead of mkstemp's private 0600.
    const mode_t mode = exists ? (target.st_mode & 07777) : (0666 & ~CurrentUmask());
    bool ok =
        ::fchmod(fd, mode) == 0 && WriteAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    if (!ok) error = SystemError();
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = SystemError();
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = SystemError();
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const std::string::size_type slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace quirindo
