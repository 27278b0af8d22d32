#include "Recovery.h"

#include "FileIO.h"
#include "Messages.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace quirindo {

namespace {

constexpr char kSignature[] = "QUIRINDO-RECOVERY\n";
constexpr std::size_t kSignatureBytes = sizeof kSignature - 1;
constexpr char kCopyPrefix[] = "copy-";
constexpr char kCopySuffix[] = ".qrc";
constexpr char kLockSuffix[] = ".lock";

bool EndsWith(const std::string& text, const char* suffix) {
    const std::size_t n = std::strlen(suffix);
    return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint64_t GetLittleEndian(std::span<const std::uint8_t> bytes, std::size_t at, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) value |= std::uint64_t{bytes[at + i]} << (8 * i);
    return value;
}

// Creates the folder and the ones above it; the last one only for this user,
// since it holds the user's drawings.
bool MakeFolder(const std::string& directory, std::string& reason) {
    std::string path;
    std::size_t from = 0;
    while (from <= directory.size()) {
        std::size_t slash = directory.find('/', from);
        if (slash == std::string::npos) slash = directory.size();
        path = directory.substr(0, slash);
        from = slash + 1;
        if (path.empty()) continue;
        const bool last = slash == directory.size();
        if (::mkdir(path.c_str(), last ? 0700 : 0755) != 0 && errno != EEXIST) {
            reason = SystemErrorReason(errno);
            return false;
        }
    }
    struct stat st {};
    if (::stat(directory.c_str(), &st) != 0) {
        reason = SystemErrorReason(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        reason = SystemErrorReason(ENOTDIR);
        return false;
    }
    return true;
}

// Takes the lock of `lockPath` without waiting; -1 when another program
// holds it or it cannot be opened.
int TryLock(const std::string& lockPath, int extraFlags) {
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | extraFlags, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string RecoveryDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // The base directory rules ignore relative paths.
    if (state && state[0] == '/') return std::string(state) + "/quirindo";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/quirindo";
    return {};
}

std::vector<std::uint8_t> RecoveryCopyBytes(const std::string& fileName,
                                            std::span<const std::uint8_t> drawing) {
    std::vector<std::uint8_t> head(kSignature, kSignature + kSignatureBytes);
    PutLittleEndian(head, fileName.size(), 4);
    head.insert(head.end(), fileName.begin(), fileName.end());
    PutLittleEndian(head, drawing.size(), 8);
    // One block of the final size: the drawing is the bulk and is copied once.
    std::vector<std::uint8_t> out(head.size() + drawing.size());
    std::copy(head.begin(), head.end(), out.begin());
    std::copy(drawing.begin(), drawing.end(), out.begin() + static_cast<std::ptrdiff_t>(head.size()));
    return out;
}

TDrawingSnapshot SnapshotOf(const TDrawing& drawing, const TDrawingSettings& settings,
                            std::string fileName) {
    TDrawingSnapshot snapshot;
    snapshot.FileName = std::move(fileName);
    snapshot.Settings = settings;
    const TDrawObject* objects = drawing.Objects.Data();
    snapshot.Objects.assign(objects, objects + drawing.Objects.Count());
    const std::int32_t texts = drawing.Texts.Count();
    snapshot.Texts.reserve(static_cast<std::size_t>(texts));
    snapshot.TextBuffers.reserve(static_cast<std::size_t>(texts));
    snapshot.FontNames.reserve(static_cast<std::size_t>(texts));
    for (std::int32_t i = 0; i < texts; ++i) {
        const TTextObject& text = drawing.Texts[i];
        snapshot.TextBuffers.emplace_back(TextOf(text));
        snapshot.FontNames.emplace_back(FontNameOf(text));
        TTextObject record = text;
        record.Text = nullptr;
        record.FontName = nullptr;
        snapshot.Texts.push_back(record);
    }
    return snapshot;
}

std::vector<std::uint8_t> RecoveryCopyBytes(TDrawingSnapshot& snapshot) {
    for (std::size_t i = 0; i < snapshot.Texts.size(); ++i) {
        TTextObject& record = snapshot.Texts[i];
        record.Text = snapshot.TextBuffers[i].data();
        record.TextLength = snapshot.TextBuffers[i].size();
        record.FontName = snapshot.FontNames[i].data();
        record.FontNameLength = snapshot.FontNames[i].size();
    }
    return RecoveryCopyBytes(snapshot.FileName, SaveDrawingRecords(snapshot.Objects,
                                                                   snapshot.Texts,
                                                                   snapshot.Settings));
}

bool ParseRecoveryCopy(std::span<const std::uint8_t> bytes, std::string& fileName,
                       std::vector<std::uint8_t>& drawing) {
    if (bytes.size() < kSignatureBytes + 4 ||
        !std::equal(kSignature, kSignature + kSignatureBytes, bytes.begin()))
        return false;
    std::size_t at = kSignatureBytes;
    const std::uint64_t nameBytes = GetLittleEndian(bytes, at, 4);
    at += 4;
    if (nameBytes > bytes.size() - at || bytes.size() - at - nameBytes < 8) return false;
    fileName.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                    bytes.begin() + static_cast<std::ptrdiff_t>(at + nameBytes));
    at += nameBytes;
    const std::uint64_t drawingBytes = GetLittleEndian(bytes, at, 8);
    at += 8;
    if (drawingBytes != bytes.size() - at) return false;
    drawing.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    return true;
}

// --- this program's copy ---------------------------------------------------

TRecoveryCopy::TRecoveryCopy(std::string directory, TWritten written)
    : FDirectory(std::move(directory)), FWritten(std::move(written)) {
    std::random_device device;
    const unsigned tag = device() & 0xFFFFFFu;
    char id[32];
    std::snprintf(id, sizeof id, "%ld-%06x", static_cast<long>(::getpid()), tag);
    const std::string base = FDirectory + "/" + kCopyPrefix + id;
    FPath = base + kCopySuffix;
    FLockPath = base + kLockSuffix;
    FWorker = std::thread([this] { Run(); });
}

TRecoveryCopy::~TRecoveryCopy() {
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWake.notify_all();
    FWorker.join();
    if (FLockFd >= 0) {
        // Without a copy the lock file means nothing; with one (the program
        // is ending on a signal) the released lock makes it an orphan.
        struct stat st {};
        if (::lstat(FPath.c_str(), &st) != 0) ::unlink(FLockPath.c_str());
        ::close(FLockFd);
    }
}

void TRecoveryCopy::Write(TDrawingSnapshot snapshot) {
    {
        std::lock_guard lock(FMutex);
        FPendingWrite = std::move(snapshot);
        FPendingRemove = false;
    }
    FWake.notify_all();
}

void TRecoveryCopy::Remove() {
    {
        std::lock_guard lock(FMutex);
        FPendingWrite.reset();
        FPendingRemove = true;
    }
    FWake.notify_all();
}

void TRecoveryCopy::Wait() {
    std::unique_lock lock(FMutex);
    FIdle.wait(lock, [this] { return !FBusy && !FPendingWrite && !FPendingRemove; });
}

void TRecoveryCopy::Run() {
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return FStop || FPendingWrite || FPendingRemove; });
        if (!FPendingWrite && !FPendingRemove) break; // stopping with nothing queued
        FBusy = true;
        if (FPendingWrite) {
            TDrawingSnapshot snapshot = std::move(*FPendingWrite);
            FPendingWrite.reset();
            lock.unlock();
            std::string reason;
            bool ok = false;
            try {
                ok = WriteNow(RecoveryCopyBytes(snapshot), reason);
            } catch (const std::bad_alloc&) {
                reason = reason::OutOfMemory;
            }
            if (FWritten) FWritten(ok, reason);
            lock.lock();
        } else {
            FPendingRemove = false;
            lock.unlock();
            RemoveNow();
            lock.lock();
        }
        FBusy = false;
        FIdle.notify_all();
    }
}

