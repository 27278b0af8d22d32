// The output commands through the window's real handlers: DXF export, page
// setup, printer setup, printing to a PDF file and the bitmap export, with
// every dialog answered by the test.

#include "BitmapExport.h"
#include "DPIForm.h"
#include "DrawingFile.h"
#include "DxfWriter.h"
#include "FileIO.h"
#include "Geometry.h"
#include "MainFormFixture.h"
#include "PageRenderer.h"
#include "PaintBox.h"
#include "PagePrinting.h"
#include "SeiteEinrichtenForm.h"
#include "SpinEdits.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolBar>

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace quirindo::test {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteText(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

bool Dark(QRgb pixel) {
    return qGray(pixel) < 128;
}

// The longest run of dark pixels in row y.
int DarkRun(const QImage& image, int y, int* start = nullptr) {
    int best = 0, run = 0;
    for (int x = 0; x < image.width(); ++x) {
        run = Dark(image.pixel(x, y)) ? run + 1 : 0;
        if (run > best) {
            best = run;
            if (start) *start = x - run + 1;
        }
    }
    return best;
}

// The row with the longest dark run, and that run.
std::pair<int, int> LongestDarkRow(const QImage& image, int fromY = 0, int toY = -1) {
    if (toY < 0) toY = image.height();
    std::pair<int, int> best{-1, 0};
    for (int y = fromY; y < toY; ++y) {
        const int run = DarkRun(image, y);
        if (run > best.second) best = {y, run};
    }
    return best;
}

int DarkPixels(const QImage& image, QRect area) {
    int n = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += Dark(image.pixel(x, y)) ? 1 : 0;
    return n;
}

class OutputTest : public MainFormTest {
protected:
    // A fresh drawing so that the lines below are all there is.
    void SetUp() override {
        MainFormTest::SetUp();
        Form->Drawing->Objects.Clear();
        // Only what the output commands report counts here (the start may
        // have reported a missing translation table).
        Fake->Errors.clear();
    }

    // Answers the next modal dialog with `fn`, which returns its result.
    template <class Dialog> void Answer(std::function<int(Dialog&)> fn) {
        Form->ModalRunner = [this, fn](QDialog& dialog) {
            ++ModalRuns;
            auto* typed = dynamic_cast<Dialog*>(&dialog);
            EXPECT_NE(typed, nullptr) << "unexpected dialog " << dialog.metaObject()->className();
            return typed ? fn(*typed) : int(QDialog::Rejected);
        };
    }

    // Runs the page setup command with the fields set as given.
    void PageSetup(bool inch, double width, double height, bool ok = true) {
        Answer<ui::TSeiteEinrichtenForm>([=](ui::TSeiteEinrichtenForm& f) {
            (inch ? f.zollcheck : f.mmcheck)->setChecked(true);
            f.breited->setValue(width);
            f.hoched->setValue(height);
            return ok ? QDialog::Accepted : QDialog::Rejected;
        });
        Form->DateiSeiteeinrichten1Click();
    }

    void AnswerPrintTo(const QString& pdf, int from = 0, int to = 0) {
        Answer<QPrintDialog>([=](QPrintDialog& d) {
            d.printer()->setOutputFormat(QPrinter::PdfFormat);
            d.printer()->setOutputFileName(pdf);
            if (from > 0) {
                d.printer()->setPrintRange(QPrinter::PageRange);
                d.printer()->setFromTo(from, to);
            }
            return int(QDialog::Accepted);
        });
    }

    void AnswerDpi(int dpi, int page) {
        Answer<ui::TDPIForm>([=](ui::TDPIForm& f) {
            f.DPIED->setValue(dpi);
            f.SeiteEd->setValue(page);
            return int(QDialog::Accepted);
        });
    }

    int ModalRuns = 0;
};

// ---------------------------------------------------------------- menus

TEST_F(OutputTest, MenuItemsAndButtonsRunTheOutputCommands) {
    for (QAction* item : {Form->AlsBildexportieren1, Form->AlsDXFDateiexportieren1,
                          Form->Seiteeinrichten1, Form->Drucken1, Form->Druckereinrichten1})
        EXPECT_TRUE(item->isEnabled()) << item->text().toStdString();
    QStringList shown;
    Form->ModalRunner = [&](QDialog& d) {
        shown << QString::fromLatin1(d.metaObject()->className());
        return int(QDialog::Rejected);
    };
    for (const char* button : {"SeiteEinrichtenBtn", "DruckenBtn", "DruckerEinrichtenBtn"}) {
        auto* action = Form->CommandBar->findChild<QAction*>(QString::fromLatin1(button));
        ASSERT_NE(action, nullptr) << button;
        EXPECT_TRUE(action->isEnabled()) << button;
        action->trigger();
    }
    Form->AlsBildexportieren1->trigger();
    EXPECT_EQ(shown, (QStringList{"quirindo::ui::TSeiteEinrichtenForm", "QPrintDialog",
                                  "QPageSetupDialog", "quirindo::ui::TDPIForm"}));
    // The export's save dialog is one of the window's file dialogs.
    Form->AlsDXFDateiexportieren1->trigger();
    EXPECT_EQ(Fake->SaveDialogs, 1);
}

// ---------------------------------------------------------------- DXF

// A page the drawing lacks: the message counts one page as one.
TEST_F(OutputTest, MissingPageMessageReadsRightForOnePage) {
    AnswerDpi(150, 2);
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_EQ(Fake->Errors[0],
              QStringLiteral("Seite 2 gibt es nicht: die Zeichnung hat nur eine Seite."));
    Form->PageAnz->setValue(2);
    AnswerDpi(150, 3);
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Errors.size(), 2);
    EXPECT_EQ(Fake->Errors[1], QStringLiteral("Seite 3 gibt es nicht: die Zeichnung hat 2 Seiten."));
    EXPECT_EQ(Fake->SaveDialogs, 0);
}

// The reason a picture could not be written is the program's own text in
// the interface language, not the system's English.
TEST_F(OutputTest, BitmapThatCannotBeWrittenSaysWhyInTheInterfaceLanguage) {
    const QString path = QString::fromStdString((Dir.Path() / "no" / "such.bmp").string());
    EXPECT_FALSE(Form->ExportPageBitmap(path, 0, 50));
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_EQ(Fake->Errors[0],
              QStringLiteral("Die Datei %1 konnte nicht geschrieben werden: Datei oder Ordner "
                             "nicht gefunden")
                  .arg(path));
}

TEST_F(OutputTest, DxfExportWritesTheDrawingWithYUpwards) {
    AddLine(10, 20, 30, 20);
    const QString path = Path("out.dxf");
    Fake->SaveNames.push_back(path);
    Form->AlsDXFDateiexportieren1->trigger();

    EXPECT_EQ(Fake->LastSpec.DefaultSuffix, QStringLiteral("dxf"));
    EXPECT_EQ(Fake->LastSpec.Filter, QStringLiteral("DXF-Dateien (*.dxf)|*.dxf"));
    EXPECT_FALSE(Fake->LastSpec.ConfirmOverwrite);
    const QByteArray text = ReadAll(path);
    EXPECT_TRUE(text.startsWith(" 0\r\nSECTION\r\n"));
    EXPECT_TRUE(text.endsWith("  0\r\nENDSEC\r\n  0\r\nEOF\r\n"));
    // One A4 page: y = 297 - 20.
    EXPECT_TRUE(text.contains("10\r\n10\r\n20\r\n277\r\n42\r\n0\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("10\r\n30\r\n20\r\n277\r\n"));
    EXPECT_TRUE(Form->Changed) << "the export does not touch the changed mark";
    EXPECT_TRUE(Fake->Errors.isEmpty());

    // With two pages the drawing is twice as high.
    Form->PageAnz->setValue(2);
    Form->SetUnChanged();
    Fake->SaveNames.push_back(path);
    Fake->Answers.push_back(ui::TAnswer::Yes); // replace the first export
    Form->DXFExportActionClick();
    EXPECT_TRUE(ReadAll(path).contains("10\r\n10\r\n20\r\n574\r\n"));
    EXPECT_FALSE(Form->Changed);
    EXPECT_EQ(ReadAll(path).toStdString(),
              DxfFromDrawing(*Form->Drawing, DxfDrawingHeight(2, Form->PageHeightInch)));
}

TEST_F(OutputTest, DxfExportCancelledOrFailingWritesNothing) {
    AddLine();
    Form->DXFExportActionClick(); // cancelled: no name
    EXPECT_EQ(Fake->SaveDialogs, 1);
    EXPECT_TRUE(QDir(QString::fromStdString(Dir.Path().string()))
                    .entryList({QStringLiteral("*.dxf")}, QDir::Files)
                    .isEmpty());

    const QString missing = Path("no-such-folder/out.dxf");
    Fake->SaveNames.push_back(missing);
    Form->DXFExportActionClick();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QDir::toNativeSeparators(missing)));

    const QString kept = Path("kept.dxf");
    WriteText(kept, "old");
    TUnwritableDir locked(Dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_FALSE(Form->savedxfArc(kept));
    ASSERT_EQ(Fake->Errors.size(), 2);
    EXPECT_TRUE(Fake->Errors[1].contains(QStringLiteral("kept.dxf")));
    EXPECT_EQ(ReadAll(kept), QByteArray("old"));
}

// Both exports ask before replacing a file: "No" goes back to the file
// dialog, "Cancel" ends the export, "Yes" replaces; a new file needs no
// question. The question is the window's own (the file dialog is told not
// to ask a second time).
TEST_F(OutputTest, ExportsAskBeforeReplacingAFile) {
    AddLine();
    const QString dxf = Path("old.dxf");
    WriteText(dxf, "old");
    Fake->SaveNames = {dxf};
    Fake->Answers = {ui::TAnswer::No};
    Form->AlsDXFDateiexportieren1->trigger();
    EXPECT_EQ(Fake->SaveDialogs, 2) << "No returns to the file dialog";
    ASSERT_EQ(Fake->Questions.size(), 1);
    EXPECT_TRUE(Fake->Questions[0].contains(QDir::toNativeSeparators(dxf)));
    EXPECT_TRUE(Fake->Questions[0].contains(QStringLiteral("ersetzt")));
    EXPECT_FALSE(Fake->LastSpec.ConfirmOverwrite);
    EXPECT_EQ(ReadAll(dxf), QByteArray("old"));

    Fake->SaveNames = {dxf};
    Fake->Answers = {ui::TAnswer::Yes};
    Form->DXFExportActionClick();
    EXPECT_TRUE(ReadAll(dxf).startsWith(" 0\r\nSECTION\r\n"));

    Fake->SaveNames = {Path("new.dxf")};
    Form->DXFExportActionClick();
    EXPECT_EQ(Fake->Questions.size(), 2) << "a new file is written without a question";
    EXPECT_TRUE(ReadAll(Path("new.dxf")).endsWith("EOF\r\n"));

    const QString bmp = Path("old.bmp");
    WriteText(bmp, "old");
    AnswerDpi(50, 1);
    Fake->SaveNames = {bmp, Path("other.bmp")};
    Fake->Answers = {ui::TAnswer::Cancel};
    Form->AlsBildexportieren1Click();
    EXPECT_EQ(Fake->Questions.size(), 3);
    EXPECT_FALSE(Fake->LastSpec.ConfirmOverwrite);
    EXPECT_EQ(ReadAll(bmp), QByteArray("old"));
    EXPECT_FALSE(QFileInfo::exists(Path("other.bmp"))) << "Cancel ends the export";

    AnswerDpi(50, 1);
    Fake->SaveNames = {bmp};
    Fake->Answers = {ui::TAnswer::Yes};
    Form->AlsBildexportieren1Click();
    EXPECT_FALSE(QImage(bmp, "BMP").isNull());
    EXPECT_TRUE(Fake->Errors.isEmpty());
}

// The drawing's own file, under whatever name the dialog returns, gets a
// question that says what would be lost; until the user agrees it keeps
// the drawing.
TEST_F(OutputTest, ExportOntoTheOpenDrawingWarnsFirst) {
    AddLine();
    const QString drawing = Path("drawing.qrd");
    Fake->SaveNames = {drawing};
    ASSERT_TRUE(Form->SaveFile());
    const QByteArray saved = ReadAll(drawing);
    const QString alias = Path("alias.dxf");
    ASSERT_EQ(::link(drawing.toLocal8Bit().constData(), alias.toLocal8Bit().constData()), 0);

    Fake->SaveNames = {alias, Path("drawing.dxf")};
    Fake->Answers = {ui::TAnswer::No};
    Form->DXFExportActionClick();
    ASSERT_EQ(Fake->Questions.size(), 1);
    EXPECT_TRUE(Fake->Questions[0].contains(QStringLiteral("geöffnete Zeichnung")))
        << Fake->Questions[0].toStdString();
    EXPECT_EQ(ReadAll(drawing), saved);
    EXPECT_TRUE(ReadAll(Path("drawing.dxf")).endsWith("EOF\r\n"));

    AnswerDpi(50, 1);
    Fake->SaveNames = {drawing};
    Fake->Answers = {ui::TAnswer::Cancel};
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Questions.size(), 2);
    EXPECT_TRUE(Fake->Questions[1].contains(QStringLiteral("geöffnete Zeichnung")));
    EXPECT_EQ(ReadAll(drawing), saved);
    EXPECT_TRUE(Fake->Errors.isEmpty());
}

// ---------------------------------------------------------------- page setup

TEST(PageSetupDialog, ControlsTextsAndPlaces) {
    ui::TSeiteEinrichtenForm f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Seite einrichten"));
    EXPECT_EQ(f.size(), QSize(487, 248));
    EXPECT_TRUE(f.mmcheck->isChecked());
    EXPECT_FALSE(f.zollcheck->isChecked());
    const struct {
        QWidget* Widget;
        const char* Text;
        QRect Place;
    } controls[] = {
        {f.mmcheck, "mm", {8, 8, 113, 17}},
        {f.zollcheck, "Zoll", {128, 8, 113, 17}},
        {f.breited, nullptr, {56, 32, 121, 21}},
        {f.hoched, nullptr, {56, 56, 121, 21}},
        {f.BitBtnXP2, "A4 Hochformat", {8, 88, 121, 25}},
        {f.BitBtnXP3, "A4 Querformat", {136, 88, 121, 25}},
        {f.BitBtnXP4, "A3 Hochformat", {8, 120, 121, 25}},
        {f.BitBtnXP5, "A3 Querformat", {136, 120, 121, 25}},
        {f.VonDruckerBtn, "Von Druckertreiber übernehmen", {8, 152, 249, 25}},
        {f.BitBtnXP1, "OK", {206, 208, 75, 25}},
        {f.Bevel1, nullptr, {0, 198, 487, 50}},
    };
    for (const auto& c : controls) {
        EXPECT_EQ(c.Widget->geometry(), c.Place) << c.Widget->objectName().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(c.Widget)) {
            EXPECT_EQ(b->text(), QString::fromUtf8(c.Text));
        }
    }
    EXPECT_EQ(f.Label1->text(), QStringLiteral("Breite:"));
    EXPECT_EQ(f.Label1->pos(), QPoint(8, 32));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("Höhe:"));
    EXPECT_EQ(f.Label2->pos(), QPoint(8, 56));
    EXPECT_FALSE(f.VonDruckerBtn->icon().isNull());
    EXPECT_DOUBLE_EQ(f.breited->singleStep(), 0.1);
    EXPECT_GT(f.breited->minimum(), 0.0);
    EXPECT_GT(f.hoched->minimum(), 0.0);
    // The close box cancels: there is no cancel button.
    EXPECT_EQ(f.findChildren<QPushButton*>().size(), 6);
}

