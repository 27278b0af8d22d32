// Numbers typed key by key into the numeric panel and the settings strip,
// under the C and the German locale: the number shown is the number the
// instruments, the tools and the saved file get.

#include "MainFormFixture.h"
#include "SpinEdits.h"

#include <QAction>
#include <QApplication>
#include <QTest>

#include <clocale>
#include <string>

namespace quirindo::test {
namespace {

// A shown window whose widgets and C library read numbers in the given
// locale ("C" or "de_DE").
class TypedNumbersTest : public MainFormTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override {
        SavedLocale = QLocale();
        SavedCLocale = std::setlocale(LC_ALL, nullptr);
        const std::string name = GetParam();
        QLocale::setDefault(QLocale(QString::fromStdString(name)));
        if (name != "C") {
            ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
                << "the locale de_DE.UTF-8 is missing; scripts/setup.sh makes it";
            ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
        }
        MainFormTest::SetUp();
        Form->resize(900, 700);
        Form->LeistefrZahleneingabe1->trigger(); // the panel as the user opens it
        Form->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        Form.reset();
        QLocale::setDefault(SavedLocale);
        std::setlocale(LC_ALL, SavedCLocale.c_str());
    }

    // Selects the field's text and types over it, key by key.
    static void TypeOver(QAbstractSpinBox* box, const QString& keys) {
        box->selectAll();
        QTest::keyClicks(box, keys);
    }
    // The user is done with the field.
    static void Finish(QAbstractSpinBox* box) { QTest::keyClick(box, Qt::Key_Return); }
    static QString Shown(double value) { return QLocale().toString(value, 'f', 2); }

    QLocale SavedLocale;
    std::string SavedCLocale;
};

TEST_P(TypedNumbersTest, EveryPanelFieldTakesBothDecimalPointsKeyByKey) {
    const std::pair<ui::TFloatSpinEdit*, double*> fields[] = {
        {Form->LinXEd, &Form->Instruments.LinX},   {Form->Linyed, &Form->Instruments.LinY},
        {Form->linwed, &Form->Instruments.LinW},   {Form->WinkXed, &Form->Instruments.WinkX},
        {Form->WinkYEd, &Form->Instruments.WinkY}, {Form->WinkWEd, &Form->Instruments.WinkW},
        {Form->ZirkXed, &Form->Instruments.ZirkX}, {Form->ZirkYed, &Form->Instruments.ZirkY},
        {Form->ZirksEd, &Form->Instruments.ZirkS},
    };
    for (const auto& [field, value] : fields) {
        SCOPED_TRACE(field->objectName().toStdString());
        // Each key moves the instrument to the number typed so far, and the
        // field keeps exactly what was typed (the protractor's angle too,
        // whose field rewrites the whole panel).
        field->selectAll();
        const char* keys[] = {"1", "2", ".", "5"};
        const double expected[] = {1, 12, 12, 12.5};
        QString typed;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClicks(field, QString::fromLatin1(keys[i]));
            typed += QString::fromLatin1(keys[i]);
            EXPECT_EQ(*value, expected[i]) << typed.toStdString();
            EXPECT_EQ(field->text(), typed);
        }
        Finish(field);
        EXPECT_EQ(*value, 12.5);
        EXPECT_EQ(field->text(), Shown(12.5));

        TypeOver(field, QStringLiteral("-0,25"));
        EXPECT_EQ(*value, -0.25);
        EXPECT_EQ(field->text(), QStringLiteral("-0,25"));
        Finish(field);
        EXPECT_EQ(*value, -0.25);
        EXPECT_EQ(field->text(), Shown(-0.25));

        // A point is never a group separator: the second one and a third
        // decimal are refused, and the instrument follows what is shown.
        TypeOver(field, QStringLiteral("1.234,5"));
        EXPECT_EQ(field->text(), QStringLiteral("1.23"));
        EXPECT_EQ(*value, 1.23);
    }
    EXPECT_FALSE(Form->Changed);
}

