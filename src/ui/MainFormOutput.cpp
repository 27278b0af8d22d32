// Output commands: DXF export, page setup, printer setup, printing and the
// bitmap export of one page.

#include "BitmapExport.h"
#include "DPIForm.h"
#include "DrawingFile.h"
#include "DxfWriter.h"
#include "FileIO.h"
#include "MainForm.h"
#include "Messages.h"
#include "PaintBox.h"
#include "Printing.h"
#include "SeiteEinrichtenForm.h"
#include "SpinEdits.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>

#include <algorithm>
#include <cmath>
#include <span>

namespace quirindo::ui {

namespace {

// The source texts of the export dialogs' filters.
constexpr const char* kDxfFilter = "DXF-Dateien (*.dxf)|*.dxf";
constexpr const char* kBmpFilter = "BMP-Dateien (*.bmp)|*.bmp";

// A page narrower or lower than a millimetre cannot be drawn on or shown;
// one beyond ten metres is no paper any printer or screen handles.
constexpr double kMinPageMm = 1.0;
constexpr double kMaxPageMm = 10000.0;

// A wait cursor while a long print or export blocks the window.
class TBusy {
public:
    TBusy() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusy() { QGuiApplication::restoreOverrideCursor(); }
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;
};

bool PageSizeAllowed(double widthInch, double heightInch) {
    const auto allowed = [](double inch) {
        const double mm = inch * kMmPerInch;
        return std::isfinite(mm) && mm >= kMinPageMm && mm <= kMaxPageMm;
    };
    return allowed(widthInch) && allowed(heightInch);
}

} // namespace

int TMainForm::RunModal(QDialog& dialog) {
    if (ModalRunner) return ModalRunner(dialog);
    return dialog.exec();
}

void TMainForm::CreateOutputDialogs() {
    (void)SeiteEinrichtenForm();
    (void)DPIForm();
}

QPrinter& TMainForm::Printer() {
    if (!Printer1) Printer1 = std::make_shared<QPrinter>(QPrinter::HighResolution);
    return *Printer1;
}

TDPIForm& TMainForm::DPIForm() {
    if (!DPIForm1) DPIForm1 = new TDPIForm(this);
    return *DPIForm1;
}

TSeiteEinrichtenForm& TMainForm::SeiteEinrichtenForm() {
    if (!SeiteEinrichtenForm1) {
        SeiteEinrichtenForm1 = new TSeiteEinrichtenForm(this);
        SeiteEinrichtenForm1->Dialogs = FDialogs.get();
        SeiteEinrichtenForm1->PrinterArea = [this] { return PrinterPrintableArea(); };
    }
    // The dialogs can be replaced after the form was made (tests do).
    SeiteEinrichtenForm1->Dialogs = FDialogs.get();
    return *SeiteEinrichtenForm1;
}

std::optional<TPrintableArea> TMainForm::PrinterPrintableArea() {
    QPrinter& printer = Printer();
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid()) return std::nullopt;
    // What the driver can print on, not the margins this program chose.
    QPageLayout layout = printer.pageLayout();
    layout.setMargins(layout.minimumMargins());
    const int dpi = printer.logicalDpiX();
    const QRect area = layout.paintRectPixels(dpi);
    return TPrintableArea{area.width(), area.height(), dpi};
}

std::optional<QString> TMainForm::AskExportFileName(TFileDialogRequest request) {
    // The question is asked here, in the interface language, once; the file
    // dialog must not ask as well.
    request.ConfirmOverwrite = false;
    request.Directory = DialogFolder();
    request.SuggestedName = SuggestedName(request.DefaultSuffix);
    for (;;) {
        const auto path = FDialogs->AskSaveFileName(request);
        if (path) RememberFolderOf(*path);
        if (!path || !QFileInfo::exists(*path)) return path;
        const QString shown = QDir::toNativeSeparators(*path);
        const bool isDrawing =
            !FileName.isEmpty() && SameFile(path->toStdString(), FileName.toStdString());
        const QString question =
            isDrawing ? Tr("Die Datei %1 ist die geöffnete Zeichnung. Soll sie wirklich durch "
                           "den Export ersetzt werden? Die Zeichnung darin geht dabei verloren.")
                            .arg(shown)
                      : Tr("Die Datei %1 gibt es schon. Soll sie ersetzt werden?").arg(shown);
        switch (FDialogs->AskYesNoCancel(request.Title, question)) {
        case TAnswer::Yes:
            return path;
        case TAnswer::No:
            continue; // choose another name
        case TAnswer::Cancel:
            return std::nullopt;
        }
    }
}

void TMainForm::DXFExportActionClick() {
    if (const auto path = AskExportFileName(
            {Tr("Als DXF Datei exportieren"), QStringLiteral("dxf"), Tr(kDxfFilter)}))
        (void)savedxfArc(*path);
}

bool TMainForm::savedxfArc(const QString& fileName) {
    std::string error;
    if (!WriteDxfFile(fileName.toStdString(), *Drawing, PageCount(), PageHeightInch, error)) {
        ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", fileName,
                        Reason(error));
        return false;
    }
    return true;
}

