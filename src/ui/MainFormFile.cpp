// Document commands: new, open, save, save as, close, and the drawing file
// handling around the in-memory reader and writer.

#include "BusyCursor.h"
#include "ColorSwatch.h"
#include "FileIO.h"
#include "Geometry.h"
#include "MainForm.h"
#include "Messages.h"
#include "SpinEdits.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

namespace quirindo::ui {

TFileDialogRequest TMainForm::DrawingDialogRequest(const char* title, bool suggestName) const {
    TFileDialogRequest request{Tr(title), QStringLiteral("qrd"), Tr(kDrawingFilter)};
    request.Directory = DialogFolder();
    if (suggestName) request.SuggestedName = SuggestedName(QStringLiteral("qrd"));
    return request;
}

TAnswer TMainForm::AskToSaveChanges() {
    return FDialogs->AskYesNoCancel(Message(msgSaveCaption), Message(msgSaveQuestion));
}

QString TMainForm::ErrorCaption() const {
    return TitleText.isEmpty() ? Message(msgTitle) : TitleText;
}

QString TMainForm::Reason(const std::string& germanReason) {
    return QString::fromStdString(TranslatedReason(germanReason));
}

void TMainForm::ReportFileError(const char* germanTemplate, const QString& path,
                                const QString& reason) {
    FDialogs->ShowError(ErrorCaption(),
                        Tr(germanTemplate).arg(QDir::toNativeSeparators(path), reason));
}

void TMainForm::Neu1Click() {
    if (!Changed) {
        NewAll();
    } else {
        switch (AskToSaveChanges()) {
        case TAnswer::Yes:
            if (SaveFile()) NewAll();
            break;
        case TAnswer::No:
            NewAll();
            break;
        case TAnswer::Cancel:
            break;
        }
    }
    PaintBox1Paint();
}

bool TMainForm::FormCloseQuery() {
    // Closing drops the drawing just as opening another one does.
    return MayReplaceDrawing();
}

bool TMainForm::SaveFile() {
    bool result = false;
    if (!FileName.isEmpty()) {
        result = SaveTheFile();
    } else if (const auto path =
                   FDialogs->AskSaveFileName(DrawingDialogRequest("Speichern unter", true))) {
        RememberFolderOf(*path);
        FileName = *path;
        result = SaveTheFile();
        // A name whose file could not be written is no name of this drawing:
        // the next save asks again instead of retrying it silently.
        if (!result) FileName.clear();
    }
    if (result) SetUnChanged();
    return result;
}

void TMainForm::Speichern1Click() {
    (void)SaveFile();
}

void TMainForm::Speichernunter1Click() {
    const auto path = FDialogs->AskSaveFileName(DrawingDialogRequest("Speichern unter", true));
    if (!path) return;
    RememberFolderOf(*path);
    // The drawing takes the new name only once it is saved under it; after a
    // failure the caption and the next "Speichern" keep the previous file.
    const QString previous = FileName;
    FileName = *path;
    if (SaveTheFile())
        SetUnChanged();
    else
        FileName = previous;
}

namespace {

// The file and the window name the nine instrument values alike.
template <class From, class To> void CopyInstrumentPlaces(const From& from, To& to) {
    to.LinX = from.LinX;
    to.LinY = from.LinY;
    to.LinW = from.LinW;
    to.WinkX = from.WinkX;
    to.WinkY = from.WinkY;
    to.WinkW = from.WinkW;
    to.ZirkX = from.ZirkX;
    to.ZirkY = from.ZirkY;
    to.ZirkS = from.ZirkS;
}

} // namespace

TDrawingSettings TMainForm::CurrentSettings() const {
    TDrawingSettings s;
    CopyInstrumentPlaces(Instruments, s);
    s.Zoom = zoomed->value();
    s.LineWidth = StrichEd->Value(); // the width every new object gets
    s.PenColor = PenColor();
    s.PanelShown = LeistefrZahleneingabe1->isChecked();
    s.RulerVisible = Lineal2->isChecked();
    s.ProtractorVisible = Winkelmesser2->isChecked();
    s.CompassVisible = Zirkel2->isChecked();
    s.HasTail = true;
    s.EraserWidth = RadierEd->Value();
    s.PageWidthInch = PageWidthInch;
    s.PageHeightInch = PageHeightInch;
    s.PageCount = PageAnz->value();
    return s;
}

void TMainForm::ApplySettings(const TDrawingSettings& s) {
    CopyInstrumentPlaces(s, Instruments);
    zoomed->setValue(RoundHalfEven(s.Zoom)); // the box keeps it within its bounds
    StrichEd->setValue(s.LineWidth);
    Shape1->SetFillColor(s.PenColor);
    LeistefrZahleneingabe1->setChecked(s.PanelShown);
    NumericPanel->setVisible(s.PanelShown);
    Lineal2->setChecked(s.RulerVisible);
    Winkelmesser2->setChecked(s.ProtractorVisible);
    Zirkel2->setChecked(s.CompassVisible);
    if (s.HasTail) {
        RadierEd->setValue(s.EraserWidth);
        PageWidthInch = s.PageWidthInch;
        PageHeightInch = s.PageHeightInch;
        // The file's page count is no edit of the drawing.
        FShowingPageSetup = true;
        PageAnz->setValue(PageCountOf(s));
        FShowingPageSetup = false;
    }
    UpdateEds();
}

bool TMainForm::SaveTheFile() {
    std::string error;
    bool written = false;
    {
        const TBusyCursor busy(std::uint64_t(Drawing->Objects.Count()) * kObjectRecordBytes);
        const std::vector<std::uint8_t> bytes = SaveDrawing(*Drawing, CurrentSettings());
        written = WriteFileAtomically(FileName.toStdString(), bytes, error);
    }
    if (!written) {
        ReportFileError("Die Datei %1 konnte nicht gespeichert werden: %2", FileName,
                        Reason(error));
        return false;
    }
    SetUnChanged();
    RememberDrawing(FileName);
    return true;
}

void TMainForm::ffnen1Click() {
    (void)OpenFile();
}

bool TMainForm::MayReplaceDrawing() {
    // Opening replaces the drawing, so unsaved changes get the same question
    // as "Neu" instead of being dropped without a word.
    if (!Changed) return true;
    switch (AskToSaveChanges()) {
    case TAnswer::Yes:
        return SaveFile();
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        return false;
    }
    return false;
}

bool TMainForm::OpenFile() {
    if (!MayReplaceDrawing()) return false;
    const auto path = FDialogs->AskOpenFileName(DrawingDialogRequest("Öffnen", false));
    bool result = false;
    if (path) {
        RememberFolderOf(*path);
        result = OpenFileFromPath(*path);
    }
    PaintBox1Paint();
    return result;
}

bool TMainForm::OpenFileFromPath(const QString& given) {
    // The caption and every later save name the file the same whichever
    // folder the program was started from.
    const QString path = given.isEmpty() ? given : QFileInfo(given).absoluteFilePath();
    // Read into a new document and take it over only when all of it was read.
    auto drawing = std::make_unique<TDrawing>();
    TDrawingSettings settings = CurrentSettings();
    std::string reason;
    TLoadResult loaded;
    {
        const qint64 size = QFileInfo(path).size();
        const TBusyCursor busy(size > 0 ? std::uint64_t(size) : 0);
        loaded = LoadDrawingFile(path.toStdString(), *drawing, settings, reason);
    }
    switch (loaded) {
    case TLoadResult::Ok:
        break;
    case TLoadResult::CannotRead:
    case TLoadResult::OutOfMemory:
        ReportFileError("Die Datei %1 konnte nicht geöffnet werden: %2", path, Reason(reason));
        return false;
    case TLoadResult::Damaged:
        ReportFileError("Die Datei %1 ist beschädigt oder keine Zeichnung: %2", path,
                        Reason(reason));
        return false;
    }
    Drawing = std::move(drawing);
    FileName = path;
    ApplySettings(settings);
    StartFreshHistory();
    SetUnChanged();
    RememberDrawing(path);
    // Temporary files that a save or export killed part-way left beside it.
    (void)RemoveStaleTemporaryFiles(QFileInfo(path).absolutePath().toStdString());
    PaintBox1Paint();
    return true;
}

} // namespace quirindo::ui
