// The translation editor: search over all columns, editing that reaches the
// file at once, a read-only table, and closing it from the language menu.

#include "LocalisationFixture.h"
#include "TranslateForm.h"
#include "TranslateModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusBar>
#include <QMetaObject>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <fcntl.h>
#include <unistd.h>

namespace quirindo::test {
namespace {

TRows SearchTable() {
    return {
        {"Datei", "File", "File"},
        {"Neu", "New", "Nuovo"},
        {"Speichern", "Save the DATEI", "Salva"},
        {"Öffnen", "Open", "Apri datei"},
        {"Größe ä", "size", "dimensione"},
        {"Größe Ä", "SIZE", "DIMENSIONE"},
        {"Beenden", "Exit", "Esci"},
    };
}

class TranslationEditor : public ::testing::Test {
protected:
    void Open(const TRows& rows, bool readOnly = false) {
        WriteTranslationTable(Path(), rows);
        ASSERT_TRUE(Table.Open(Path(), readOnly)) << Table.ErrorMessage();
        Form = std::make_unique<ui::TTranslateForm>(Table);
    }
    std::string Path() const { return Dir.File("translate.dbf"); }
    QStringList GermanColumn() const {
        QStringList texts;
        for (int r = 0; r < Form->Model->rowCount(); ++r)
            texts << Form->Model->data(Form->Model->index(r, 0)).toString();
        return texts;
    }
    QStringList Search(const QString& text) {
        Form->FilterEdit->setText(text);
        Form->FilterBtn->click();
        return GermanColumn();
    }

    TTempDir Dir;
    TDbfTable Table;
    std::unique_ptr<ui::TTranslateForm> Form;
};

TEST_F(TranslationEditor, SearchFindsAnyColumnIgnoringCaseOfAToZOnly) {
    Open(SearchTable());
    EXPECT_EQ(Form->Model->columnCount(), 19);
    EXPECT_EQ(Form->Model->rowCount(), 7);
    EXPECT_EQ(Search(QStringLiteral("datei")), (QStringList{"Datei", "Speichern", "Öffnen"}));
    EXPECT_TRUE(Table.Filtered());
    EXPECT_EQ(Search(QStringLiteral("ä")), QStringList{"Größe ä"});
    EXPECT_EQ(Search(QStringLiteral("SIZE")), (QStringList{"Größe ä", "Größe Ä"}));
    EXPECT_TRUE(Search(QStringLiteral("ő")).isEmpty()) << "not storable, so nowhere";
    EXPECT_EQ(Search(QString()).size(), 7);
    EXPECT_FALSE(Table.Filtered());
    EXPECT_EQ(ui::AsciiUpper("aäzß{"), "AäZß{");
}

TEST_F(TranslationEditor, EditsArePostedToTheFileAtOnce) {
    Open(SearchTable());
    // A grid cell: written when its editor closes.
    ASSERT_TRUE(Form->Model->setData(Form->Model->index(1, 2), QStringLiteral("Nuovo file")));
    EXPECT_EQ(ReadTranslationTable(Path())[1][2], "Nuovo file");
    EXPECT_FALSE(Form->Model->setData(Form->Model->index(1, 1), QStringLiteral("ő")));
    EXPECT_EQ(ReadTranslationTable(Path())[1][1], "New");

    // The record edit: pending until posted, then on disk.
    Form->NavLast();
    EXPECT_EQ(Form->DBEdit1->text(), QStringLiteral("Beenden"));
    Form->DBEdit1->setText(QStringLiteral("Schließen"));
    Form->DBEdit1->setModified(true);
    EXPECT_TRUE(Form->EditPending());
    Form->NavCancel();
    EXPECT_EQ(Form->DBEdit1->text(), QStringLiteral("Beenden"));
    Form->DBEdit1->setText(QStringLiteral("Schließen"));
    Form->DBEdit1->setModified(true);
    Form->NavPrior(); // leaving the row posts it
    EXPECT_EQ(ReadTranslationTable(Path())[6][0], "Schließen");
    EXPECT_EQ(Form->DBEdit1->text(), QStringLiteral("Größe Ä"));

    // A new row, then deleting it again.
    Form->NavInsert();
    Form->DBEdit1->setText(QStringLiteral("Drucken"));
    Form->NavPost();
    auto rows = ReadTranslationTable(Path());
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[7][0], "Drucken");
    EXPECT_EQ(Form->DBEdit1->text(), QStringLiteral("Drucken"));
    Form->ConfirmDelete = [] { return true; };
    Form->NavDelete();
    EXPECT_EQ(ReadTranslationTable(Path()).size(), 7u);
    EXPECT_EQ(Form->Model->rowCount(), 7);

