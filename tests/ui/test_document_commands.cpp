// New, open, save, save as and close through the window's real handlers,
// with every question and dialog answered by the test.

#include "ByteStream.h"
#include "DrawingFile.h"
#include "FileIO.h"
#include "MainFormFixture.h"
#include "SpinEdits.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <cstring>
#include <fstream>

namespace quirindo::test {
namespace {

const QString kTitle = QStringLiteral("TAVREN Quirindo 1.0");

std::vector<std::uint8_t> ReadBytes(const QString& path) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadWholeFile(path.toStdString(), bytes, error)) << error;
    return bytes;
}

void WriteBytes(const QString& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path.toStdString(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

double DoubleAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    TByteReader r(std::span<const std::uint8_t>(bytes).subspan(offset));
    return r.ReadDouble();
}

} // namespace

TEST(ProgramDir, EndsInExactlyOneSeparator) {
    EXPECT_EQ(ui::WithTrailingSeparator(QStringLiteral("/usr/bin")), QStringLiteral("/usr/bin/"));
    EXPECT_EQ(ui::WithTrailingSeparator(QStringLiteral("/usr/bin/")), QStringLiteral("/usr/bin/"));
}

TEST_F(MainFormTest, StartsWithDefaultsAndProgramDir) {
    EXPECT_EQ(Form->ProgramDir,
              QString::fromStdString((Dir.Path() / "program").string()) + QLatin1Char('/'));
    EXPECT_EQ(Form->Instruments.LinX, 10.0);
    EXPECT_EQ(Form->Instruments.LinY, 90.0);
    EXPECT_EQ(Form->Instruments.WinkD, 80.0);
    EXPECT_EQ(Form->Instruments.ZirkW, 45.0);
    EXPECT_EQ(Form->Instruments.ZirkS, 40.0);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch * kMmPerInch, 210.0);
    EXPECT_DOUBLE_EQ(Form->PageHeightInch * kMmPerInch, 297.0);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    // The panel mirrors the instruments from the start.
    EXPECT_EQ(Form->LinXEd->value(), 10.0);
    EXPECT_EQ(Form->ZirksEd->value(), 40.0);
}

TEST_F(MainFormTest, CaptionFollowsChangesAndSaves) {
    EXPECT_EQ(Form->windowTitle(), kTitle + QStringLiteral(" - [unbenannt.qrd]"));
    AddLine();
    EXPECT_EQ(Form->windowTitle(), kTitle + QStringLiteral(" - [unbenannt.qrd*]"));

    const QString path = Path("a.qrd");
    Fake->SaveNames.push_back(path);
    Form->Speichern1Click();
    EXPECT_FALSE(Form->Changed);
    EXPECT_EQ(Form->windowTitle(), kTitle + QStringLiteral(" - [") + path + QStringLiteral("]"));

    AddLine();
    EXPECT_EQ(Form->windowTitle(), kTitle + QStringLiteral(" - [") + path + QStringLiteral("*]"));
    Form->Speichern1Click(); // named: no dialog this time
    EXPECT_EQ(Fake->SaveDialogs, 1);
    EXPECT_FALSE(Form->Changed);

    // Showing the window again does nothing more.
    Form->TitleText = QStringLiteral("x");
    Form->FormShow();
    EXPECT_EQ(Form->TitleText, QStringLiteral("x"));
}

TEST_F(MainFormTest, SaveRightAfterStartWritesTheEmptyDrawing) {
    const QString path = Path("empty.qrd");
    Fake->SaveNames.push_back(path);
    ASSERT_TRUE(Form->SaveFile());
    const auto bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 136u);
    // The trailer starts after the two counts: instruments, zoom, line width.
    EXPECT_EQ(DoubleAt(bytes, 8 + 9 * 8), 100.0);
    EXPECT_EQ(DoubleAt(bytes, 8 + 10 * 8), 0.1);
    EXPECT_EQ(bytes[8 + 92], 0);
    EXPECT_EQ(bytes[8 + 93], 1);
    EXPECT_EQ(DoubleAt(bytes, 104), 2.0);
    EXPECT_EQ(DoubleAt(bytes, 128), 1.0);
    EXPECT_EQ(Fake->LastSpec.DefaultSuffix, QStringLiteral("qrd"));
    EXPECT_EQ(Fake->LastSpec.Filter, QStringLiteral("Zeichnungen (*.qrd)|*.qrd"));
}

