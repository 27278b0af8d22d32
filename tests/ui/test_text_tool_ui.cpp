// The text tool through the window: the text dialog, the font chooser and
// adding, changing, deleting and moving texts with the pointer.

#include "AddTextForm.h"
#include "FontChooser.h"
#include "MainFormFixture.h"
#include "PaintBox.h"
#include "SpinEdits.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QFontDatabase>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quirindo::test {
namespace {

void Key(QWidget* to, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
         const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(to, &release);
}

TEST(AddTextFormTest, LayoutCaptionAndTheUntranslatedTextBox) {
    ui::TAddTextForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Text hinzufügen"));
    EXPECT_EQ(form.size(), QSize(399, 266));
    EXPECT_EQ(form.Memo1->geometry(), QRect(8, 24, 377, 137));
    EXPECT_EQ(form.NewFontBtn->text(), QStringLiteral("Schriftart wählen..."));
    EXPECT_EQ(form.CancelBtn->text(), QStringLiteral("Abbrechen"));
    EXPECT_TRUE(form.Memo1->property("quirindoNoTranslate").toBool());
    EXPECT_FALSE(form.OkBtn->isEnabled());
}

TEST(AddTextFormTest, OkIsEnabledOnlyWhileTheBoxHoldsACharacter) {
    ui::TAddTextForm form;
    form.FormShow();
    EXPECT_FALSE(form.OkBtn->isEnabled());
    Key(form.Memo1, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    EXPECT_TRUE(form.OkBtn->isEnabled());
    Key(form.Memo1, Qt::Key_Backspace);
    EXPECT_FALSE(form.OkBtn->isEnabled());
    // A line break alone is a character too.
    Key(form.Memo1, Qt::Key_Return);
    EXPECT_TRUE(form.OkBtn->isEnabled());
}

TEST(AddTextFormTest, EnterBreaksTheLineAndAltEnterAccepts) {
    ui::TAddTextForm form;
    form.FormShow();
    Key(form.Memo1, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    Key(form.Memo1, Qt::Key_Return);
    Key(form.Memo1, Qt::Key_B, Qt::NoModifier, QStringLiteral("b"));
    EXPECT_EQ(form.Text(), u"a\r\nb");
    EXPECT_NE(form.result(), QDialog::Accepted);
    Key(form.Memo1, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Text(), u"a\r\nb");

    // Alt+Enter also accepts an empty box, whose OK is disabled.
    ui::TAddTextForm empty;
    empty.FormShow();
    Key(empty.Memo1, Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
    EXPECT_EQ(empty.result(), QDialog::Accepted);
    EXPECT_EQ(empty.Text(), u"");

    // Also while a button has the focus, as after choosing a font.
    ui::TAddTextForm buttonFocus;
    buttonFocus.FormShow();
    Key(buttonFocus.NewFontBtn, Qt::Key_Return, Qt::AltModifier);
    EXPECT_EQ(buttonFocus.result(), QDialog::Accepted);
}

TEST(AddTextFormTest, TheBoxShowsTheTextFontAndTheChooserChangesIt) {
    ui::TAddTextForm form;
    tools::TTextFont font;
    font.Face = QStringLiteral("Courier New");
    font.Size = 20;
    font.Color = 0x0000FF;
    form.TextFont = &font;
    tools::TTextFont offered;
    int asked = 0;
    form.ChooseFont = [&](const tools::TTextFont& f) -> std::optional<tools::TTextFont> {
        offered = f;
        if (++asked == 1) return std::nullopt; // cancelled
        tools::TTextFont chosen = f;
        chosen.Size = 30;
        chosen.Style = fsBold;
        return chosen;
    };
    form.FormShow();
    EXPECT_EQ(form.Memo1->font().pointSize(), 20);
    EXPECT_EQ(form.Memo1->palette().color(QPalette::Text), QColor(255, 0, 0));
    form.NewFontBtn->click();
    EXPECT_EQ(offered, font);
    EXPECT_EQ(font.Size, 20);
    form.NewFontBtn->click();
    EXPECT_EQ(font.Size, 30);
    EXPECT_EQ(font.Style, fsBold);
    EXPECT_EQ(form.Memo1->font().pointSize(), 30);
    EXPECT_TRUE(form.Memo1->font().bold());
}

TEST(FontChooserTest, YieldsFaceSizeStyleColourCharsetAndPitch) {
    tools::TTextFont initial;
    initial.Face = QStringLiteral("DejaVu Sans");
    initial.Size = 14;
    initial.Charset = 161;
    initial.Style = fsItalic | fsUnderline;
    ui::TFontChooser chooser(initial);
    tools::TTextFont chosen = chooser.SelectedFont();
    EXPECT_EQ(chosen.Size, 14);
    EXPECT_EQ(chosen.Style, fsItalic | fsUnderline);
    EXPECT_EQ(chosen.Color, clWindowText) << "an untouched colour stays the system colour";
    EXPECT_EQ(chosen.Charset, 161);

    chooser.AskColor = [](TColor) { return std::optional<TColor>(0x00FF00); };
    chooser.ColorBtn->click();
    QFont larger = chooser.FontBox->currentFont();
    larger.setPointSize(22);
    chooser.FontBox->setCurrentFont(larger);
    chosen = chooser.SelectedFont();
    EXPECT_EQ(chosen.Color, 0x00FF00);
    EXPECT_EQ(chosen.Size, 22);

    QFont styled(QStringLiteral("DejaVu Sans"));
    styled.setPointSize(9);
    styled.setBold(true);
    styled.setStrikeOut(true);
    chosen = ui::TextFontFromQFont(styled, 0x123456, 238);
    EXPECT_EQ(chosen.Face, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(chosen.Size, 9);
    EXPECT_EQ(chosen.Style, fsBold | fsStrikeOut);
    EXPECT_EQ(chosen.Color, 0x123456);
    EXPECT_EQ(chosen.Charset, 238);

    // A fixed-pitch face reports a fixed pitch.
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(mono).fixedPitch()) {
        EXPECT_EQ(ui::TextFontFromQFont(mono, 0, 0).Pitch, 2);
    }
    EXPECT_EQ(ui::TextFontFromQFont(ui::QFontFromTextFont(initial), 0, 0).Style, initial.Style);
}

// Pixels of `widget` as shown that are clearly of the colour `green`.
int GreenPixels(QWidget* widget) {
    const QImage shot = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            if (c.green() > 180 && c.red() < 80 && c.blue() < 80) ++count;
        }
    return count;
}

// Enter and Escape answer the whole chooser and leave its font box in
// place; an OK without a change keeps a face the system lacks; the sample
// is drawn in the chosen colour.
TEST(FontChooserTest, KeysAnswerTheChooserAndAnUntouchedFaceSurvives) {
    tools::TTextFont initial;
    initial.Face = QStringLiteral("Quirindo Missing Face");
    initial.Size = 18;
    ASSERT_FALSE(QFontDatabase::hasFamily(initial.Face));
    ui::TFontChooser chooser(initial);
    chooser.show();
    EXPECT_EQ(chooser.SelectedFont().Face, initial.Face);
    QFont larger = chooser.FontBox->currentFont();
    larger.setPointSize(24);
    chooser.FontBox->setCurrentFont(larger);
    EXPECT_EQ(chooser.SelectedFont().Face, initial.Face) << "only the size was changed";
    EXPECT_EQ(chooser.SelectedFont().Size, 24);

    // The keys reach the chooser wherever the focus is in the font box: in
    // a face, style or size list or in one of its edits.
    QList<QWidget*> targets;
    for (QLineEdit* edit : chooser.FontBox->findChildren<QLineEdit*>())
        targets << edit;
    for (QAbstractItemView* list : chooser.FontBox->findChildren<QAbstractItemView*>())
        targets << list;
    ASSERT_GE(targets.size(), 4);
    for (QWidget* target : targets)
        for (int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Enter}) {
            chooser.show();
            chooser.setResult(-1);
            Key(target, key);
            EXPECT_FALSE(chooser.isVisible()) << key;
            EXPECT_EQ(chooser.result(),
                      key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted)
                << key << " in " << target->metaObject()->className();
            EXPECT_FALSE(chooser.FontBox->isHidden()) << "the font box closed itself on " << key;
        }
    chooser.show();

    // A face the user picks is taken.
    const QString shown = chooser.FontBox->currentFont().family();
    QString other;
    for (const QString& family : QFontDatabase::families())
        if (family != shown && !QFontDatabase::isPrivateFamily(family)) {
            other = family;
            break;
        }
    ASSERT_FALSE(other.isEmpty());
    chooser.FontBox->setCurrentFont(QFont(other, 24));
    EXPECT_EQ(chooser.SelectedFont().Face, chooser.FontBox->currentFont().family());
    EXPECT_NE(chooser.SelectedFont().Face, initial.Face);

    EXPECT_EQ(GreenPixels(chooser.FontBox), 0);
    chooser.SetColor(TColorFromQColor(QColor(0, 255, 0)));
    EXPECT_GT(GreenPixels(chooser.FontBox), 20) << "the sample is not drawn in the chosen colour";
}

class TextToolUiTest : public ShownMainFormTest {
protected:
    void SetUp() override {
        ShownMainFormTest::SetUp();
        Form->ModalRunner = [this](QDialog& dialog) {
            auto* form = dynamic_cast<ui::TAddTextForm*>(&dialog);
            if (!form) return int(QDialog::Rejected);
            form->FormShow();
            Shown.push_back(form->Text());
            ShownFaces.push_back(form->Memo1->font().family());
            if (Answers.empty()) return int(QDialog::Rejected);
            const std::u16string answer = Answers.front();
            Answers.pop_front();
            if (answer == u"<font>") {
                form->NewFontBtn->click();
                return int(QDialog::Accepted);
            }
            form->SetText(answer);
            return int(QDialog::Accepted);
        };
    }
    void Click(int x, int y) {
        Form->PaintBox1MouseDown(Qt::LeftButton, x, y);
        Form->PaintBox1MouseUp(Qt::LeftButton, x, y);
    }
    // Adds a text at paint-box pixel (x, y) and paints it.
    void AddAt(int x, int y, const char16_t* text) {
        Form->TextTexthinzufgen1->trigger();
        Answers.push_back(text);
        Click(x, y);
        QApplication::processEvents();
    }
    std::deque<std::u16string> Answers; // "<font>": choose a font and confirm
    std::vector<std::u16string> Shown;
    QStringList ShownFaces;
};

TEST_F(TextToolUiTest, InitialTextFontAndAddingAText) {
    EXPECT_EQ(Form->TextFont.Face, QStringLiteral("Arial"));
    EXPECT_EQ(Form->TextFont.Size, 10);
    EXPECT_EQ(Form->TextFont.Color, clWindowText);
    EXPECT_EQ(Form->TextFont.Charset, 0);
    EXPECT_EQ(Form->TextFont.Pitch, 0);
    EXPECT_EQ(Form->TextFont.Style, 0);

    AddAt(105, 55, u"Hallo\r\nWelt");
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    const TTextObject& t = Form->Drawing->Texts[0];
    EXPECT_DOUBLE_EQ(t.Left, 100 / Form->ViewScale);
    EXPECT_DOUBLE_EQ(t.Top, 50 / Form->ViewScale);
    EXPECT_EQ(TextOf(t), u"Hallo\r\nWelt");
    EXPECT_EQ(FontNameOf(t), "Arial");
    EXPECT_GT(t.Bottom, t.Top);
    EXPECT_TRUE(Form->Changed);

    // The dialog keeps its text: the next new text starts with it.
    Form->TextTexthinzufgen1->trigger();
    Click(300, 300); // cancelled
    ASSERT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Shown[1], u"Hallo\r\nWelt");
    EXPECT_EQ(Form->Drawing->Texts.Count(), 1);
    EXPECT_TRUE(Form->AddTextForm().OkBtn->isEnabled());
}

TEST_F(TextToolUiTest, FontChosenInTheDialogIsTheFontOfTheNewText) {
    tools::TTextFont chosen;
    chosen.Face = QStringLiteral("DejaVu Serif");
    chosen.Size = 18;
    chosen.Color = 0x0000FF;
    chosen.Style = fsBold;
    Fake->TextFonts.push_back(chosen);
    Form->AddTextForm().SetText(u"rot");
    Form->TextTexthinzufgen1->trigger();
    Answers.push_back(u"<font>");
    Click(105, 105);
    ASSERT_EQ(Fake->TextFontPresets.size(), 1u);
    EXPECT_EQ(Fake->TextFontPresets[0].Face, QStringLiteral("Arial"));
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    const TTextObject& t = Form->Drawing->Texts[0];
    EXPECT_EQ(FontNameOf(t), "DejaVu Serif");
    EXPECT_EQ(t.Size, 18);
    EXPECT_EQ(t.Color, 0x0000FF);
    EXPECT_EQ(t.Style, fsBold);
    EXPECT_EQ(Form->TextFont, chosen);
}

TEST_F(TextToolUiTest, ChangeAtZoom200KeepsSizeMarksChangedAndLendsItsFace) {
    Form->TextFont.Face = QStringLiteral("DejaVu Sans Mono");
    Form->TextFont.Size = 24;
    AddAt(105, 105, u"alt");
    Form->TextFont = tools::TTextFont{};
    Form->zoomed->setValue(200);
    QApplication::processEvents();
    Form->SetUnChanged();
    const TTextObject& t = Form->Drawing->Texts[0];
    const int x = static_cast<int>(t.Left * Form->ViewScale) + 7;
    const int y = static_cast<int>(t.Top * Form->ViewScale) + 9;
    Form->TextTextndern1->trigger();
    Form->PaintBox1MouseMove(x, y);
    ASSERT_TRUE(Form->Pointer.HoverShown);
    Answers.push_back(u"neu");
    Click(x, y);
    EXPECT_EQ(Shown.back(), u"alt");
    EXPECT_EQ(ShownFaces.back(), QStringLiteral("DejaVu Sans Mono"));
    const TTextObject& c = Form->Drawing->Texts[0];
    EXPECT_EQ(TextOf(c), u"neu");
    EXPECT_EQ(c.Size, 24);
    EXPECT_TRUE(Form->Changed);
    // Closing now asks to save.
    Fake->Answers.push_back(ui::TAnswer::Cancel);
    EXPECT_FALSE(Form->FormCloseQuery());
    EXPECT_EQ(Fake->Questions.size(), 1);

    // The text font kept the face: the next new text uses it.
    AddAt(405, 405, u"zweiter");
    EXPECT_EQ(FontNameOf(Form->Drawing->Texts[1]), "DejaVu Sans Mono");
}

TEST_F(TextToolUiTest, DeleteAndMoveActOnTheHighlightedText) {
    AddAt(105, 105, u"eins");
    AddAt(405, 105, u"zwei");
    const double s = Form->ViewScale;
    Form->TextTextlschen1->trigger();
    Click(110, 110); // no hover yet
    EXPECT_EQ(Form->Drawing->Texts.Count(), 2);
    Form->PaintBox1MouseMove(110, 110);
    ASSERT_TRUE(Form->Pointer.HoverShown);
    Click(110, 110);
    ASSERT_EQ(Form->Drawing->Texts.Count(), 1);
    EXPECT_EQ(TextOf(Form->Drawing->Texts[0]), u"zwei");

    Form->TextVerschieben1->trigger();
    Form->PaintBox1MouseMove(410, 110);
    ASSERT_TRUE(Form->Pointer.HoverShown);
    const double left = Form->Drawing->Texts[0].Left;
    Form->PaintBox1MouseDown(Qt::LeftButton, 410, 110);
    Form->PaintBox1MouseMove(460, 130);
    EXPECT_DOUBLE_EQ(Form->Drawing->Texts[0].Left, left);
    Form->PaintBox1MouseUp(Qt::LeftButton, 460, 130);
    EXPECT_DOUBLE_EQ(Form->Drawing->Texts[0].Left, left + 50 / s);
    EXPECT_FALSE(Form->Pointer.TextMoving);
}

} // namespace
} // namespace quirindo::test