bool TRecoveryCopy::WriteNow(const std::vector<std::uint8_t>& bytes, std::string& reason) {
    if (FDirectory.empty()) {
        reason = SystemErrorReason(ENOENT);
        return false;
    }
    if (!MakeFolder(FDirectory, reason)) return false;
    if (FLockFd < 0) {
        // Held until the program ends: the mark that this copy is in use.
        FLockFd = TryLock(FLockPath, O_EXCL);
        if (FLockFd < 0) {
            reason = SystemErrorReason(errno ? errno : EAGAIN);
            return false;
        }
    }
    return WriteFileAtomically(FPath, bytes, reason);
}

void TRecoveryCopy::RemoveNow() {
    ::unlink(FPath.c_str());
}

// --- copies of programs that have ended ---------------------------------------

TOrphanCopy::TOrphanCopy(std::string path, std::string lockPath, int lockFd,
                         std::time_t modified)
    : FPath(std::move(path)), FLockPath(std::move(lockPath)), FLockFd(lockFd),
      FModified(modified) {}

TOrphanCopy::TOrphanCopy(TOrphanCopy&& other) noexcept
    : FPath(std::move(other.FPath)), FLockPath(std::move(other.FLockPath)),
      FLockFd(std::exchange(other.FLockFd, -1)), FModified(other.FModified) {}