TEST_F(MainFormTest, NewAsksAboutUnsavedChanges) {
    AddLine();
    Form->Instruments.LinX = 33.0;
    Form->zoomed->setValue(150);

    // Yes, then the save dialog is cancelled: nothing is cleared.
    Fake->Answers.push_back(ui::TAnswer::Yes);
    Form->Neu1Click();
    ASSERT_EQ(Fake->Questions.size(), 1);
    EXPECT_EQ(Fake->Questions[0],
              QStringLiteral("Speichern|Die Datei ist noch nicht gespeichert. Wollen Sie jetzt "
                             "speichern?"));
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral("*]")));

    // Cancel keeps everything too.
    Fake->Answers.push_back(ui::TAnswer::Cancel);
    Form->Neu1Click();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);

    // No clears the drawing but keeps instruments and view settings.
    Fake->Answers.push_back(ui::TAnswer::No);
    Form->Neu1Click();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    EXPECT_FALSE(Form->Changed);
    EXPECT_EQ(Form->Instruments.LinX, 33.0);
    EXPECT_EQ(Form->zoomed->value(), 150);

    // Unchanged: no question at all.
    Form->Neu1Click();
    EXPECT_EQ(Fake->Questions.size(), 3);
}

TEST_F(MainFormTest, NewWithYesSavesThenClears) {
    AddLine();
    const QString path = Path("saved.qrd");
    Fake->Answers.push_back(ui::TAnswer::Yes);
    Fake->SaveNames.push_back(path);
    Form->Neu1Click();
    EXPECT_EQ(Form->Drawing->Objects.Count(), 0);
    EXPECT_TRUE(Form->FileName.isEmpty());
    EXPECT_EQ(ReadBytes(path).size(), 136u + 88u);
}

TEST_F(MainFormTest, ClosingAsksAndStaysOpenWhenTheSaveFails) {
    Form->show();
    AddLine();
    Fake->Answers.push_back(ui::TAnswer::Cancel);
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());

    // Yes on a named drawing whose file cannot be written: stays open.
    Form->FileName = QString::fromStdString((Dir.Path() / "missing-dir" / "x.qrd").string());
    Fake->Answers.push_back(ui::TAnswer::Yes);
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Form->Changed);
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors[0].contains(QStringLiteral("x.qrd")));

    Fake->Answers.push_back(ui::TAnswer::No);
    EXPECT_TRUE(Form->close());
}

// A save as that fails leaves the drawing under its previous name: the
// caption never names a file that was not written, and the next "Speichern"
// goes to the previous file instead of retrying the failed path.
TEST_F(MainFormTest, FailedSaveAsKeepsThePreviousNameAndCaption) {
    const QString good = Path("good.qrd");
    Fake->SaveNames.push_back(good);
    ASSERT_TRUE(Form->SaveFile());
    AddLine();
    const QString caption = Form->windowTitle();
    ASSERT_EQ(caption, kTitle + QStringLiteral(" - [") + good + QStringLiteral("*]"));

    const QString bad = QString::fromStdString((Dir.Path() / "no" / "such.qrd").string());
    Fake->SaveNames.push_back(bad);
    Form->Speichernunter1Click();
    EXPECT_EQ(Fake->Errors.size(), 1);
    EXPECT_EQ(Form->FileName, good);
    EXPECT_EQ(Form->windowTitle(), caption);
    EXPECT_TRUE(Form->Changed);

    Form->Speichern1Click();
    EXPECT_EQ(Fake->SaveDialogs, 2);
    EXPECT_EQ(Fake->Errors.size(), 1);
    EXPECT_FALSE(Form->Changed);
    TDrawing reopened;
    TDrawingSettings settings;
    std::string why;
    ASSERT_EQ(LoadDrawingFile(good.toStdString(), reopened, settings, why), TLoadResult::Ok);
    EXPECT_EQ(reopened.Objects.Count(), 1);
}

// The first save of an unnamed drawing that fails leaves it unnamed, so the
// next Ctrl+S asks for a name again.
TEST_F(MainFormTest, FailedFirstSaveAsksForANameAgain) {
    AddLine();
    const QString bad = QString::fromStdString((Dir.Path() / "no" / "such.qrd").string());
    Fake->SaveNames.push_back(bad);
    EXPECT_FALSE(Form->SaveFile());
    EXPECT_TRUE(Form->FileName.isEmpty());
    EXPECT_EQ(Form->windowTitle(), kTitle + QStringLiteral(" - [unbenannt.qrd*]"));
    Fake->SaveNames.push_back(Path("second.qrd"));
    EXPECT_TRUE(Form->SaveFile());
    EXPECT_EQ(Fake->SaveDialogs, 2);
    EXPECT_EQ(Form->FileName, Path("second.qrd"));
}

