#include "ReadOnlyFile.h"

#include "Messages.h"

#include <cerrno>
#include <cstdint>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quirindo {

TReadOnlyFile::~TReadOnlyFile() {
    if (FFd >= 0) ::close(FFd);
}

bool TReadOnlyFile::Open(const std::string& path) {
    // O_NONBLOCK: opening a named pipe would otherwise wait for a writer
    // forever; regular files read the same either way.
    FFd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (FFd < 0) {
        FError = SystemErrorReason(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(FFd, &st) != 0) {
        FError = SystemErrorReason(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        FError = S_ISDIR(st.st_mode) ? SystemErrorReason(EISDIR) : reason::NotRegularFile;
        return false;
    }
    FSize = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool TReadOnlyFile::ReadAt(std::uint64_t offset, void* out, std::size_t n) {
    auto* p = static_cast<std::uint8_t*>(out);
    while (n > 0) {
        const ssize_t got = ::pread(FFd, p, n, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            FError = SystemErrorReason(errno);
            return false;
        }
        if (got == 0) {
            FError = reason::EndOfFile;
            return false;
        }
        p += got;
        n -= static_cast<std::size_t>(got);
        offset += static_cast<std::uint64_t>(got);
    }
    return true;
}

bool TReadOnlyFile::ReadAll(std::vector<std::uint8_t>& bytes) {
    if (FSize > SIZE_MAX) throw std::bad_alloc();
    bytes.resize(static_cast<std::size_t>(FSize));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(FFd, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            FError = SystemErrorReason(errno);
            return false;
        }
        if (got == 0) break; // the file shrank meanwhile: what is there counts
        done += static_cast<std::size_t>(got);
    }
    bytes.resize(done);
    return true;
}

} // namespace quirindo