TOrphanCopy& TOrphanCopy::operator=(TOrphanCopy&& other) noexcept {
    if (this != &other) {
        Release();
        FPath = std::move(other.FPath);
        FLockPath = std::move(other.FLockPath);
        FLockFd = std::exchange(other.FLockFd, -1);
        FModified = other.FModified;
    }
    return *this;
}

TOrphanCopy::~TOrphanCopy() {
    Release();
}

void TOrphanCopy::Release() {
    if (FLockFd >= 0) ::close(FLockFd);
    FLockFd = -1;
}

void TOrphanCopy::Discard() {
    if (FLockFd < 0) return;
    ::unlink(FPath.c_str());
    // Unlinked while still locked: a program that opened the lock file just
    // before sees it held and leaves the (now gone) copy alone.
    ::unlink(FLockPath.c_str());
    Release();
}

void TOrphanCopy::SetAside() {
    if (FLockFd < 0) return;
    (void)::rename(FPath.c_str(), (FPath + ".damaged").c_str());
    ::unlink(FLockPath.c_str());
    Release();
}

std::vector<TOrphanCopy> ClaimOrphanCopies(const std::string& directory) {
    std::vector<TOrphanCopy> orphans;
    if (directory.empty()) return orphans;
    DIR* listing = ::opendir(directory.c_str());
    if (!listing) return orphans;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) names.emplace_back(entry->d_name);
    ::closedir(listing);

    for (const std::string& name : names) {
        if (name.rfind(kCopyPrefix, 0) != 0) continue;
        const bool isCopy = EndsWith(name, kCopySuffix);
        if (!isCopy && !EndsWith(name, kLockSuffix)) continue;
        const std::string base =
            directory + "/" +
            name.substr(0, name.size() - std::strlen(isCopy ? kCopySuffix : kLockSuffix));
        const std::string copyPath = base + kCopySuffix;
        const std::string lockPath = base + kLockSuffix;
        struct stat st {};
        const bool copyThere = ::lstat(copyPath.c_str(), &st) == 0;
        // A lock file whose copy is listed is handled with that copy.
        if (!isCopy && copyThere) continue;
        if (copyThere && (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid())) continue;
        const int fd = TryLock(lockPath, 0);
        if (fd < 0) continue; // its program is running
        // The copy may have gone meanwhile: discarded or restored by another
        // program that had it locked.
        if (::lstat(copyPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            ::unlink(lockPath.c_str());
            ::close(fd);
            continue;
        }
        orphans.emplace_back(copyPath, lockPath, fd, st.st_mtime);
    }
    std::stable_sort(orphans.begin(), orphans.end(),
                     [](const TOrphanCopy& a, const TOrphanCopy& b) {
                         return a.Modified() > b.Modified();
                     });
    return orphans;
}

} // namespace quirindo