// Ctrl+S onto a file the user may not write leaves it as it was, names it
// in the message and keeps the "*"; a folder that takes no new files still
// lets the drawing's own writable file be saved.
TEST_F(MainFormTest, SavingRespectsWhatTheFileAndFolderAllow) {
    const QString path = Path("keep.qrd");
    AddLine();
    Fake->SaveNames.push_back(path);
    ASSERT_TRUE(Form->SaveFile());
    const auto before = ReadBytes(path);

    AddLine(1, 2, 3, 4);
    {
        TWriteProtectedFile locked(path.toStdString());
        if (!locked.Effective()) GTEST_SKIP() << "cannot write-protect a file here";
        Form->Speichern1Click();
        EXPECT_TRUE(Form->Changed);
        EXPECT_TRUE(Form->windowTitle().endsWith(QStringLiteral("*]")));
        ASSERT_EQ(Fake->Errors.size(), 1);
        EXPECT_TRUE(Fake->Errors.last().contains(QStringLiteral("keep.qrd")));
        EXPECT_EQ(ReadBytes(path), before);
    }
    {
        TUnwritableDir locked(Dir.Path());
        if (!locked.Effective()) GTEST_SKIP() << "cannot make a folder unwritable here";
        Form->Speichern1Click();
        EXPECT_FALSE(Form->Changed);
        EXPECT_EQ(Fake->Errors.size(), 1);
    }
    EXPECT_EQ(ReadBytes(path).size(), before.size() + 88u);
}

TEST_F(MainFormTest, OpenRestoresDrawingAndSettings) {
    // Build a file with another window's settings.
    TDrawing drawing;
    TDrawObject* o = drawing.Objects.Append();
    o->Kind = okEllipse;
    o->X1 = 1;
    o->Y2 = 2;
    TTextObject* t = drawing.AppendText(u"Hallo\r\nWelt", "Arial");
    t->Size = 12;
    TDrawingSettings s;
    s.LinX = 12.5;
    s.Zoom = 150;
    s.LineWidth = 0.25;
    s.PenColor = 0x000000FF;
    s.PanelShown = true;
    s.CompassVisible = false;
    s.EraserWidth = 3.5;
    s.PageCount = 3;
    s.PageWidthInch = 420 / kMmPerInch;
    const QString path = Path("in.qrd");
    WriteBytes(path, SaveDrawing(drawing, s));

    AddLine(); // an unsaved change: Open asks first
    Fake->Answers.push_back(ui::TAnswer::No);
    Fake->OpenNames.push_back(path);
    ASSERT_TRUE(Form->OpenFile());
    EXPECT_EQ(Fake->Questions.size(), 1);
    EXPECT_EQ(Form->FileName, path);
    EXPECT_FALSE(Form->Changed); // the page count change is not an edit here
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_EQ(Form->Drawing->Objects[0].Kind, okEllipse);
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    EXPECT_EQ(TextOf(Form->Drawing->Texts[0]), u"Hallo\r\nWelt");
    EXPECT_EQ(Form->Instruments.LinX, 12.5);
    EXPECT_EQ(Form->LinXEd->value(), 12.5);
    EXPECT_EQ(Form->zoomed->value(), 150);
    EXPECT_DOUBLE_EQ(Form->StrichEd->value(), 0.25);
    EXPECT_EQ(Form->PenColor(), 0x000000FF);
    EXPECT_TRUE(Form->LeistefrZahleneingabe1->isChecked());
    EXPECT_FALSE(Form->NumericPanel->isHidden());
    EXPECT_FALSE(Form->Zirkel2->isChecked());
    EXPECT_TRUE(Form->Lineal2->isChecked());
    EXPECT_DOUBLE_EQ(Form->RadierEd->value(), 3.5);
    EXPECT_EQ(Form->PageAnz->value(), 3);
    EXPECT_DOUBLE_EQ(Form->PageWidthInch, 420 / kMmPerInch);
}

