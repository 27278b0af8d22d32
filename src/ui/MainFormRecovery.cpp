// The recovery copy of an unsaved drawing: keeping it, offering the copies of
// programs that ended without saving at the next start, and ending on
// SIGTERM or SIGHUP without losing the drawing.

#include "DrawingFile.h"
#include "FileIO.h"
#include "MainForm.h"
#include "Messages.h"
#include "RecoveryKeeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace quirindo::ui {

// --- the keeper ----------------------------------------------------------------

TRecoveryKeeper::TRecoveryKeeper(TSerialise serialise, TReport report, QObject* parent)
    : QObject(parent), FSerialise(std::move(serialise)), FReport(std::move(report)) {
    FTimer.setSingleShot(true);
    FTimer.setInterval(2000);
    connect(&FTimer, &QTimer::timeout, this, &TRecoveryKeeper::WriteNow);
    FCopy = std::make_unique<TRecoveryCopy>(
        RecoveryDirectory(), [this](bool ok, const std::string& reason) {
            FLastOk = ok;
            FLastReason = reason;
            // The worker thread may not touch the interface: the report
            // waits for the event loop.
            QMetaObject::invokeMethod(
                this, [this, ok, why = QString::fromStdString(reason)] { Written(ok, why); },
                Qt::QueuedConnection);
        });
}

TRecoveryKeeper::~TRecoveryKeeper() {
    // Finishes the worker's queue while this object can still be reached.
    FCopy.reset();
}

void TRecoveryKeeper::DrawingChanged() {
    FUnsaved = true;
    // Not restarted by later edits: during a long session of drawing the copy
    // still follows every couple of seconds.
    if (!FTimer.isActive() && !FKept) FTimer.start();
}

void TRecoveryKeeper::DrawingSaved() {
    FUnsaved = false;
    FTimer.stop();
    if (!FKept) FCopy->Remove();
}

void TRecoveryKeeper::WriteNow() {
    FTimer.stop();
    if (!FUnsaved || FKept) return;
    FCopy->Write(FSerialise());
}

void TRecoveryKeeper::Wait() {
    FCopy->Wait();
}

bool TRecoveryKeeper::KeepForNextStart(std::string& reason) {
    bool ok = true;
    if (FUnsaved && !FKept) {
        WriteNow();
        Wait();
        ok = FLastOk;
        reason = FLastReason;
    }
    FKept = true;
    return ok;
}

QString TRecoveryKeeper::Path() const {
    return QString::fromStdString(FCopy->Path());
}

void TRecoveryKeeper::Written(bool ok, const QString& germanReason) {
    if (ok) {
        FReported = false;
        return;
    }
    if (FReported) return;
    FReported = true;
    FReport(Path(), germanReason);
}

// --- signals -------------------------------------------------------------------

namespace {

int gSignalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int signal) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    // Nothing else is safe here; a full pipe already holds a wake-up.
    (void)!::write(gSignalPipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool InstallTerminationSignals(std::function<void(int signal)> onSignal) {
    if (gSignalPipe[0] >= 0) return true;
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    auto* notifier =
        new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [handler = std::move(onSignal)] {
                         unsigned char byte = 0;
                         if (::read(gSignalPipe[0], &byte, 1) == 1) handler(byte);
                     });
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    return ::sigaction(SIGTERM, &action, nullptr) == 0 && ::sigaction(SIGHUP, &action, nullptr) == 0;
}

// --- the window ----------------------------------------------------------------

std::unique_ptr<TRecoveryKeeper> TMainForm::MakeRecoveryKeeper() {
    return std::make_unique<TRecoveryKeeper>(
        [this] { return SnapshotOf(*Drawing, CurrentSettings(), FileName.toStdString()); },
        [this](const QString& path, const QString& germanReason) {
            ReportFileError("Die Sicherungskopie %1 konnte nicht geschrieben werden: %2", path,
                            Reason(germanReason.toStdString()));
        });
}

