#include "FileIO.h"

#include "Messages.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string_view>
#include <signal.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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

std::string NotARegularFile(const struct stat& st) {
    return S_ISDIR(st.st_mode) ? SystemErrorReason(EISDIR) : reason::NotRegularFile;
}

// Whether the open `fd` is a regular file, its status in `st`; otherwise it
// is closed and `error` says why.
bool KeepIfRegular(int fd, struct stat& st, std::string& error) {
    if (::fstat(fd, &st) != 0) {
        error = SystemError();
    } else if (!S_ISREG(st.st_mode)) {
        error = NotARegularFile(st);
    } else {
        return true;
    }
    ::close(fd);
    return false;
}

// Saving through a symbolic link writes the file it points to, not the link.
std::string ResolvedPath(const std::string& path) {
    std::string resolved = path;
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    }
    return resolved;
}

// Whether the user may write the existing file: opening it for writing
// (without truncating) answers for permissions, access lists, read-only
// mounts and the immutable attribute alike, and changes nothing.
bool MayWrite(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    ::close(fd);
    return true;
}

// Gives the open file `to` the extended attributes of the file at `from`,
// among them an access list that lets other users write it; false when one
// of them cannot be copied. Security labels are left alone: the system
// gives every new file its own.
bool CopyExtendedAttributes(const std::string& from, int to) {
    ssize_t size = ::listxattr(from.c_str(), nullptr, 0);
    if (size < 0) return errno == ENOTSUP; // a file system without them
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::listxattr(from.c_str(), names.data(), names.size());
    if (size < 0) return false;
    const char* const end = names.data() + size;
    for (const char* name = names.data(); name < end; name += std::strlen(name) + 1) {
        if (std::strncmp(name, "security.", 9) == 0) continue;
        const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
        if (length < 0) return false;
        std::vector<char> value(static_cast<std::size_t>(length));
        const ssize_t got = ::getxattr(from.c_str(), name, value.data(), value.size());
        if (got < 0 || ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(got), 0) != 0)
            return false;
    }
    return true;
}

bool ReadAllAt(int fd, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(bytes.size()));
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (got == 0) return true;
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
}

bool WriteAllAt(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written =
            ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Replaces the content of `fd` by `bytes` and makes it durable.
bool Rewrite(int fd, std::span<const std::uint8_t> bytes) {
    return WriteAllAt(fd, bytes) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
           ::fsync(fd) == 0;
}

// Writes the finished content into the existing file itself, which keeps
// its inode and with it owner, group, permissions and hard links. The old
// bytes are held in memory and written back when the new ones cannot be
// written completely.
bool WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes,
                  std::string& error) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    bool keepsOld = fd >= 0;
    // A file the user may write but not read is still written; its old
    // content just cannot be kept for a failure.
    if (fd < 0 && errno == EACCES) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error = SystemError();
        return false;
    }
    struct stat st {};
    if (!KeepIfRegular(fd, st, error)) return false;
    std::vector<std::uint8_t> old;
    if (keepsOld && !ReadAllAt(fd, old)) {
        error = SystemError();
        ::close(fd);
        return false;
    }
    // Take the room first, so that a full disk or a size limit stops the
    // save before a single old byte has changed.
    if (bytes.size() > static_cast<std::uint64_t>(st.st_size)) {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            error = SystemErrorReason(reserved);
            (void)::ftruncate(fd, st.st_size);
            ::close(fd);
            return false;
        }
    }
    if (!Rewrite(fd, bytes)) {
        error = SystemError();
        if (keepsOld) (void)Rewrite(fd, old);
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        error = SystemError();
        return false;
    }
    return true;
}

constexpr std::string_view kTempMarker = ".quirindo-tmp-";

// When the process with this id started, in seconds since the epoch; 0 when
// that cannot be told.
std::time_t ProcessStart(long pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return 0;
    // The command name in brackets may hold spaces; the fields after it are
    // plain numbers, the start time (in clock ticks after boot) the 20th.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    unsigned long long ticks = 0;
    for (int i = 0; i < 20 && fields >> field; ++i)
        if (i == 19) ticks = std::strtoull(field.c_str(), nullptr, 10);
    std::ifstream system("/proc/stat");
    unsigned long long boot = 0;
    while (std::getline(system, line))
        if (line.rfind("btime ", 0) == 0) boot = std::strtoull(line.c_str() + 6, nullptr, 10);
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    if (boot == 0 || ticks == 0 || perSecond <= 0) return 0;
    return static_cast<std::time_t>(boot + ticks / static_cast<unsigned long long>(perSecond));
}