TEST_F(MainFormTest, OpenWithoutTailKeepsPageSettingsAndClampsControls) {
    TDrawing drawing;
    TDrawingSettings s;
    s.Zoom = 1000;     // beyond the zoom box: pulled back to 300
    s.LineWidth = 500; // beyond 100
    auto bytes = SaveDrawing(drawing, s);
    bytes.resize(bytes.size() - kTailBytes);
    const QString path = Path("old.qrd");
    WriteBytes(path, bytes);

    Form->PageAnz->setValue(4);
    Form->RadierEd->setValue(7);
    ASSERT_TRUE(Form->OpenFileFromPath(path));
    EXPECT_EQ(Form->PageAnz->value(), 4);
    EXPECT_DOUBLE_EQ(Form->RadierEd->value(), 7.0);
    EXPECT_EQ(Form->zoomed->value(), 300);
    EXPECT_DOUBLE_EQ(Form->StrichEd->value(), 100.0);
    EXPECT_FALSE(Form->Changed);
}

TEST_F(MainFormTest, DamagedOrMissingFilesLeaveTheDrawingAlone) {
    AddLine(5, 6, 7, 8);
    const QString ownName = Path("mine.qrd");
    Form->FileName = ownName;
    Form->SetChanged();
    const QString caption = Form->windowTitle();

    TDrawing one;
    one.Objects.Append();
    const auto good = SaveDrawing(one, TDrawingSettings{});
    std::vector<std::vector<std::uint8_t>> damaged = {
        {},                                                         // empty file
        {0xFF, 0xFF, 0xFF, 0xFF},                                   // negative count
        {0xFF, 0xFF, 0xFF, 0x7F},                                   // absurd count
        std::vector<std::uint8_t>(good.begin(), good.begin() + 50), // inside a record
        std::vector<std::uint8_t>(good.begin(), good.end() - 40),   // inside the trailer
    };
    int n = 0;
    for (const auto& bytes : damaged) {
        const QString path = Path(("bad" + std::to_string(n++) + ".qrd").c_str());
        WriteBytes(path, bytes);
        EXPECT_FALSE(Form->OpenFileFromPath(path));
        EXPECT_TRUE(Fake->Errors.last().contains(QFileInfo(path).fileName()));
    }
    EXPECT_FALSE(Form->OpenFileFromPath(Path("does-not-exist.qrd")));
    EXPECT_TRUE(Fake->Errors.last().contains(QStringLiteral("does-not-exist.qrd")));
    EXPECT_EQ(Fake->Errors.size(), 6);

    ASSERT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_EQ(Form->Drawing->Objects[0].X1, 5.0);
    EXPECT_EQ(Form->FileName, ownName);
    EXPECT_TRUE(Form->Changed);
    EXPECT_EQ(Form->windowTitle(), caption);
}

TEST_F(MainFormTest, OpenCancelledChangesNothing) {
    AddLine();
    Fake->Answers.push_back(ui::TAnswer::Cancel);
    EXPECT_FALSE(Form->OpenFile());
    EXPECT_EQ(Fake->OpenDialogs, 0);
    Fake->Answers.push_back(ui::TAnswer::No);
    Fake->OpenNames.push_back(QString());
    EXPECT_FALSE(Form->OpenFile());
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);
    EXPECT_TRUE(Form->Changed);
}

TEST_F(MainFormTest, SavedDrawingReopensInAnotherWindow) {
    AddLine(1, 2, 3, 4);
    Form->Drawing->AppendText(u"Ω", "Caf\xE9");
    Form->Instruments.LinW = 33.25;
    Form->Shape1MouseDown(); // cancelled colour dialog keeps black
    Fake->Colors.push_back(0x00FF00);
    Form->FarbeBtnClick();
    EXPECT_EQ(Fake->LastColorPreset, 0);
    const QString path = Path("rt.qrd");
    Fake->SaveNames.push_back(path);
    ASSERT_TRUE(Form->SaveFile());

    ui::TMainForm other(QStringLiteral("/x/quirindo"));
    other.SetDialogs(std::make_unique<TFakeDialogs>());
    ASSERT_TRUE(other.OpenFileFromPath(path));
    EXPECT_EQ(other.Instruments.LinW, 33.25);
    EXPECT_EQ(other.PenColor(), 0x00FF00);
    ASSERT_EQ(other.Drawing->Texts.Count(), 1);
    EXPECT_EQ(FontNameOf(other.Drawing->Texts[0]), "Caf\xE9");
    EXPECT_EQ(other.Drawing->Objects[0].X2, 3.0);
}

} // namespace quirindo::test