TEST(PageSetupDialog, PresetsCheckMillimetres) {
    ui::TSeiteEinrichtenForm f;
    const struct {
        QPushButton* Button;
        double W, H;
    } presets[] = {{f.BitBtnXP2, 210, 297},
                   {f.BitBtnXP3, 297, 210},
                   {f.BitBtnXP4, 297, 420},
                   {f.BitBtnXP5, 420, 297}};
    for (const auto& p : presets) {
        f.zollcheck->setChecked(true);
        p.Button->click();
        EXPECT_TRUE(f.mmcheck->isChecked());
        EXPECT_EQ(f.breited->value(), p.W);
        EXPECT_EQ(f.hoched->value(), p.H);
    }
}

TEST(PageSetupDialog, PrintableAreaInWholeMillimetres) {
    // 4960 x 7016 dots at 600 dpi are 209.97 x 297.01 mm.
    EXPECT_EQ(ui::PrintableAreaMm({4960, 7016, 600}), (std::pair{210, 297}));
    // The height uses the horizontal resolution too.
    EXPECT_EQ(ui::PrintableAreaMm({600, 1200, 300}), (std::pair{51, 102}));
    EXPECT_FALSE(ui::PrintableAreaMm({4960, 7016, 0}));
    EXPECT_FALSE(ui::PrintableAreaMm({0, 7016, 600}));
}

