// Output commands: DXF, PDF, SVG and picture exports, page setup, printer
// setup, print preview and printing. The work itself is done by the output
// layer; these handlers ask the user and report.

#include "BitmapExport.h"
#include "DPIForm.h"
#include "DrawingFile.h"
#include "BusyCursor.h"
#include "DxfTextMeasure.h"
#include "DxfWriter.h"
#include "FileIO.h"
#include "MainForm.h"
#include "Messages.h"
#include "PaintBox.h"
#include "PagePrinting.h"
#include "SeiteEinrichtenForm.h"
#include "SpinEdits.h"
#include "VectorExport.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QCheckBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
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
constexpr const char* kPngFilter = "PNG-Dateien (*.png)|*.png";
constexpr const char* kPdfFilter = "PDF-Dateien (*.pdf)|*.pdf";
constexpr const char* kSvgFilter = "SVG-Dateien (*.svg)|*.svg";

// A page narrower or lower than a millimetre cannot be drawn on or shown;
// one beyond ten metres is no paper any printer or screen handles.
constexpr double kMinPageMm = 1.0;
constexpr double kMaxPageMm = 10000.0;

// A wait cursor while a long print or export blocks the window.
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

std::optional<QString> TMainForm::AskExportFileName(
    TFileDialogRequest request, const std::function<QStringList(const QString&)>& targets) {
    // The question is asked here, in the interface language, once; the file
    // dialog must not ask as well.
    request.ConfirmOverwrite = false;
    request.Directory = DialogFolder();
    request.SuggestedName = SuggestedName(request.DefaultSuffix);
    for (;;) {
        const auto path = FDialogs->AskSaveFileName(request);
        if (path) RememberFolderOf(*path);
        if (!path) return path;
        // An export of several pages writes numbered files beside the name
        // chosen; any of them may already be there.
        const QStringList files = targets ? targets(*path) : QStringList{*path};
        QStringList existing;
        for (const QString& file : files)
            if (QFileInfo::exists(file)) existing << file;
        if (existing.isEmpty()) return path;
        const auto isDrawing = [this](const QString& file) {
            return !FileName.isEmpty() && SameFile(file.toStdString(), FileName.toStdString());
        };
        const auto drawing = std::find_if(existing.begin(), existing.end(), isDrawing);
        const QString shown = QDir::toNativeSeparators(drawing != existing.end() ? *drawing
                                                                                 : existing.first());
        QString question =
            drawing != existing.end()
                ? Tr("Die Datei %1 ist die geöffnete Zeichnung. Soll sie wirklich durch "
                     "den Export ersetzt werden? Die Zeichnung darin geht dabei verloren.")
                      .arg(shown)
                : Tr("Die Datei %1 gibt es schon. Soll sie ersetzt werden?").arg(shown);
        if (existing.size() > 1)
            question += QLatin1Char(' ') +
                        Tr("Ebenso %1 weitere Dateien dieses Exports.").arg(existing.size() - 1);
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
    TDxfWriteOptions options;
    options.TextMeasure = DxfTextMeasure(TTextFontResolver(), PaintBox1->logicalDpiX());
    if (!WriteDxfFile(fileName.toStdString(), *Drawing, PageCount(), PageHeightInch, error,
                      options)) {
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

std::optional<output::TPrintJob> TMainForm::PrintJobFor(QPrinter& printer) {
    const int pages = PageCount();
    output::TPrintJob job;
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
    // Copies and order are made here, the same on every printer and in a
    // PDF: a driver that made them itself as well would multiply them.
    job.Copies = std::max(1, printer.copyCount());
    job.Collate = printer.collateCopies();
    job.Reverse = printer.pageOrder() == QPrinter::LastPageFirst;

    // Paper smaller than the page: the user chooses between the whole page
    // made smaller and the page at its true size with the edges cut off.
    const QSizeF pageMm(PageWidthInch * kMmPerInch, PageHeightInch * kMmPerInch);
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    if (!output::PageFitsPaper(pageMm, area.size())) {
        const double percent = output::FitScale(pageMm, area.size()) * 100.0;
        const QString question =
            Tr("Die Seite (%1 x %2 mm) ist größer als der bedruckbare Bereich des Papiers "
               "(%3 x %4 mm). Soll sie auf das Papier verkleinert werden (%5 %)? Mit \"Nein\" "
               "wird sie in Originalgröße gedruckt und am Rand abgeschnitten.")
                .arg(pageMm.width(), 0, 'f', 0)
                .arg(pageMm.height(), 0, 'f', 0)
                .arg(area.width(), 0, 'f', 0)
                .arg(area.height(), 0, 'f', 0)
                .arg(percent, 0, 'f', 0);
        switch (FDialogs->AskYesNoCancel(Tr("Drucken"), question)) {
        case TAnswer::Yes:
            job.FitToPaper = true;
            break;
        case TAnswer::No:
            job.FitToPaper = false;
            break;
        case TAnswer::Cancel:
            return std::nullopt;
        }
    }
    return job;
}

bool TMainForm::PrintJobTo(QPrinter& printer, const output::TPrintJob& job, QString& error) {
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty()) {
        error = Reason(reason::PrinterCannotOpen);
        return false;
    }
    // The driver must not repeat or reverse what the job already did.
    const int copies = printer.copyCount();
    const QPrinter::PageOrder order = printer.pageOrder();
    printer.setCopyCount(1);
    printer.setPageOrder(QPrinter::FirstPageFirst);
    bool printed = output::PrintPages(printer, *Drawing, job, error);
    printer.setCopyCount(copies);
    printer.setPageOrder(order);
    if (printed && printer.printerState() == QPrinter::Error) {
        error = Reason(reason::PrinterError);
        printed = false;
    }
    if (!printed && !printer.outputFileName().isEmpty() &&
        error == Reason(reason::PrinterCannotOpen))
        error = Reason(reason::CannotBeWritten).arg(printer.outputFileName());
    return printed;
}

void TMainForm::PreparePrinterForDialog() {
    QPrinter& printer = Printer();
    // Until the user chose paper in the printer setup, each sheet is the
    // size of a drawing page.
    if (!PrinterSetUpByUser) output::MatchPaperToPage(printer, PageWidthInch, PageHeightInch);
    // A range belongs to one print; the next starts with every page.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
}

void TMainForm::Drucken1Click() {
    PreparePrinterForDialog();
    QPrinter& printer = Printer();
    const int pages = PageCount();
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(Tr("Drucken"));
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    if (RunModal(dialog) != QDialog::Accepted) return;

    const auto job = PrintJobFor(printer);
    if (!job) return;
    QString error;
    bool printed = false;
    {
        const TBusyCursor busy;
        printed = PrintJobTo(printer, *job, error);
    }
    if (!printed)
        FDialogs->ShowError(ErrorCaption(),
                            Tr("Die Zeichnung konnte nicht gedruckt werden: %1").arg(error));
    // The texts were measured at the printer's resolution; the view measures
    // them again at its own.
    PaintBox1Paint();
}

void TMainForm::Druckvorschau1Click() {
    PreparePrinterForDialog();
    QPrinter& printer = Printer();
    const auto job = PrintJobFor(printer);
    if (!job) return;
    QPrintPreviewDialog dialog(&printer, this);
    dialog.setWindowTitle(Tr("Druckvorschau"));
    // The preview shows each page once, in the paper's order; copies are
    // for the printer.
    output::TPrintJob preview = *job;
    preview.Copies = 1;
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this, preview](QPrinter* p) {
        QString error;
        if (!output::PrintPages(*p, *Drawing, preview, error))
            FDialogs->ShowError(ErrorCaption(),
                                Tr("Die Zeichnung konnte nicht gedruckt werden: %1").arg(error));
    });
    (void)RunModal(dialog);
    PaintBox1Paint();
}