TEST_P(TypedNumbersTest, ClearingAFieldMovesTheInstrumentToZeroAtOnce) {
    Form->Instruments.LinX = 40;
    Form->UpdateEds();
    const int paints = Form->PaintRequests;
    Form->LinXEd->selectAll();
    QTest::keyClick(Form->LinXEd, Qt::Key_Backspace);
    EXPECT_EQ(Form->LinXEd->text(), QString());
    EXPECT_EQ(Form->Instruments.LinX, 0.0);
    EXPECT_GT(Form->PaintRequests, paints);
    // The emptied protractor angle is not filled in behind the user's back.
    Form->WinkWEd->selectAll();
    QTest::keyClick(Form->WinkWEd, Qt::Key_Backspace);
    EXPECT_EQ(Form->Instruments.WinkW, 0.0);
    EXPECT_EQ(Form->WinkWEd->text(), QString());
    QTest::keyClicks(Form->WinkWEd, QStringLiteral("7"));
    EXPECT_EQ(Form->Instruments.WinkW, 7.0);
    EXPECT_EQ(Form->WinkWEd->text(), QStringLiteral("7"));
    // Leaving an empty field shows the 0 the instrument stands at.
    Finish(Form->LinXEd);
    EXPECT_EQ(Form->LinXEd->text(), Shown(0));
    EXPECT_EQ(Form->Instruments.LinX, 0.0);
}

TEST_P(TypedNumbersTest, TypedLineWidthIsWhatToolsDrawAndSaveKeeps) {
    const auto circleWidth = [this] {
        Form->ZirkelKreiszeichnen1->trigger();
        return Form->Drawing->Objects[Form->Drawing->Objects.Count() - 1].Width;
    };
    TypeOver(Form->StrichEd, QStringLiteral("0.5"));
    EXPECT_EQ(Form->StrichEd->text(), QStringLiteral("0.5"));
    EXPECT_EQ(circleWidth(), 0.5);
    EXPECT_EQ(Form->CurrentSettings().LineWidth, 0.5);
    TypeOver(Form->RadierEd, QStringLiteral("2,5"));
    EXPECT_EQ(Form->CurrentSettings().EraserWidth, 2.5);

    // Below the box's minimum: tools and the file both get the minimum
    // that the box shows once the user leaves it.
    TypeOver(Form->StrichEd, QStringLiteral("0"));
    EXPECT_EQ(circleWidth(), 0.01);
    EXPECT_EQ(Form->CurrentSettings().LineWidth, 0.01);
    Finish(Form->StrichEd);
    EXPECT_EQ(Form->StrichEd->text(), Shown(0.01));

    TypeOver(Form->StrichEd, QStringLiteral("0,75"));
    Finish(Form->StrichEd);
    EXPECT_EQ(Form->StrichEd->text(), Shown(0.75));
    Form->FileName = Path("width.qrd");
    ASSERT_TRUE(Form->SaveTheFile());
    TypeOver(Form->StrichEd, QStringLiteral("3"));
    ASSERT_TRUE(Form->OpenFileFromPath(Path("width.qrd")));
    EXPECT_EQ(Form->StrichEd->text(), Shown(0.75));
    EXPECT_EQ(circleWidth(), 0.75);
    EXPECT_EQ(Form->RadierEd->text(), Shown(2.5));
}

// A page count typed into the settings strip is one change of the drawing
// when the user is done with the box (Enter or leaving it), never one per
// digit; the box's arrows still apply at once, each as a step of its own.
TEST_P(TypedNumbersTest, TypedPageCountIsOneUndoStep) {
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    ui::TSpinEdit* box = Form->PageAnz;
    const std::size_t steps = Form->DrawingEditor->UndoCount();
    box->setFocus();
    TypeOver(box, QStringLiteral("10"));
    EXPECT_EQ(Form->PageCount(), 1) << "nothing applies while typing";
    Finish(box);
    EXPECT_EQ(Form->PageCount(), 10);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps + 1);
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(box->value(), 1) << "one undo takes back the whole number";
    EXPECT_EQ(Form->PageCount(), 1);

    // Leaving the box applies what was typed.
    box->setFocus();
    TypeOver(box, QStringLiteral("4"));
    EXPECT_EQ(Form->PageCount(), 1);
    Form->StrichEd->setFocus();
    ASSERT_FALSE(box->hasFocus());
    EXPECT_EQ(Form->PageCount(), 4);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps + 1);

    // The arrows step at once.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(Form->PageCount(), 5);
    QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(Form->PageCount(), 6);
    EXPECT_EQ(Form->DrawingEditor->UndoCount(), steps + 3);
    Form->Rueckgaengig1->trigger();
    EXPECT_EQ(box->value(), 5);
}

INSTANTIATE_TEST_SUITE_P(Locales, TypedNumbersTest, ::testing::Values("C", "de_DE"),
                         [](const auto& locale) { return std::string(locale.param); });

} // namespace
} // namespace quirindo::test