TEST_F(OutputTest, PageSetupShowsThePageAndCancelChangesNothing) {
    double shownW = 0, shownH = 0;
    Answer<ui::TSeiteEinrichtenForm>([&](ui::TSeiteEinrichtenForm& f) {
        shownW = f.breited->value();
        shownH = f.hoched->value();
        EXPECT_TRUE(f.mmcheck->isChecked());
        f.BitBtnXP5->click();
        return int(QDialog::Rejected); // the close box
    });
    const int paints = Form->PaintRequests;
    Form->Seiteeinrichten1->trigger();
    EXPECT_EQ(ModalRuns, 1);
    EXPECT_NEAR(shownW, 210.0, 0.005);
    EXPECT_NEAR(shownH, 297.0, 0.005);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 210 / kMmPerInch);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 297 / kMmPerInch);
    EXPECT_FALSE(Form->Changed);
    EXPECT_EQ(Form->PaintRequests, paints);
}

TEST_F(OutputTest, PageSetupTakesInchesOrMillimetresAsChosen) {
    PageSetup(true, 8.5, 11);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 8.5);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 11);
    EXPECT_TRUE(Form->Changed);
    EXPECT_TRUE(Form->windowTitle().contains(QLatin1Char('*')));

    // Reopened, the fields show millimetres; confirming them unchanged
    // keeps the page exactly (no drift through the fields' rounding).
    double shownW = 0;
    Answer<ui::TSeiteEinrichtenForm>([&](ui::TSeiteEinrichtenForm& f) {
        shownW = f.breited->value();
        EXPECT_TRUE(f.mmcheck->isChecked());
        return int(QDialog::Accepted);
    });
    Form->DateiSeiteeinrichten1Click();
    EXPECT_NEAR(shownW, 215.899575, 0.005);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 8.5);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 11);

    Form->SetUnChanged();
    const int paints = Form->PaintRequests;
    PageSetup(false, 8.5, 11);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 8.5 / kMmPerInch);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 11 / kMmPerInch);
    EXPECT_TRUE(Form->Changed);
    EXPECT_GT(Form->PaintRequests, paints);
}

TEST_F(OutputTest, PageSetupPresetMarksChangedAndWidensTheView) {
    Form->PaintBox1Paint();
    const double widthBefore = Form->PaintBox1->width();
    Answer<ui::TSeiteEinrichtenForm>([](ui::TSeiteEinrichtenForm& f) {
        f.BitBtnXP5->click();
        return int(QDialog::Accepted);
    });
    Form->DateiSeiteeinrichten1Click();
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 420 / kMmPerInch);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 297 / kMmPerInch);
    EXPECT_TRUE(Form->Changed);
    EXPECT_NEAR(Form->PaintBox1->width() / widthBefore, 2.0, 0.02);
}

TEST_F(OutputTest, PageSetupRefusesPagesThatCannotBe) {
    for (const auto& [inch, w, h] :
         {std::tuple{true, 0.01, 11.0}, std::tuple{false, 210.0, 20000.0},
          std::tuple{true, 8.5, 1000.0}}) {
        PageSetup(inch, w, h);
        EXPECT_DOUBLE_EQ(Form->PageWidthInch, 210 / kMmPerInch);
        EXPECT_DOUBLE_EQ(Form->PageHeightInch, 297 / kMmPerInch);
        EXPECT_FALSE(Form->Changed);
    }
    ASSERT_EQ(Fake->Errors.size(), 3);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("mm")));
}