    // "Zurück..." posts a pending change too.
    Form->NavFirst();
    Form->DBEdit1->setText(QStringLiteral("Datei!"));
    Form->DBEdit1->setModified(true);
    Form->BackBtn->click();
    EXPECT_EQ(Form->result(), QDialog::Accepted);
    EXPECT_EQ(ReadTranslationTable(Path())[0][0], "Datei!");
}

// Only "Zurück..." keeps what is being typed. Escape and the close box
// abandon it, in the record edit as in an open grid cell.
TEST_F(TranslationEditor, EscapeAndCloseBoxAbandonOnlyBackPosts) {
    Open(SearchTable());
    Form->show();
    Form->NavLast();
    Form->DBEdit1->setText(QStringLiteral("Schließen"));
    Form->DBEdit1->setModified(true);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Form.get(), &escape);
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Form->result(), QDialog::Rejected);
    EXPECT_EQ(ReadTranslationTable(Path())[6][0], "Beenden");

    // Types into a grid cell and leaves its editor open.
    auto typeIntoCell = [this](int row, int column, const QString& text) {
        Form->show();
        const QModelIndex cell = Form->Model->index(row, column);
        Form->DBGrid1->setCurrentIndex(cell);
        Form->DBGrid1->edit(cell);
        QList<QLineEdit*> open; // editors closed before wait for their deletion
        for (QLineEdit* e : Form->DBGrid1->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible()) open << e;
        ASSERT_EQ(open.size(), 1);
        open[0]->setText(text);
    };
    typeIntoCell(1, 2, QStringLiteral("Nuovo file"));
    Form->close(); // the close box
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(ReadTranslationTable(Path())[1][2], "Nuovo");
    EXPECT_EQ(Form->Model->data(Form->Model->index(1, 2)).toString(), QStringLiteral("Nuovo"));

    typeIntoCell(1, 2, QStringLiteral("Nuovo file"));
    Form->BackBtn->click();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Form->result(), QDialog::Accepted);
    EXPECT_EQ(ReadTranslationTable(Path())[1][2], "Nuovo file");
}

// A cell holds 255 characters: a longer text is refused with a message
// instead of being stored cut short, and "Zurück..." then keeps the dialog
// open rather than losing the text.
TEST_F(TranslationEditor, TextLongerThanACellIsRefusedNotCut) {
    Open(SearchTable());
    EXPECT_FALSE(Form->Model->setData(Form->Model->index(1, 1), QString(256, QLatin1Char('x'))));
    EXPECT_EQ(ReadTranslationTable(Path())[1][1], "New");
    EXPECT_TRUE(Form->StatusBar1->currentMessage().contains(QStringLiteral("256")))
        << Form->StatusBar1->currentMessage().toStdString();
    const std::string full(255, 'y');
    ASSERT_TRUE(Form->Model->setData(Form->Model->index(1, 1), QString::fromStdString(full)));
    EXPECT_EQ(ReadTranslationTable(Path())[1][1], full);

    Form->show();
    Form->NavFirst();
    Form->DBEdit1->setText(QString(300, QLatin1Char('z')));
    Form->DBEdit1->setModified(true);
    Form->BackBtn->click();
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Form->StatusBar1->currentMessage().contains(QStringLiteral("300")));
    EXPECT_EQ(ReadTranslationTable(Path())[0][0], "Datei");
    EXPECT_EQ(Form->DBEdit1->text().size(), 300) << "the text is still there to shorten";
    Form->reject();
}

TEST_F(TranslationEditor, ReadOnlyTableCannotBeEdited) {
    Open(SearchTable(), true);
    EXPECT_FALSE(Form->Model->flags(Form->Model->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_FALSE(Form->Model->setData(Form->Model->index(0, 1), QStringLiteral("x")));
    EXPECT_TRUE(Form->DBEdit1->isReadOnly());
    EXPECT_FALSE(Form->InsertBtn->isEnabled());
    EXPECT_FALSE(Form->DeleteBtn->isEnabled());
    EXPECT_TRUE(Form->NextBtn->isEnabled());
    Form->NavInsert();
    Form->NavPost();
    EXPECT_EQ(ReadTranslationTable(Path()).size(), 7u);
    // Searching still works.
    EXPECT_EQ(Search(QStringLiteral("nuovo")), QStringList{"Neu"});
}

// From the language menu: every column 300 pixels wide, and closing by the
// close box switches the filter off and asks for a restart.
TEST_F(LocalisationTest, EditorClosedByItsCloseBoxEndsFilteringAndPrompts) {
    Table(SearchTable());
    Options({0, 0, 0, 0});
    Start();
    ui::TTranslateForm editor(Form->translate->Table(), Form.get());
    Form->SetTranslateForm(&editor);
    Form->FormShow();

    editor.FilterEdit->setText(QStringLiteral("datei"));
    editor.FilterBtn->click();
    ASSERT_TRUE(Form->translate->Table().Filtered());
    // Datei, Speichern (DATEI), Öffnen (datei) and the save question.
    ASSERT_EQ(editor.Model->rowCount(), 4);

    // Runs inside the editor's modal loop, as a click on the close box would.
    QMetaObject::invokeMethod(
        &editor, [&editor] { editor.close(); }, Qt::QueuedConnection);
    Form->Sprachebersetzen1Click();

    EXPECT_FALSE(editor.isVisible());
    EXPECT_FALSE(Form->translate->Table().Filtered());
    EXPECT_EQ(editor.Model->rowCount(),
              static_cast<int>(ReadTranslationTable(Dir.File("translate.dbf")).size()));
    EXPECT_EQ(editor.DBGrid1->columnWidth(0), 300);
    EXPECT_EQ(editor.DBGrid1->columnWidth(18), 300);
    ASSERT_EQ(Prompts.size(), 1);
    EXPECT_TRUE(Prompts[0].endsWith(QStringLiteral("starten Sie es erneut!")));
    EXPECT_EQ(OptionsOnDisk(), (std::vector<std::uint8_t>{0, 0, 0, 0}))
        << "the editor saves no language";
}

} // namespace
} // namespace quirindo::test