void TMainForm::DateiSeiteeinrichten1Click() {
    TSeiteEinrichtenForm& form = SeiteEinrichtenForm();
    form.mmcheck->setChecked(true);
    form.breited->setValue(PageWidthInch * kMmPerInch);
    form.hoched->setValue(PageHeightInch * kMmPerInch);
    // What the fields show is rounded to their decimals; reading that back
    // would shift an inch-based page by a hair at every confirmation.
    const double shownWidth = form.breited->value();
    const double shownHeight = form.hoched->value();
    if (RunModal(form) != QDialog::Accepted) return;

    const double width = form.breited->Value();
    const double height = form.hoched->Value();
    double widthInch = width;
    double heightInch = height;
    if (form.mmcheck->isChecked()) {
        widthInch = width == shownWidth ? PageWidthInch : width / kMmPerInch;
        heightInch = height == shownHeight ? PageHeightInch : height / kMmPerInch;
    }
    if (!PageSizeAllowed(widthInch, heightInch)) {
        FDialogs->ShowError(ErrorCaption(),
                            Tr("Eine Seite von %1 x %2 mm ist nicht möglich; Breite und Höhe "
                               "müssen zwischen %3 und %4 mm liegen.")
                                .arg(widthInch * kMmPerInch, 0, 'g', 6)
                                .arg(heightInch * kMmPerInch, 0, 'g', 6)
                                .arg(kMinPageMm)
                                .arg(kMaxPageMm));
        return;
    }
    TPageSetup pages = CurrentPageSetup();
    pages.WidthInch = widthInch;
    pages.HeightInch = heightInch;
    EditPageSetup(pages, "Seite einrichten");
}

void TMainForm::Druckereinrichten1Click() {
    QPageSetupDialog dialog(&Printer(), this);
    if (RunModal(dialog) == QDialog::Accepted) PrinterSetUpByUser = true;
    PaintBox1Paint();
}

void TMainForm::Drucken1Click() {
    QPrinter& printer = Printer();
    // Until the user chose paper in the printer setup, each sheet is the
    // size of a drawing page.
    if (!PrinterSetUpByUser) MatchPaperToPage(printer, PageWidthInch, PageHeightInch);
    const int pages = PageCount();
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(Tr("Drucken"));
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (RunModal(dialog) != QDialog::Accepted) return;

    TPrintJob job;
    job.PageWidthInch = PageWidthInch;
    job.PageHeightInch = PageHeightInch;
    job.FirstPage = 0;
    job.LastPage = pages - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        job.FirstPage = std::clamp(printer.fromPage() - 1, 0, pages - 1);
        job.LastPage = std::clamp(printer.toPage() - 1, job.FirstPage, pages - 1);
    }
    job.ScreenDpi = PaintBox1->logicalDpiX();
    job.WindowText = palette().color(QPalette::WindowText);
    QString error;
    bool printed = false;
    {
        const TBusy busy;
        printed = PrintDrawing(printer, *Drawing, job, error);
    }
    if (!printed)
        FDialogs->ShowError(ErrorCaption(),
                            Tr("Die Zeichnung konnte nicht gedruckt werden: %1").arg(error));
    // The texts were measured at the printer's resolution; the view measures
    // them again at its own.
    PaintBox1Paint();
}

void TMainForm::AlsBildexportieren1Click() {
    TDPIForm& form = DPIForm();
    if (RunModal(form) != QDialog::Accepted) return;
    const int dpi = std::clamp(form.DPIED->Value(), form.DPIED->minimum(), form.DPIED->maximum());
    const int page =
        std::clamp(form.SeiteEd->Value(), form.SeiteEd->minimum(), form.SeiteEd->maximum());
    const QString caption = ErrorCaption();
    if (const int pages = PageCount(); page > pages) {
        FDialogs->ShowError(
            caption, pages == 1
                         ? Tr("Seite %1 gibt es nicht: die Zeichnung hat nur eine Seite.").arg(page)
                         : Tr("Seite %1 gibt es nicht: die Zeichnung hat %2 Seiten.")
                               .arg(page)
                               .arg(pages));
        return;
    }
    const TPixelSize size = BitmapPageSize(dpi, PageWidthInch, PageHeightInch);
    if (!FitsBmp(size)) {
        FDialogs->ShowError(caption, Tr("Ein Bild von %1 x %2 Pixeln ist für eine BMP-Datei zu "
                                        "groß. Bitte eine kleinere DPI-Zahl wählen.")
                                         .arg(size.Width)
                                         .arg(size.Height));
        return;
    }
    const auto path =
        AskExportFileName({Tr("Als Bild exportieren"), QStringLiteral("bmp"), Tr(kBmpFilter)});
    if (!path) return;
    (void)ExportPageBitmap(*path, page - 1, dpi);
}

bool TMainForm::ExportPageBitmap(const QString& path, int page, double dpi) {
    TBitmapJob job;
    job.Page = page;
    job.Dpi = dpi;
    job.PageWidthInch = PageWidthInch;
    job.PageHeightInch = PageHeightInch;
    job.ScreenDpi = PaintBox1->logicalDpiX();
    job.WindowText = palette().color(QPalette::WindowText);
    QString error;
    bool written = false;
    {
        const TBusy busy;
        written = WritePageBmp(path, *Drawing, job, error);
    }
    if (!written) ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", path, error);
    // The texts were measured at the picture's resolution; the view measures
    // them again at its own.
    PaintBox1Paint();
    return written;
}

} // namespace quirindo::ui