TEST_F(OutputTest, PageSetupTakesThePrintersPrintableArea) {
    ui::TSeiteEinrichtenForm& form = Form->SeiteEinrichtenForm();
    EXPECT_EQ(&form, &Form->SeiteEinrichtenForm()) << "made once and reused";
    form.PrinterArea = [] { return ui::TPrintableArea{4960, 7016, 600}; };
    Answer<ui::TSeiteEinrichtenForm>([](ui::TSeiteEinrichtenForm& f) {
        f.zollcheck->setChecked(true);
        f.breited->setValue(1);
        f.VonDruckerBtn->click();
        EXPECT_TRUE(f.mmcheck->isChecked());
        EXPECT_EQ(f.breited->value(), 210);
        EXPECT_EQ(f.hoched->value(), 297);
        f.hoched->setValue(280);
        return int(QDialog::Accepted);
    });
    Form->DateiSeiteeinrichten1Click();
    EXPECT_DOUBLE_EQ(Form->PageHeightInch, 280 / kMmPerInch);

    // Without a printer: a message, the fields stay as they were.
    form.PrinterArea = [] { return std::optional<ui::TPrintableArea>(); };
    Answer<ui::TSeiteEinrichtenForm>([](ui::TSeiteEinrichtenForm& f) {
        f.zollcheck->setChecked(true);
        f.breited->setValue(8);
        f.VonDruckerBtn->click();
        EXPECT_TRUE(f.zollcheck->isChecked());
        EXPECT_EQ(f.breited->value(), 8);
        return int(QDialog::Rejected);
    });
    Form->DateiSeiteeinrichten1Click();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("Drucker")));
}

// ---------------------------------------------------------------- printing

TEST_F(OutputTest, PrinterSetupShowsTheWindowsPrinterAndRepaints) {
    QPrinter* seen = nullptr;
    Answer<QPageSetupDialog>([&](QPageSetupDialog& d) {
        seen = d.printer();
        return int(QDialog::Rejected);
    });
    int paints = Form->PaintRequests;
    Form->Druckereinrichten1Click();
    EXPECT_EQ(seen, &Form->Printer());
    EXPECT_GT(Form->PaintRequests, paints);
    EXPECT_FALSE(Form->PrinterSetUpByUser);

    Answer<QPageSetupDialog>([](QPageSetupDialog&) { return int(QDialog::Accepted); });
    paints = Form->PaintRequests;
    Form->Druckereinrichten1Click();
    EXPECT_TRUE(Form->PrinterSetUpByUser);
    EXPECT_GT(Form->PaintRequests, paints);
}

TEST(PrintPage, TrueSizeClippedToThePageWithoutFrame) {
    TDrawing drawing;
    auto addLine = [&](double x1, double y1, double x2, double y2) {
        TDrawObject* o = drawing.Objects.Append();
        o->Kind = okLine;
        o->Width = 0.1; // one pixel: the run is the line's length
        o->X1 = x1;
        o->Y1 = y1;
        o->X2 = x2;
        o->Y2 = y2;
    };
    addLine(10, 50, 110, 50);  // 100 mm on page 1
    addLine(10, 307, 60, 307); // on page 2, 10 mm below its top
    output::TPrintJob job;
    job.PageWidthInch = 210 / kMmPerInch;
    job.PageHeightInch = 297 / kMmPerInch;

    // A sheet taller than the page: page 2's line must not show below it.
    const double dpi = 300;
    QImage sheet(RoundHalfEven(dpi * job.PageWidthInch),
                 2 * RoundHalfEven(dpi * job.PageHeightInch), QImage::Format_RGB32);
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        output::PaintPrintPage(painter, drawing, 0, dpi, dpi, job);
    }
    const auto [row, run] = LongestDarkRow(sheet);
    EXPECT_NEAR(row, 50 * dpi / kMmPerInch, 3);
    EXPECT_NEAR(run, 100 * dpi / kMmPerInch, 2);
    EXPECT_EQ(DarkPixels(sheet, QRect(0, sheet.height() / 2, sheet.width(), sheet.height() / 2)),
              0);
    EXPECT_EQ(DarkPixels(sheet, QRect(0, 0, sheet.width(), 3)), 0) << "no paper frame";
    EXPECT_EQ(DarkPixels(sheet, QRect(0, 0, 3, sheet.height())), 0);

    // Page 2 at a printer whose vertical resolution is twice the horizontal.
    sheet.fill(Qt::white);
    {
        QPainter painter(&sheet);
        output::PaintPrintPage(painter, drawing, 1, dpi, 2 * dpi, job);
    }
    const auto [row2, run2] = LongestDarkRow(sheet);
    EXPECT_NEAR(row2, 10 * 2 * dpi / kMmPerInch, 4);
    EXPECT_NEAR(run2, 50 * dpi / kMmPerInch, 2);
}

class PrintToPdfTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        AddLine(10, 50, 110, 50);              // 100 mm across page 1
        AddLine(20, 297 + 100, 20, 297 + 200); // 100 mm down page 2
        Form->PageAnz->setValue(2);
    }
    static int PdfPages(const QByteArray& pdf) {
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
        return static_cast<int>(QString::fromLatin1(pdf).count(page));
    }
};

TEST_F(PrintToPdfTest, EveryPageOnItsOwnA4SheetWithoutInstruments) {
    int instrumentCalls = 0;
    Form->InstrumentPictures.Ruler = [&](TCanvas&, const TPageView&) { ++instrumentCalls; };
    const QString pdf = Path("all.pdf");
    AnswerPrintTo(pdf);
    Form->Drucken1->trigger();
    EXPECT_TRUE(Fake->Errors.isEmpty()) << Fake->Errors.join(QLatin1Char('\n')).toStdString();
    const QByteArray bytes = ReadAll(pdf);
    ASSERT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(PdfPages(bytes), 2);
    // A4 in points: 595.28 x 841.89.
    static const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)"));
    const auto match = box.match(QString::fromLatin1(bytes));
    ASSERT_TRUE(match.hasMatch());
    EXPECT_NEAR(match.captured(1).toDouble(), 595.28, 0.5);
    EXPECT_NEAR(match.captured(2).toDouble(), 841.89, 0.5);
    EXPECT_EQ(instrumentCalls, 0);

    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty()) GTEST_SKIP() << "no Ghostscript to measure the printed line";
    // At 254 dots per inch a millimetre is (almost exactly) 10 dots.
    const QString png = Path("page%d.png");
    QProcess process;
    process.start(gs, {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                       QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=pnggray"),
                       QStringLiteral("-r254"), QStringLiteral("-sOutputFile=") + png, pdf});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage first(Path("page1.png"));
    const QImage second(Path("page2.png"));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_FALSE(QFile::exists(Path("page3.png")));
    EXPECT_NEAR(first.width(), 2100, 1);
    EXPECT_NEAR(first.height(), 2970, 1);
    const auto [row, run] = LongestDarkRow(first);
    EXPECT_NEAR(run, 1000, 3) << "100 mm on paper";
    EXPECT_NEAR(row, 500, 3);
    // Page 2 holds only the vertical line, 100 mm long.
    const QImage turned = second.transformed(QTransform().rotate(90));
    EXPECT_NEAR(LongestDarkRow(turned).second, 1000, 3);
    EXPECT_LE(LongestDarkRow(second).second, 5);
}

