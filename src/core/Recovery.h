#pragma once
// The recovery copy: while a drawing has unsaved changes, a copy of it lives
// in the user's state folder, so a crash, a kill or a logout loses at most the
// last couple of seconds. Each running program has a copy of its own, named
// "copy-ID.qrc" (ID: process id and a random part), and holds an exclusive
// lock (flock) on "copy-ID.lock" for as long as it runs. A copy whose lock
// nobody holds belongs to a program that has ended: an orphan that the next
// start offers to restore. The system drops a lock when its process dies, so
// a killed program's copy becomes an orphan at once, and a program running
// beside it never takes it.

#include "DrawingFile.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <condition_variable>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace quirindo {

// $XDG_STATE_HOME/quirindo, else ~/.local/state/quirindo; empty when neither
// variable names a folder.
[[nodiscard]] std::string RecoveryDirectory();

// A copy holds the drawing file's bytes and the name the drawing had (empty
// for an unnamed drawing), behind a signature so that a stray file is never
// taken for a drawing.
[[nodiscard]] std::vector<std::uint8_t> RecoveryCopyBytes(const std::string& fileName,
                                                          std::span<const std::uint8_t> drawing);
// False when `bytes` are no recovery copy (or a cut-off one).
bool ParseRecoveryCopy(std::span<const std::uint8_t> bytes, std::string& fileName,
                       std::vector<std::uint8_t>& drawing);

// The drawing as it stands, copied on the interface thread (the object store
// as one block), to be turned into a copy file on the worker thread. The
// drawing's cursors stay as they are.
struct TDrawingSnapshot {
    std::string FileName;
    TDrawingSettings Settings;
    std::vector<TDrawObject> Objects;
    std::vector<TTextObject> Texts; // buffers bound when the copy is made
    std::vector<std::u16string> TextBuffers;
    std::vector<std::string> FontNames;
};
[[nodiscard]] TDrawingSnapshot SnapshotOf(const TDrawing& drawing,
                                          const TDrawingSettings& settings,
                                          std::string fileName);
[[nodiscard]] std::vector<std::uint8_t> RecoveryCopyBytes(TDrawingSnapshot& snapshot);

// This program's copy. Writes and removals are queued to a worker thread and
// done in order; of several writes waiting only the newest is done, so an
// edit never waits for the disk.
class TRecoveryCopy {
public:
    // Called on the worker thread after each write: success, and the reason
    // (a German text of Messages.h) of a failure.
    using TWritten = std::function<void(bool ok, const std::string& reason)>;

    TRecoveryCopy(std::string directory, TWritten written);
    ~TRecoveryCopy(); // finishes queued work; a copy still on disk stays
    TRecoveryCopy(const TRecoveryCopy&) = delete;
    TRecoveryCopy& operator=(const TRecoveryCopy&) = delete;

    void Write(TDrawingSnapshot snapshot);
    // Drops a write still waiting and removes the copy.
    void Remove();
    // Returns once everything queued so far is done.
    void Wait();
    [[nodiscard]] const std::string& Path() const { return FPath; }

private:
    void Run();
    bool WriteNow(const std::vector<std::uint8_t>& bytes, std::string& reason);
    void RemoveNow();

    std::string FDirectory;
    std::string FPath;
    std::string FLockPath;
    TWritten FWritten;
    int FLockFd = -1;

    std::mutex FMutex;
    std::condition_variable FWake;
    std::condition_variable FIdle;
    std::optional<TDrawingSnapshot> FPendingWrite;
    bool FPendingRemove = false;
    bool FBusy = false;
    bool FStop = false;
    std::thread FWorker;
};

// A copy left by a program that has ended, locked by this program while it
// decides (so two programs starting together never both offer it).
class TOrphanCopy {
public:
    TOrphanCopy(std::string path, std::string lockPath, int lockFd, std::time_t modified);
    TOrphanCopy(TOrphanCopy&& other) noexcept;
    TOrphanCopy& operator=(TOrphanCopy&& other) noexcept;
    ~TOrphanCopy(); // gives the copy up again, untouched
    TOrphanCopy(const TOrphanCopy&) = delete;
    TOrphanCopy& operator=(const TOrphanCopy&) = delete;

    [[nodiscard]] const std::string& Path() const { return FPath; }
    [[nodiscard]] std::time_t Modified() const { return FModified; }
    // Removes the copy and its lock file.
    void Discard();
    // Renames the copy so it is no longer offered but stays for inspection.
    void SetAside();

private:
    void Release();

    std::string FPath;
    std::string FLockPath;
    int FLockFd = -1;
    std::time_t FModified = 0;
};

// The copies in `directory` whose programs have ended, newest first, each
// locked for the caller. Lock files left without a copy are removed.
[[nodiscard]] std::vector<TOrphanCopy> ClaimOrphanCopies(const std::string& directory);

} // namespace quirindo