void TMainForm::AlsBildexportieren1Click() {
    TDPIForm& form = DPIForm();
    if (RunModal(form) != QDialog::Accepted) return;
    const int dpi = std::clamp(form.DPIED->Value(), form.DPIED->minimum(), form.DPIED->maximum());
    const int page =
        std::clamp(form.SeiteEd->Value(), form.SeiteEd->minimum(), form.SeiteEd->maximum());
    const bool allPages = form.AlleSeitenCheck->isChecked();
    const QString caption = ErrorCaption();
    const int pages = PageCount();
    if (!allPages && page > pages) {
        FDialogs->ShowError(
            caption, pages == 1
                         ? Tr("Seite %1 gibt es nicht: die Zeichnung hat nur eine Seite.").arg(page)
                         : Tr("Seite %1 gibt es nicht: die Zeichnung hat %2 Seiten.")
                               .arg(page)
                               .arg(pages));
        return;
    }
    const TPixelSize size = output::BitmapPageSize(dpi, PageWidthInch, PageHeightInch);
    if (!output::FitsBmp(size)) {
        FDialogs->ShowError(caption, Tr("Ein Bild von %1 x %2 Pixeln ist zu groß. Bitte eine "
                                        "kleinere DPI-Zahl wählen.")
                                         .arg(size.Width)
                                         .arg(size.Height));
        return;
    }
    const auto targets = [allPages, pages](const QString& path) {
        QStringList files;
        if (!allPages) return QStringList{path};
        for (int p = 1; p <= pages; ++p)
            files << output::NumberedPageFile(path, p);
        return files;
    };
    const QString filter = Tr(kBmpFilter) + QLatin1Char('|') + Tr(kPngFilter);
    const auto path = AskExportFileName(
        {Tr("Als Bild exportieren"), QStringLiteral("bmp"), filter}, targets);
    if (!path) return;
    const auto format = output::PictureFormatOf(*path);
    if (!format) {
        ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", *path,
                        Tr("ein Bild wird als .bmp oder .png gespeichert; bitte eine dieser "
                           "Endungen wählen"));
        return;
    }
    if (!allPages) {
        (void)ExportPagePicture(*path, *format, page - 1, dpi);
        return;
    }
    for (int p = 1; p <= pages; ++p)
        if (!ExportPagePicture(output::NumberedPageFile(*path, p), *format, p - 1, dpi)) return;
}

