#pragma once
// Keeps the recovery copy (Recovery.h) in step with the drawing: armed by the
// first edit after a save, it takes a snapshot of the drawing at most a
// couple of seconds later and hands it to the copy's worker thread; a save, a
// new or opened drawing and a normal close remove the copy. A copy that
// cannot be written is reported once until one is written again.

#include "Recovery.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quirindo::ui {

class TRecoveryKeeper final : public QObject {
public:
    // The drawing as it stands, taken on the interface thread.
    using TSerialise = std::function<TDrawingSnapshot()>;
    // Tells the user that the copy at `path` could not be written.
    using TReport = std::function<void(const QString& path, const QString& germanReason)>;

    TRecoveryKeeper(TSerialise serialise, TReport report, QObject* parent = nullptr);
    ~TRecoveryKeeper() override;

    // The hooks of the window's changed mark.
    void DrawingChanged();
    void DrawingSaved();

    // Takes and queues a copy at once instead of when the timer runs out.
    void WriteNow();
    // Returns once the queued writes and removals are done.
    void Wait();
    // Before the program ends on a signal: writes the copy of a changed
    // drawing and waits for it, and from then on leaves it on disk for the
    // next start. False (with the reason) when it could not be written.
    bool KeepForNextStart(std::string& reason);
    // Whether the last write succeeded; after Wait.
    [[nodiscard]] bool LastWriteOk() const { return FLastOk; }

    [[nodiscard]] QString Path() const;
    // Milliseconds from the first unsaved edit to the copy (2 s normally).
    void SetDelay(int milliseconds) { FTimer.setInterval(milliseconds); }

private:
    void Written(bool ok, const QString& germanReason);

    TSerialise FSerialise;
    TReport FReport;
    QTimer FTimer;
    std::unique_ptr<TRecoveryCopy> FCopy;
    bool FUnsaved = false;
    bool FKept = false;
    bool FReported = false;
    // Set by the worker before it reports being idle; read after Wait.
    bool FLastOk = true;
    std::string FLastReason;
};

// Turns SIGTERM and SIGHUP into a call of `onSignal` from the event loop (the
// handler only writes to a pipe the loop watches), so the program can write
// its recovery copy before it ends. False when the pipe cannot be made.
bool InstallTerminationSignals(std::function<void(int signal)> onSignal);

} // namespace quirindo::ui