TEST_F(PrintToPdfTest, ChosenRangeAndFailures) {
    const QString pdf = Path("second.pdf");
    AnswerPrintTo(pdf, 2, 2);
    Form->Drucken1Click();
    EXPECT_EQ(PdfPages(ReadAll(pdf)), 1);
    EXPECT_TRUE(Fake->Errors.isEmpty());

    // Cancelled: nothing printed.
    const QString none = Path("none.pdf");
    Answer<QPrintDialog>([&](QPrintDialog& d) {
        d.printer()->setOutputFormat(QPrinter::PdfFormat);
        d.printer()->setOutputFileName(none);
        return int(QDialog::Rejected);
    });
    Form->Drucken1Click();
    EXPECT_FALSE(QFile::exists(none));

    // A file that cannot be written is reported, never taken for success.
    const QString bad = Path("no-such-folder/out.pdf");
    AnswerPrintTo(bad);
    Form->Drucken1Click();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("out.pdf")));
}

TEST_F(PrintToPdfTest, PaperFollowsThePageUntilTheUserChoseOne) {
    Answer<ui::TSeiteEinrichtenForm>([](ui::TSeiteEinrichtenForm& f) {
        f.BitBtnXP5->click(); // A3 across
        return int(QDialog::Accepted);
    });
    Form->DateiSeiteeinrichten1Click();
    AnswerPrintTo(Path("a3.pdf"));
    Form->Drucken1Click();
    const QRectF paper = Form->Printer().pageLayout().fullRect(QPageLayout::Millimeter);
    EXPECT_NEAR(paper.width(), 420, 0.5);
    EXPECT_NEAR(paper.height(), 297, 0.5);

    Form->PrinterSetUpByUser = true;
    Form->Printer().setPageSize(QPageSize(QPageSize::Letter));
    Form->Printer().setPageOrientation(QPageLayout::Portrait);
    AnswerPrintTo(Path("letter.pdf"));
    Form->Drucken1Click();
    EXPECT_NEAR(Form->Printer().pageLayout().fullRect(QPageLayout::Millimeter).width(), 215.9, 0.5);
}

// ---------------------------------------------------------------- bitmap

TEST_F(OutputTest, BitmapExportAtTheChosenResolution) {
    AddLine(10, 50, 110, 50);
    const QString path = Path("page.bmp");
    AnswerDpi(150, 1);
    Fake->SaveNames.push_back(path);
    Form->AlsBildexportieren1->trigger();
    EXPECT_EQ(ModalRuns, 1);
    EXPECT_EQ(Fake->LastSpec.DefaultSuffix, QStringLiteral("bmp"));
    EXPECT_EQ(Fake->LastSpec.Filter,
              QStringLiteral("BMP-Dateien (*.bmp)|*.bmp|PNG-Dateien (*.png)|*.png"));
    EXPECT_TRUE(Fake->Errors.isEmpty());

    ASSERT_TRUE(ReadAll(path).startsWith("BM"));
    const QImage image(path, "BMP");
    ASSERT_FALSE(image.isNull());
    // round(150 x 210 / 25.39995) x round(150 x 297 / 25.39995)
    EXPECT_EQ(image.size(), QSize(1240, 1754));
    EXPECT_NEAR(image.dotsPerMeterX(), 150 / 0.0254, 1);
    // As on paper: the sheet's edge is the page's edge, no frame is drawn.
    EXPECT_FALSE(Dark(image.pixel(0, 0)));
    EXPECT_FALSE(Dark(image.pixel(1239, 1753)));
    EXPECT_FALSE(Dark(image.pixel(600, 900)));
    int start = 0;
    const int y = RoundHalfEven(50 * 150 / kMmPerInch);
    EXPECT_NEAR(DarkRun(image, y, &start), 591, 1);
    EXPECT_NEAR(start, 59, 1);
    EXPECT_TRUE(&Form->DPIForm() == Form->DPIForm1) << "the dialog is kept";
}

TEST_F(OutputTest, BitmapExportOfALaterPage) {
    AddLine(10, 297 + 20, 60, 297 + 20);
    Form->PageAnz->setValue(2);
    const QString path = Path("second.bmp");
    AnswerDpi(100, 2);
    Fake->SaveNames.push_back(path);
    Form->AlsBildexportieren1Click();
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    const auto [row, run] = LongestDarkRow(image, 5, image.height() - 5);
    EXPECT_NEAR(row, 20 * 100 / kMmPerInch, 1);
    EXPECT_NEAR(run, 50 * 100 / kMmPerInch, 2);
}

TEST_F(OutputTest, BitmapExportRefusesMissingPagesAndHugePictures) {
    AnswerDpi(150, 2); // a one-page drawing
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("2")));
    EXPECT_EQ(Fake->SaveDialogs, 0) << "asked before choosing a file";

    // A page of 300 inches at 4000 dpi is wider than the canvas can draw.
    Form->PageWidthInch = 300;
    AnswerDpi(4000, 1);
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Errors.size(), 2);
    EXPECT_TRUE(Fake->Errors[1].contains(QStringLiteral("1200000"))) << Fake->Errors[1].toStdString();
    EXPECT_EQ(Fake->SaveDialogs, 0);
    Form->PageWidthInch = 210 / kMmPerInch;

    AnswerDpi(150, 1);
    Form->AlsBildexportieren1Click(); // the save dialog cancelled
    EXPECT_EQ(Fake->SaveDialogs, 1);
    EXPECT_EQ(Fake->Errors.size(), 2);
}

std::uint32_t Field32(const std::array<std::uint8_t, output::kBmpHeaderBytes>& h, int at) {
    return h[at] | h[at + 1] << 8 | h[at + 2] << 16 | std::uint32_t(h[at + 3]) << 24;
}

TEST(BitmapLimits, SizesAndHeaderFields) {
    const TPixelSize a4 = output::BitmapPageSize(150, 210 / kMmPerInch, 297 / kMmPerInch);
    EXPECT_EQ(a4.Width, 1240);
    EXPECT_EQ(a4.Height, 1754);
    EXPECT_TRUE(output::FitsBmp(a4));
    auto h = output::BmpHeader(a4, 150);
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[1], 'M');
    EXPECT_EQ(Field32(h, 2), 54 + 3720 * 1754); // rows of 1240 x 3 bytes, already a multiple of 4
    EXPECT_EQ(Field32(h, 10), 54);
    EXPECT_EQ(Field32(h, 18), 1240);
    EXPECT_EQ(Field32(h, 22), 1754);
    EXPECT_EQ(Field32(h, 34), 3720 * 1754);
    EXPECT_EQ(Field32(h, 38), 5906); // 150 dots an inch in dots a metre

    // A4 at 4000 dpi: 33071 x 46772 pixels, 4.6 GB, beyond the 32-bit size
    // fields, which are then 0; width and height are still exact.
    const TPixelSize huge = output::BitmapPageSize(4000, 210 / kMmPerInch, 297 / kMmPerInch);
    EXPECT_EQ(huge.Width, 33071);
    EXPECT_EQ(huge.Height, 46772);
    EXPECT_TRUE(output::FitsBmp(huge));
    EXPECT_EQ(output::BmpFileBytes(huge), 54 + 99216LL * 46772);
    h = output::BmpHeader(huge, 4000);
    EXPECT_EQ(Field32(h, 2), 0U);
    EXPECT_EQ(Field32(h, 34), 0U);
    EXPECT_EQ(Field32(h, 18), 33071U);
    EXPECT_EQ(Field32(h, 22), 46772U);
    // At the edge: rows of 65532 bytes, 54 header bytes, at most 2^32 - 1 in all.
    EXPECT_EQ(Field32(output::BmpHeader({21844, 65539}, 100), 2), 4294901802U);
    EXPECT_EQ(Field32(output::BmpHeader({21844, 65540}, 100), 2), 0U);

    EXPECT_FALSE(output::FitsBmp({0, 10}));
    EXPECT_FALSE(output::FitsBmp({10, -1}));
    EXPECT_TRUE(output::FitsBmp({kMaxCoordPx, kMaxCoordPx}));
    EXPECT_FALSE(output::FitsBmp({kMaxCoordPx + 1, 10}));
    EXPECT_EQ(output::BandRows(1000, 1 << 20), 1048);
    EXPECT_EQ(output::BandRows(5000, 10), 1);
}

