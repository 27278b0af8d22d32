#include "Options.h"

#include "Messages.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quirindo {

int LanguageFromOptionsBytes(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 4) return kLanguageEnglish;
    const std::uint32_t raw = std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) |
                              (std::uint32_t(bytes[2]) << 16) | (std::uint32_t(bytes[3]) << 24);
    const auto language = static_cast<std::int32_t>(raw);
    if (language < kLanguageGerman || language > kLastLanguage) return kLanguageEnglish;
    return language;
}

std::vector<std::uint8_t> OptionsBytes(int language) {
    const auto raw = static_cast<std::uint32_t>(language);
    return {static_cast<std::uint8_t>(raw & 0xFF), static_cast<std::uint8_t>((raw >> 8) & 0xFF),
            static_cast<std::uint8_t>((raw >> 16) & 0xFF),
            static_cast<std::uint8_t>((raw >> 24) & 0xFF)};
}

bool ReadOptionsFile(const std::string& path, int& language) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    // Only the first 4 bytes count; a longer file is read no further.
    std::vector<std::uint8_t> bytes(4);
    std::size_t got = 0;
    bool ok = true;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!ok) return false; // e.g. a directory named options.dat
    bytes.resize(got);
    language = LanguageFromOptionsBytes(bytes);
    return true;
}

bool WriteOptionsFile(const std::string& path, int language) {
    std::string error;
    return WriteOptionsFile(path, language, error);
}

bool WriteOptionsFile(const std::string& path, int language, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = SystemErrorReason(errno);
        return false;
    }
    const std::vector<std::uint8_t> bytes = OptionsBytes(language);
    std::size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = SystemErrorReason(n < 0 ? errno : ENOSPC);
            ok = false;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && ok) {
        error = SystemErrorReason(errno);
        ok = false;
    }
    return ok;
}

} // namespace quirindo