bool TMainForm::ExportPageBitmap(const QString& path, int page, double dpi) {
    return ExportPagePicture(path, output::TPictureFormat::Bmp, page, dpi);
}

bool TMainForm::ExportPagePicture(const QString& path, output::TPictureFormat format, int page,
                                  double dpi) {
    output::TBitmapJob job;
    job.Page = page;
    job.Dpi = dpi;
    job.PageWidthInch = PageWidthInch;
    job.PageHeightInch = PageHeightInch;
    job.ScreenDpi = PaintBox1->logicalDpiX();
    job.WindowText = palette().color(QPalette::WindowText);
    QString error;
    bool written = false;
    {
        const TBusyCursor busy;
        written = output::WritePagePicture(path, format, *Drawing, job, error);
    }
    if (!written) ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", path, error);
    // The texts were measured at the picture's resolution; the view measures
    // them again at its own.
    PaintBox1Paint();
    return written;
}

output::TVectorJob TMainForm::VectorJob(const QString& path) const {
    output::TVectorJob job;
    job.PageWidthInch = PageWidthInch;
    job.PageHeightInch = PageHeightInch;
    job.ScreenDpi = PaintBox1->logicalDpiX();
    job.WindowText = palette().color(QPalette::WindowText);
    job.FirstPage = 0;
    job.LastPage = PageCount() - 1;
    job.Title = QFileInfo(FileName.isEmpty() ? path : FileName).completeBaseName();
    return job;
}

void TMainForm::AlsPDFexportieren1Click() {
    const auto path =
        AskExportFileName({Tr("Als PDF exportieren"), QStringLiteral("pdf"), Tr(kPdfFilter)});
    if (!path) return;
    QString error;
    bool written = false;
    {
        const TBusyCursor busy;
        written = output::WritePdf(*path, *Drawing, VectorJob(*path), error);
    }
    if (!written) ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", *path, error);
    PaintBox1Paint();
}

void TMainForm::AlsSVGexportieren1Click() {
    // An SVG holds one page: a drawing of several pages gives one numbered
    // file per page.
    const int pages = PageCount();
    const auto targets = [pages](const QString& path) {
        if (pages == 1) return QStringList{path};
        QStringList files;
        for (int p = 1; p <= pages; ++p)
            files << output::NumberedPageFile(path, p);
        return files;
    };
    const auto path = AskExportFileName(
        {Tr("Als SVG exportieren"), QStringLiteral("svg"), Tr(kSvgFilter)}, targets);
    if (!path) return;
    const QStringList files = targets(*path);
    output::TVectorJob job = VectorJob(*path);
    for (int p = 0; p < pages; ++p) {
        job.FirstPage = job.LastPage = p;
        QString error;
        bool written = false;
        {
            const TBusyCursor busy;
            written = output::WriteSvg(files[p], *Drawing, job, error);
        }
        if (!written) {
            ReportFileError("Die Datei %1 konnte nicht geschrieben werden: %2", files[p], error);
            break;
        }
    }
    PaintBox1Paint();
}

} // namespace quirindo::ui