TEST_F(OutputTest, BitmapWithoutSizeFieldsIsReadByItsDimensions) {
    // What a picture beyond 4 GiB looks like to a reader, on a small scale:
    // the same file with both size fields 0 reads back the same.
    AddLine(10, 20, 110, 20);
    output::TBitmapJob job;
    job.Dpi = 50;
    job.PageWidthInch = Form->PageWidthInch;
    job.PageHeightInch = Form->PageHeightInch;
    const QString path = Path("sized.bmp");
    QString error;
    ASSERT_TRUE(output::WritePageBmp(path, *Form->Drawing, job, error)) << error.toStdString();
    QByteArray bytes = ReadAll(path);
    ASSERT_EQ(bytes.size(), output::BmpFileBytes(output::BitmapPageSize(50, job.PageWidthInch,
                                                                job.PageHeightInch)));
    for (int at : {2, 3, 4, 5, 34, 35, 36, 37})
        bytes[at] = 0;
    QImage unsized;
    ASSERT_TRUE(unsized.loadFromData(bytes, "BMP"));
    EXPECT_EQ(unsized.convertToFormat(QImage::Format_RGB32),
              QImage(path).convertToFormat(QImage::Format_RGB32));
    EXPECT_GT(DarkPixels(unsized, unsized.rect()), 50);
}

TEST_F(OutputTest, BitmapLargerThanTheFreeDiskIsRefusedAtOnce) {
    // 2^20 x 2^20 pixels would take 3.3 TB.
    output::TBitmapJob job;
    job.Dpi = 4000;
    job.PageWidthInch = job.PageHeightInch = (1 << 20) / 4000.0;
    const QString path = Path("terabytes.bmp");
    QString error;
    EXPECT_FALSE(output::WritePageBmp(path, *Form->Drawing, job, error));
    EXPECT_TRUE(error.contains(QStringLiteral("3298535 MB"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(Dir.Path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(), 0)
        << "no temporary file left behind";
}

TEST_F(OutputTest, BitmapBandsJoinWithoutSeams) {
    // Shapes that cross many band edges, and a text.
    AddLine(5, 5, 200, 290);
    AddLine(200, 5, 5, 290);
    TDrawObject* circle = Form->Drawing->Objects.Append();
    circle->Kind = okEllipse;
    circle->Width = 0.5;
    circle->X1 = 40;
    circle->Y1 = 60;
    circle->X2 = 160;
    circle->Y2 = 180;
    TTextObject* text = Form->Drawing->AppendText(u"Bänder\r\nohne Naht", "DejaVu Sans");
    text->Size = 14;
    text->Left = 30;
    text->Top = 100;

    output::TBitmapJob job;
    job.Dpi = 72;
    job.PageWidthInch = Form->PageWidthInch;
    job.PageHeightInch = Form->PageHeightInch;
    const TPixelSize size = output::BitmapPageSize(job.Dpi, job.PageWidthInch, job.PageHeightInch);
    const QString path = Path("bands.bmp");
    QString error;
    // 37 rows a band: the last band is a short one.
    ASSERT_TRUE(output::WritePageBmp(path, *Form->Drawing, job, error, 37LL * size.Width))
        << error.toStdString();

    // The same page painted in one piece onto white paper.
    QImage whole(size.Width, size.Height, QImage::Format_RGB32);
    whole.fill(Qt::white);
    {
        QPainter painter(&whole);
        output::TPageOutput page;
        page.PageWidthInch = job.PageWidthInch;
        page.PageHeightInch = job.PageHeightInch;
        output::PaintPrintPage(painter, *Form->Drawing, 0, job.Dpi, job.Dpi, page);
    }
    const QImage banded(path);
    ASSERT_EQ(banded.size(), whole.size());
    // Qt clips a line that starts outside the band before rasterising it, so
    // a slanted line may step one pixel earlier or later than in one piece;
    // anything more (a gap or a shifted band) is a seam.
    const QImage a = banded.convertToFormat(QImage::Format_RGB32);
    const QImage b = whole.convertToFormat(QImage::Format_RGB32);
    const auto nearby = [](const QImage& image, int x, int y, QRgb colour) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (image.valid(x + dx, y + dy) && image.pixel(x + dx, y + dy) == colour)
                    return true;
        return false;
    };
    int differing = 0, unmatched = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++differing;
                if (!nearby(b, x, y, a.pixel(x, y)) || !nearby(a, x, y, b.pixel(x, y))) ++unmatched;
            }
    EXPECT_EQ(unmatched, 0);
    EXPECT_LT(differing, 100);
    EXPECT_GT(DarkPixels(banded, banded.rect()), 1000);
}

TEST_F(OutputTest, TextsKeepTheirSizeOnPaperAndInPictures) {
    TTextObject* text = Form->Drawing->AppendText(u"Maßstab", "DejaVu Sans");
    text->Size = 24;
    text->Left = 20;
    text->Top = 30;
    // The measured extent in millimetres, written back by every render.
    const auto heightMm = [&] { return text->Bottom - text->Top; };
    output::TBitmapJob job;
    job.PageWidthInch = Form->PageWidthInch;
    job.PageHeightInch = Form->PageHeightInch;
    job.ScreenDpi = 96;
    QString error;
    job.Dpi = 96; // the screen itself: 24 pixels of em height
    ASSERT_TRUE(output::WritePageBmp(Path("96.bmp"), *Form->Drawing, job, error));
    const double onScreen = heightMm();
    EXPECT_GT(onScreen, 24 * 0.8 / 96 * kMmPerInch);
    job.Dpi = 600;
    ASSERT_TRUE(output::WritePageBmp(Path("600.bmp"), *Form->Drawing, job, error));
    EXPECT_NEAR(heightMm(), onScreen, onScreen * 0.06);

    output::TPrintJob print;
    print.PageWidthInch = Form->PageWidthInch;
    print.PageHeightInch = Form->PageHeightInch;
    print.ScreenDpi = 96;
    QImage sheet(100, 100, QImage::Format_RGB32);
    QPainter painter(&sheet);
    output::PaintPrintPage(painter, *Form->Drawing, 0, 1200, 1200, print);
    EXPECT_NEAR(heightMm(), onScreen, onScreen * 0.06);
}

TEST_F(OutputTest, BitmapWriteFailureKeepsTheOldFile) {
    const QString missing = Path("no-such-folder/x.bmp");
    EXPECT_FALSE(Form->ExportPageBitmap(missing, 0, 50));
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QDir::toNativeSeparators(missing)));

    const QString kept = Path("kept.bmp");
    WriteText(kept, "old");
    TUnwritableDir locked(Dir.Path());
    if (!locked.Effective()) GTEST_SKIP() << "cannot make a folder unwritable here";
    EXPECT_FALSE(Form->ExportPageBitmap(kept, 0, 50));
    EXPECT_EQ(Fake->Errors.size(), 2);
    EXPECT_EQ(ReadAll(kept), QByteArray("old"));
}

