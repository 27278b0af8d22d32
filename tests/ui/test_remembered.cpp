// What the window remembers between runs (folder, recent drawings, ruler
// unit, window place) and where its file dialogs start. Every test runs
// with a config folder of its own (the test main sets XDG_CONFIG_HOME).

#include "MainFormFixture.h"


#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

namespace quirindo::test {
namespace {

class RememberedTest : public MainFormTest {
protected:
    // A second run of the program: a new window with the same folders.
    std::unique_ptr<ui::TMainForm> Restart(TFakeDialogs*& fake, int language = 0) {
        {
            std::ofstream options(Dir.Path() / "program" / "options.dat", std::ios::binary);
            const char bytes[4] = {static_cast<char>(language), 0, 0, 0};
            options.write(bytes, 4);
        }
        auto form = std::make_unique<ui::TMainForm>(ProgramPath());
        auto dialogs = std::make_unique<TFakeDialogs>();
        fake = dialogs.get();
        form->SetDialogs(std::move(dialogs));
        form->FormShow();
        return form;
    }
    void SaveAs(ui::TMainForm& form, TFakeDialogs& fake, const QString& path) {
        fake.SaveNames.push_back(path);
        form.Speichernunter1Click();
    }
    static QStringList RecentItems(ui::TMainForm& form) {
        form.FillRecentMenu();
        QStringList paths;
        for (QAction* a : form.ZuletztGeoeffnet1->actions())
            paths << a->data().toString();
        return paths;
    }
    static QAction* RecentItem(ui::TMainForm& form, const QString& path) {
        form.FillRecentMenu();
        for (QAction* a : form.ZuletztGeoeffnet1->actions())
            if (a->data().toString() == path) return a;
        return nullptr;
    }
    QString Folder(const char* name) {
        const QString path = Path(name);
        QDir().mkpath(path);
        return QFileInfo(path).absoluteFilePath();
    }
};

TEST_F(RememberedTest, FileDialogsStartInTheDrawingsFolderAndProposeItsName) {
    // An unnamed drawing in a fresh setup: no folder yet, the unnamed name.
    Fake->SaveNames.push_back(QString()); // cancelled
    Form->Speichernunter1Click();
    EXPECT_TRUE(Fake->LastSpec.Directory.isEmpty());
    EXPECT_EQ(Fake->LastSpec.SuggestedName, QStringLiteral("unbenannt.qrd"));

    const QString plans = Folder("plans");
    SaveAs(*Form, *Fake, plans + QStringLiteral("/triangle.qrd"));
    ASSERT_EQ(Form->FileName, plans + QStringLiteral("/triangle.qrd"));

    Fake->SaveNames.push_back(QString());
    Form->Speichernunter1Click();
    EXPECT_EQ(Fake->LastSpec.Directory, plans);
    EXPECT_EQ(Fake->LastSpec.SuggestedName, QStringLiteral("triangle.qrd"));

    // Exports: the drawing's folder and name with the export's extension.
    Fake->SaveNames.push_back(QString());
    Form->DXFExportActionClick();
    EXPECT_EQ(Fake->LastSpec.Directory, plans);
    EXPECT_EQ(Fake->LastSpec.SuggestedName, QStringLiteral("triangle.dxf"));

    Fake->OpenNames.push_back(QString());
    Form->ffnen1Click();
    EXPECT_EQ(Fake->LastSpec.Directory, plans);

    // A file chosen elsewhere makes that folder the last one: a new drawing
    // and the next run start there.
    const QString other = Folder("other");
    Fake->SaveNames.push_back(other + QStringLiteral("/copy.dxf"));
    Form->DXFExportActionClick();
    Form->Neu1Click();
    Fake->OpenNames.push_back(QString());
    Form->ffnen1Click();
    EXPECT_EQ(Fake->LastSpec.Directory, other);

    TFakeDialogs* fake2 = nullptr;
    auto second = Restart(fake2);
    fake2->OpenNames.push_back(QString());
    second->ffnen1Click();
    EXPECT_EQ(fake2->LastSpec.Directory, other);
}

TEST_F(RememberedTest, QtFileDialogOpensInTheGivenFolderWithTheProposedName) {
    const QString plans = Folder("plans");
    ui::TFileDialogRequest request{QStringLiteral("Export"), QStringLiteral("dxf"),
                             QStringLiteral("DXF (*.dxf)|*.dxf")};
    request.Directory = plans;
    request.SuggestedName = QStringLiteral("triangle.dxf");
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    ui::PrepareFileDialog(dialog, request);
    EXPECT_EQ(QFileInfo(dialog.directory().absolutePath()).canonicalFilePath(),
              QFileInfo(plans).canonicalFilePath());
    ASSERT_FALSE(dialog.selectedFiles().isEmpty());
    EXPECT_EQ(QFileInfo(dialog.selectedFiles().first()).fileName(), QStringLiteral("triangle.dxf"));
}

TEST_F(RememberedTest, RecentDrawingsSurviveARestartNewestFirstAtMostEight) {
    const QString plans = Folder("plans");
    EXPECT_FALSE(Form->ZuletztGeoeffnet1->menuAction()->isEnabled()); // nothing yet
    QStringList saved;
    for (int i = 0; i < 10; ++i) {
        saved.prepend(plans + QStringLiteral("/drawing%1.qrd").arg(i));
        AddLine(10, 10 + i, 50, 60);
        SaveAs(*Form, *Fake, saved.first());
        ASSERT_FALSE(Form->Changed);
    }
    EXPECT_TRUE(Form->ZuletztGeoeffnet1->menuAction()->isEnabled());
    EXPECT_EQ(RecentItems(*Form), saved.mid(0, 8));

    TFakeDialogs* fake2 = nullptr;
    auto second = Restart(fake2);
    EXPECT_TRUE(second->ZuletztGeoeffnet1->menuAction()->isEnabled());
    EXPECT_EQ(RecentItems(*second), saved.mid(0, 8));
    // The menu shows the file's path; choosing it opens that drawing.
    QAction* item = RecentItem(*second, saved[3]);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->text().contains(QDir::toNativeSeparators(saved[3])));
    item->trigger();
    EXPECT_EQ(second->FileName, saved[3]);
    EXPECT_EQ(second->Drawing->Objects.Count(), 7); // one line more each save
    // Opened again it moves to the top, once.
    const QStringList now = RecentItems(*second);
    EXPECT_EQ(now.first(), saved[3]);
    EXPECT_EQ(now.count(saved[3]), 1);
    EXPECT_EQ(now.size(), 8);
}

TEST_F(RememberedTest, AVanishedRecentDrawingLeavesTheListWithAMessageNamingIt) {
    const QString plans = Folder("plans");
    const QString gone = plans + QStringLiteral("/gone.qrd");
    const QString kept = plans + QStringLiteral("/kept.qrd");
    SaveAs(*Form, *Fake, gone);
    AddLine();
    SaveAs(*Form, *Fake, kept);
    ASSERT_TRUE(QFile::remove(gone));

    QAction* item = RecentItem(*Form, gone);
    ASSERT_NE(item, nullptr);
    item->trigger();
    ASSERT_EQ(Fake->Errors.size(), 1);
    EXPECT_TRUE(Fake->Errors.first().contains(QDir::toNativeSeparators(gone)));
    EXPECT_EQ(RecentItems(*Form), QStringList{kept});
    EXPECT_EQ(Form->FileName, kept); // the open drawing stays
    EXPECT_EQ(Form->Drawing->Objects.Count(), 1);

    // With unsaved changes the usual question comes first; Cancel keeps them.
    AddLine();
    Fake->Answers.push_back(ui::TAnswer::Cancel);
    RecentItem(*Form, kept)->trigger();
    EXPECT_TRUE(Form->Changed);
    EXPECT_EQ(Form->Drawing->Objects.Count(), 2);
}

TEST_F(RememberedTest, RulerUnitAndWindowPlaceSurviveARestart) {
    QAction* inches = Form->AnsichtZollAngabenfrdasLineal1;
    ASSERT_FALSE(inches->isChecked());
    inches->trigger();
    ASSERT_TRUE(inches->isChecked());
    Form->resize(911, 633);
    Form->move(37, 44);
    EXPECT_TRUE(Form->close());

    TFakeDialogs* fake2 = nullptr;
    auto second = Restart(fake2);
    EXPECT_TRUE(second->AnsichtZollAngabenfrdasLineal1->isChecked()); // German, yet inches
    EXPECT_EQ(second->size(), QSize(911, 633));
    EXPECT_EQ(second->pos(), QPoint(37, 44));

    // Millimetres chosen in one run stay in an English run, whose own
    // default would be inches.
    second->AnsichtZollAngabenfrdasLineal1->trigger();
    TFakeDialogs* fake3 = nullptr;
    auto third = Restart(fake3, 1);
    EXPECT_FALSE(third->AnsichtZollAngabenfrdasLineal1->isChecked());
}

TEST_F(RememberedTest, WithNothingRememberedEnglishStartsInInchesAndGermanInMillimetres) {
    TFakeDialogs* fake2 = nullptr;
    auto english = Restart(fake2, 1);
    EXPECT_TRUE(english->AnsichtZollAngabenfrdasLineal1->isChecked());
    EXPECT_FALSE(Form->AnsichtZollAngabenfrdasLineal1->isChecked());
    // The settings live in the user's config folder, not beside the program.
    Form->AnsichtZollAngabenfrdasLineal1->trigger();
    const QString conf = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) +
                         QStringLiteral("/quirindo/quirindo.conf");
    EXPECT_TRUE(QFileInfo::exists(conf));
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString((Dir.Path() / "program").string()) +
                                   QStringLiteral("/quirindo.conf")));
}

} // namespace
} // namespace quirindo::test