// The process id in a temporary file name of this program
// (".NAME.quirindo-tmp-PID-XXXXXX"), or -1 for any other name.
long TempFileOwner(std::string_view name) {
    if (name.size() < 2 || name[0] != '.') return -1;
    const auto marker = name.rfind(kTempMarker);
    if (marker == std::string_view::npos || marker < 1) return -1;
    std::string_view rest = name.substr(marker + kTempMarker.size());
    const auto dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 10 || rest.size() - dash - 1 != 6)
        return -1;
    long pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9') return -1;
        pid = pid * 10 + (c - '0');
    }
    return pid > 0 ? pid : -1;
}

} // namespace

std::string TemporaryFileTemplate(const std::string& target) {
    const auto slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + name + std::string(kTempMarker) + std::to_string(::getpid()) + "-XXXXXX";
}

int RemoveStaleTemporaryFiles(const std::string& directory) {
    const std::string dir = directory.empty() ? "." : directory;
    DIR* listing = ::opendir(dir.c_str());
    if (!listing) return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const long pid = TempFileOwner(entry->d_name);
        if (pid < 0) continue;
        const std::string path = dir + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        bool alive = ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
        // A process id is used again after a while: a file last written
        // before its process started belongs to an earlier one.
        if (alive) {
            const std::time_t started = ProcessStart(pid);
            alive = started == 0 || st.st_mtime + 1 >= started;
        }
        if (!alive && ::unlink(path.c_str()) == 0) ++removed;
    }
    ::closedir(listing);
    return removed;
}

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
    if (!KeepIfRegular(fd, st, error)) return false;
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
    FKeepsTheFile = false;
    FError.clear();
    FPath = ResolvedPath(requestedPath);
    struct stat target {};
    const bool exists = ::stat(FPath.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode)) {
        FError = NotARegularFile(target);
        FFailed = true;
        return false;
    }
    // The rename below would replace a write-protected file as easily as
    // any other; the file itself must allow writing, as it would for an
    // ordinary create-or-truncate.
    if (exists && !MayWrite(FPath, FError)) {
        FFailed = true;
        return false;
    }
    // Temporary files of exports that were killed part-way are cleared
    // here; the name says which process made each.
    const auto slash = FPath.rfind('/');
    (void)RemoveStaleTemporaryFiles(slash == std::string::npos ? "." : FPath.substr(0, slash));
    FTemp = TemporaryFileTemplate(FPath);
    FFd = ::mkstemp(FTemp.data());
    if (FFd < 0) return Fail();
    if (!exists) {
        // The usual permissions instead of mkstemp's private 0600.
        if (::fchmod(FFd, 0666 & ~CurrentUmask()) != 0) return Fail();
        FKeepsTheFile = true;
        return true;
    }
    // Owner and group first: changing them clears set-id bits, which the
    // permissions then bring back.
    struct stat made {};
    bool sameOwner =
        ::fstat(FFd, &made) == 0 && made.st_uid == target.st_uid && made.st_gid == target.st_gid;
    if (!sameOwner) sameOwner = ::fchown(FFd, target.st_uid, target.st_gid) == 0;
    const bool sameAttributes = CopyExtendedAttributes(FPath, FFd);
    if (::fchmod(FFd, target.st_mode & 07777) != 0) return Fail();
    FKeepsTheFile = sameOwner && sameAttributes && target.st_nlink == 1;
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
    const std::string target = ResolvedPath(path);
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        error = NotARegularFile(st);
        return false;
    }
    if (exists && !MayWrite(target, error)) return false;
    {
        TAtomicFileWriter file;
        if (file.Open(target) && file.KeepsTheFile()) {
            if (file.Write(bytes) && file.Commit()) return true;
            error = file.Error();
            return false;
        }
        if (!exists) {
            error = file.Error();
            return false;
        }
    }
    // No temporary file can be made beside the file (a read-only folder),
    // or the new file would belong to this user instead of the owner, lose
    // the access list, or leave the other hard links with the old drawing:
    // the existing file takes the finished content itself.
    return WriteInPlace(target, bytes, error);
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace quirindo