// A stored page count of 2^31 or more opens as ten pages, and the window's
// DXF puts a line 50 mm below the top of page 1 at 10 x 297 - 50, as the
// command line does.
TEST_F(OutputTest, HugePageCountsOpenAsTenPages) {
    TDrawing drawing;
    TDrawObject* o = drawing.Objects.Append();
    o->Kind = okLine;
    o->X1 = 50;
    o->Y1 = 50;
    o->X2 = 150;
    o->Y2 = 50;
    for (const double count : {2147483648.0, 1e300}) {
        SCOPED_TRACE(count);
        TDrawingSettings settings;
        settings.PageCount = count;
        const QString path = Path("many.qrd");
        std::string error;
        ASSERT_TRUE(WriteFileAtomically(path.toStdString(), SaveDrawing(drawing, settings), error));
        Form->PageAnz->setValue(1);
        Form->SetUnChanged();
        ASSERT_TRUE(Form->OpenFileFromPath(path));
        EXPECT_EQ(Form->PageAnz->value(), 10);
        const QString dxf = Path("many.dxf");
        ASSERT_TRUE(Form->savedxfArc(dxf));
        EXPECT_TRUE(ReadAll(dxf).contains("\r\n20\r\n2920\r\n")) << ReadAll(dxf).toStdString();
        EXPECT_TRUE(Fake->Errors.isEmpty());
    }
}

// The window's picture export refuses a named pipe, says so naming the
// file, and leaves the pipe in place.
TEST_F(OutputTest, BitmapExportRefusesAPipe) {
    AddLine();
    const QString fifo = Path("pipe.bmp");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(Form->ExportPageBitmap(fifo, 0, 20));
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("pipe.bmp")));
    EXPECT_TRUE(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    EXPECT_EQ(QDir(QString::fromStdString(Dir.Path().string()))
                  .entryList(QDir::Files | QDir::System | QDir::Hidden)
                  .filter(QStringLiteral("pipe"))
                  .size(),
              1);
}

} // namespace
} // namespace quirindo::test

// ---------------------------------------------------------------- PDF, SVG, PNG from the menu

namespace quirindo::test {
namespace {

QString PdfText(const QString& pdf, int page) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                   QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const QByteArray& pdf) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

bool HavePoppler() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty();
}

// Page `page` of the PDF drawn at 254 dpi (10 pixels a millimetre).
QImage PdfPageImage(const QString& pdf, int page, const QString& prefix) {
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("254"), QStringLiteral("-f"),
                   QString::number(page), QStringLiteral("-l"), QString::number(page),
                   QStringLiteral("-gray"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                   pdf, prefix});
    process.waitForFinished(60000);
    return QImage(prefix + QStringLiteral(".png"));
}

class MenuExportTest : public OutputTest {
protected:
    void SetUp() override {
        OutputTest::SetUp();
        AddLine(10, 50, 110, 50);
        AddLine(30, 297 + 100, 30, 297 + 200);
        for (const auto& [text, top] : {std::pair{u"Seite eins", 80.0}, {u"Seite zwei", 297 + 80.0}}) {
            TTextObject* t = Form->Drawing->AppendText(text, "DejaVu Sans");
            t->Size = 12;
            t->Left = 20;
            t->Top = top;
        }
        Form->PageAnz->setValue(2);
    }
};

TEST_F(MenuExportTest, PictureTypeFollowsTheNameAndAllPagesGetNumberedFiles) {
    for (const auto& [name, signature] :
         {std::pair{"pic.png", QByteArray("\x89PNG\r\n\x1a\n")}, {"pic.bmp", QByteArray("BM")}}) {
        AnswerDpi(50, 1);
        Fake->SaveNames.push_back(Path(name));
        Form->AlsBildexportieren1Click();
        EXPECT_TRUE(ReadAll(Path(name)).startsWith(signature)) << name;
    }
    // A name that is neither: said so, nothing written.
    AnswerDpi(50, 1);
    Fake->SaveNames.push_back(Path("pic.jpg"));
    Form->AlsBildexportieren1Click();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("pic.jpg")));
    EXPECT_FALSE(QFile::exists(Path("pic.jpg")));

    // Every page at once: plan-1.png and plan-2.png, each its own page.
    const auto allPages = [this] {
        Answer<ui::TDPIForm>([](ui::TDPIForm& f) {
            f.DPIED->setValue(100);
            f.AlleSeitenCheck->setChecked(true);
            return int(QDialog::Accepted);
        });
    };
    allPages();
    Fake->SaveNames.push_back(Path("plan.png"));
    Form->AlsBildexportieren1Click();
    EXPECT_FALSE(QFile::exists(Path("plan.png")));
    const QImage first(Path("plan-1.png"));
    const QImage second(Path("plan-2.png"));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_NEAR(LongestDarkRow(first).first, 50 * 100 / kMmPerInch, 2) << "the horizontal line";
    EXPECT_LE(LongestDarkRow(second).second, 60) << "page 2 has only the vertical line and text";

    // Asked again: one of the numbered files is there already.
    allPages();
    Fake->SaveNames.push_back(Path("plan.png"));
    Fake->Answers = {ui::TAnswer::Cancel};
    const QByteArray before = ReadAll(Path("plan-2.png"));
    Form->AlsBildexportieren1Click();
    EXPECT_TRUE(Fake->Answers.empty()) << "the question was asked";
    EXPECT_EQ(ReadAll(Path("plan-2.png")), before);
}