void TMainForm::EndOnSignal(int signal) {
    std::string reason;
    if (!RecoveryCopy->KeepForNextStart(reason))
        std::fprintf(stderr, "quirindo: %s: %s\n", RecoveryCopy->Path().toLocal8Bit().constData(),
                     EnglishReason(reason).c_str());
    QCoreApplication::exit(128 + signal);
}

bool TMainForm::StartUp(const QString& fileToOpen) {
    // Temporary files of copies cut short by a crash. (An empty name would
    // mean the current folder, which is none of ours.)
    if (const std::string state = RecoveryDirectory(); !state.empty())
        (void)RemoveStaleTemporaryFiles(state);
    const bool restored = OfferRecoveredDrawings();
    if (fileToOpen.isEmpty()) return true;
    // The drawing named on the command line replaces a restored one only
    // after the usual question.
    if (restored && !MayReplaceDrawing()) return false;
    return OpenFileFromPath(fileToOpen);
}

bool TMainForm::OfferRecoveredDrawings() {
    std::vector<TOrphanCopy> orphans = ClaimOrphanCopies(RecoveryDirectory());
    // Newest first; one drawing is restored per start, and the older copies
    // stay for the next one (the window holds one drawing).
    for (TOrphanCopy& orphan : orphans) {
        std::vector<std::uint8_t> bytes;
        std::string reason;
        std::string name;
        std::vector<std::uint8_t> file;
        if (!ReadWholeFile(orphan.Path(), bytes, reason)) {
            ReportFileError("Die Sicherungskopie %1 konnte nicht gelesen werden: %2",
                            QString::fromStdString(orphan.Path()), Reason(reason));
            continue;
        }
        if (!ParseRecoveryCopy(bytes, name, file)) {
            ReportFileError("Die Sicherungskopie %1 ist beschädigt: %2",
                            QString::fromStdString(orphan.Path()),
                            Reason(reason::EndOfFile));
            orphan.SetAside();
            continue;
        }
        const QString fileName = QString::fromStdString(name);
        const QString shownName = fileName.isEmpty() ? Message(msgUnnamed) : fileName;
        const QString when = QDateTime::fromSecsSinceEpoch(orphan.Modified())
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const TAnswer answer = FDialogs->AskYesNoCancel(
            Tr("Zeichnung wiederherstellen"),
            Tr("Die Zeichnung %1 wurde am %2 zuletzt geändert und nicht gespeichert, bevor das "
               "Programm endete. Soll sie wiederhergestellt werden? Mit Nein wird sie verworfen.")
                .arg(QDir::toNativeSeparators(shownName), when));
        if (answer == TAnswer::Cancel) return false; // asked again at the next start
        if (answer == TAnswer::No) {
            orphan.Discard();
            continue;
        }
        auto drawing = std::make_unique<TDrawing>();
        TDrawingSettings settings = CurrentSettings();
        try {
            LoadDrawing(file, *drawing, settings);
        } catch (const TReadError& damage) {
            ReportFileError("Die Sicherungskopie %1 ist beschädigt: %2",
                            QString::fromStdString(orphan.Path()), Reason(damage.what()));
            orphan.SetAside();
            continue;
        } catch (const std::bad_alloc&) {
            ReportFileError("Die Sicherungskopie %1 konnte nicht gelesen werden: %2",
                            QString::fromStdString(orphan.Path()), Reason(reason::OutOfMemory));
            return false;
        }
        Drawing = std::move(drawing);
        FileName = fileName;
        ApplySettings(settings);
        // The history starts at the restored drawing, which is not the one on
        // disk: no undo may clear its "*".
        StartFreshHistory();
        DrawingEditor->MarkUnsaved();
        SetChanged();
        // The old copy goes only once this program's own holds the drawing.
        RecoveryCopy->WriteNow();
        RecoveryCopy->Wait();
        if (RecoveryCopy->LastWriteOk()) orphan.Discard();
        PaintBox1Paint();
        return true;
    }
    return false;
}

} // namespace quirindo::ui