TEST_F(MenuExportTest, PdfAndSvgFromTheFileMenu) {
    EXPECT_EQ(Form->Datei1->actions().indexOf(Form->AlsPDFexportieren1),
              Form->Datei1->actions().indexOf(Form->AlsDXFDateiexportieren1) + 1);
    Fake->SaveNames.push_back(Path("plan.pdf"));
    Form->AlsPDFexportieren1->trigger();
    EXPECT_EQ(Fake->LastSpec.DefaultSuffix, QStringLiteral("pdf"));
    ASSERT_TRUE(ReadAll(Path("plan.pdf")).startsWith("%PDF"));
    EXPECT_TRUE(Fake->Errors.isEmpty());

    // Two pages give two SVG files, each with its own page's text.
    Fake->SaveNames.push_back(Path("plan.svg"));
    Form->AlsSVGexportieren1->trigger();
    EXPECT_EQ(Fake->LastSpec.DefaultSuffix, QStringLiteral("svg"));
    const QString one = QString::fromUtf8(ReadAll(Path("plan-1.svg")));
    const QString two = QString::fromUtf8(ReadAll(Path("plan-2.svg")));
    EXPECT_TRUE(one.contains(QStringLiteral("Seite eins")));
    EXPECT_FALSE(one.contains(QStringLiteral("Seite zwei")));
    EXPECT_TRUE(two.contains(QStringLiteral("Seite zwei")));
    EXPECT_TRUE(one.contains(QStringLiteral("width=\"210mm\"")));

    if (!HavePoppler()) GTEST_SKIP() << "no poppler-utils";
    EXPECT_TRUE(PdfText(Path("plan.pdf"), 1).contains(QStringLiteral("Seite eins")));
    EXPECT_TRUE(PdfText(Path("plan.pdf"), 2).contains(QStringLiteral("Seite zwei")));
}

// An A3 drawing on A4 paper with 10 mm margins: the user is asked, and the
// page is either shrunk into the printable area or printed at 100 % and cut.
TEST_F(MenuExportTest, PrintOnSmallerPaperFitsOrClipsAsTheUserChooses) {
    if (!HavePoppler()) GTEST_SKIP() << "no poppler-utils";
    Answer<ui::TSeiteEinrichtenForm>([](ui::TSeiteEinrichtenForm& f) {
        f.BitBtnXP4->click(); // A3 upright
        return int(QDialog::Accepted);
    });
    Form->DateiSeiteeinrichten1Click();
    ASSERT_NEAR(Form->PageHeightInch * kMmPerInch, 420, 0.5);
    Form->PrinterSetUpByUser = true;
    QPrinter& printer = Form->Printer();
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    AddLine(150, 300, 250, 300); // beyond A4's printable width at 100 %

    Fake->Answers = {ui::TAnswer::Yes};
    AnswerPrintTo(Path("fit.pdf"));
    Form->Drucken1Click();
    ASSERT_TRUE(Fake->Errors.isEmpty()) << Fake->Errors.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(Fake->Answers.empty()) << "asked about the paper";
    // The width limits: 190 / 297 < 277 / 420; the page is centred up and down.
    const double scale = 190.0 / 297.0;
    const QImage fit = PdfPageImage(Path("fit.pdf"), 1, Path("fit"));
    ASSERT_FALSE(fit.isNull());
    EXPECT_NEAR(fit.width(), 2100, 2);
    EXPECT_NEAR(LongestDarkRow(fit).second, 1000 * scale, 4) << "100 mm shrunk to fit";
    // The whole page is on the paper: the far line, shrunk, ends inside it.
    int start = 0;
    const int y = qRound((10 + (277 - 420 * scale) / 2 + 300 * scale) * 10);
    const auto [farRow, farRun] = LongestDarkRow(fit, y - 4, y + 5);
    EXPECT_NEAR(farRun, 1000 * scale, 6);
    (void)DarkRun(fit, farRow, &start);
    EXPECT_NEAR(start, (10 + 150 * scale) * 10, 6);

    Fake->Answers = {ui::TAnswer::No};
    AnswerPrintTo(Path("clip.pdf"));
    Form->Drucken1Click();
    const QImage clip = PdfPageImage(Path("clip.pdf"), 1, Path("clip"));
    ASSERT_FALSE(clip.isNull());
    // True size from the margin's corner: the line at 50 mm lies at 60 mm.
    const auto [row, run] = LongestDarkRow(clip);
    EXPECT_NEAR(row, 600, 3);
    EXPECT_NEAR(run, 1000, 3);
    EXPECT_EQ(DarkPixels(clip, QRect(2000, 0, 100, 2970)), 0) << "nothing in the right margin";

    Fake->Answers = {ui::TAnswer::Cancel};
    AnswerPrintTo(Path("none.pdf"));
    Form->Drucken1Click();
    EXPECT_FALSE(QFile::exists(Path("none.pdf")));
}

TEST_F(MenuExportTest, CopiesAndReverseOrderHonouredAndNoRangeLeftOver) {
    if (!HavePoppler()) GTEST_SKIP() << "no poppler-utils";
    Answer<QPrintDialog>([this](QPrintDialog& d) {
        d.printer()->setOutputFormat(QPrinter::PdfFormat);
        d.printer()->setOutputFileName(Path("copies.pdf"));
        d.printer()->setCopyCount(2);
        d.printer()->setPageOrder(QPrinter::LastPageFirst);
        return int(QDialog::Accepted);
    });
    Form->Drucken1Click();
    const QString pdf = Path("copies.pdf");
    QStringList order;
    for (int page = 1; page <= 4; ++page)
        order << (PdfText(pdf, page).contains(QStringLiteral("eins")) ? QStringLiteral("1")
                                                                      : QStringLiteral("2"));
    EXPECT_EQ(order, (QStringList{"2", "1", "2", "1"}));
    EXPECT_TRUE(PdfText(pdf, 5).isEmpty());
    EXPECT_EQ(Form->Printer().copyCount(), 2) << "the dialog shows the choice again";

    // A range chosen once is gone at the next print.
    Form->Printer().setCopyCount(1);
    Form->Printer().setPageOrder(QPrinter::FirstPageFirst);
    AnswerPrintTo(Path("range.pdf"), 2, 2);
    Form->Drucken1Click();
    EXPECT_EQ(PdfPageCount(ReadAll(Path("range.pdf"))), 1);
    int rangeSeen = -1;
    Answer<QPrintDialog>([&](QPrintDialog& d) {
        rangeSeen = d.printer()->printRange();
        d.printer()->setOutputFormat(QPrinter::PdfFormat);
        d.printer()->setOutputFileName(Path("all.pdf"));
        return int(QDialog::Accepted);
    });
    Form->Drucken1Click();
    EXPECT_EQ(rangeSeen, int(QPrinter::AllPages));
    EXPECT_EQ(PdfPageCount(ReadAll(Path("all.pdf"))), 2);
}

TEST_F(MenuExportTest, PreviewShowsEveryPageThroughThePrintLoop) {
    int previewPages = -1;
    Answer<QPrintPreviewDialog>([&](QPrintPreviewDialog& d) {
        auto* widget = d.findChild<QPrintPreviewWidget*>();
        if (widget) {
            widget->updatePreview();
            previewPages = widget->pageCount();
        }
        return int(QDialog::Rejected);
    });
    Form->Druckvorschau1->trigger();
    EXPECT_EQ(previewPages, 2);
    EXPECT_TRUE(Fake->Errors.isEmpty());
}

} // namespace
} // namespace quirindo::test
