#include "TranslateForm.h"

#include "Cp1252Utf8.h"
#include "DbfTable.h"
#include "Localisation.h"
#include "Messages.h"
#include "TranslateModel.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace quirindo::ui {
namespace {

QString Tr(const char* german) {
    return QString::fromStdString(TranslateUtf8(german));
}

} // namespace

// The grid's delegate, which knows the one cell editor open at a time, so
// that closing the dialog can store or drop what is being typed.
class TCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        OpenEditor = editor;
        return editor;
    }
    mutable QPointer<QWidget> OpenEditor;
};

std::string AsciiUpper(std::string_view bytes) {
    std::string upper(bytes);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

bool RowMatchesFilter(const TDbfTable& table, std::string_view upperFilter) {
    bool accept = false;
    const int fields = static_cast<int>(table.Fields().size());
    for (int c = 0; c < fields; ++c)
        if (AsciiUpper(table.FieldText(c)).find(upperFilter) != std::string::npos) accept = true;
    return accept;
}

TTranslateForm::TTranslateForm(TDbfTable& table, QWidget* parent) : QDialog(parent), FTable(table) {
    setObjectName(QStringLiteral("TranslateForm"));
    setWindowTitle(QStringLiteral("Übersetzen"));
    resize(721, 489);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(57);
    DBNavigator1 = new QWidget(Panel1);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setGeometry(8, 8, 240, 25);
    // The navigator's glyphs are symbols, not words: nothing to translate.
    DBNavigator1->setProperty(kNoTranslateProperty, true);
    auto* nav = new QHBoxLayout(DBNavigator1);
    nav->setContentsMargins(0, 0, 0, 0);
    nav->setSpacing(0);
    auto navButton = [this, nav](const char* name, const QString& glyph,
                                 void (TTranslateForm::*handler)()) {
        auto* b = new QToolButton(DBNavigator1);
        b->setObjectName(QString::fromLatin1(name));
        b->setText(glyph);
        b->setAutoRaise(true);
        b->setFixedSize(24, 25);
        nav->addWidget(b);
        connect(b, &QToolButton::clicked, this, handler);
        return b;
    };
    FirstBtn = navButton("FirstBtn", QStringLiteral("|◀"), &TTranslateForm::NavFirst);
    PriorBtn = navButton("PriorBtn", QStringLiteral("◀"), &TTranslateForm::NavPrior);
    NextBtn = navButton("NextBtn", QStringLiteral("▶"), &TTranslateForm::NavNext);
    LastBtn = navButton("LastBtn", QStringLiteral("▶|"), &TTranslateForm::NavLast);
    InsertBtn = navButton("InsertBtn", QStringLiteral("+"), &TTranslateForm::NavInsert);
    DeleteBtn = navButton("DeleteBtn", QStringLiteral("−"), &TTranslateForm::NavDelete);
    EditBtn = navButton("EditBtn", QStringLiteral("▲"), &TTranslateForm::NavEdit);
    PostBtn = navButton("PostBtn", QStringLiteral("✔"), &TTranslateForm::NavPost);
    CancelBtn = navButton("CancelBtn", QStringLiteral("✘"), &TTranslateForm::NavCancel);
    RefreshBtn = navButton("RefreshBtn", QStringLiteral("↻"), &TTranslateForm::NavRefresh);

    BackBtn = new QPushButton(QStringLiteral("Zurück..."), Panel1);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    BackBtn->setGeometry(256, 8, 105, 25);
    BackBtn->setAutoDefault(false);
    connect(BackBtn, &QPushButton::clicked, this, &TTranslateForm::BackBtnClick);

    DBEdit1 = new QLineEdit(Panel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setGeometry(8, 36, 673, 21);
    // It shows a cell of the table; translating it would rewrite the row.
    DBEdit1->setProperty(kNoTranslateProperty, true);
    // Its name for screen readers: the language of the text it shows, which
    // reads the same in every interface language.
    DBEdit1->setAccessibleName(QStringLiteral("Deutsch"));
    layout->addWidget(Panel1);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(40);
    FilterEdit = new QLineEdit(Panel2);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    FilterEdit->setGeometry(8, 8, 153, 21);
    FilterEdit->setAccessibleName(QStringLiteral("Suchtext"));
    FilterBtn = new QPushButton(QStringLiteral("Suchen"), Panel2);
    FilterBtn->setObjectName(QStringLiteral("FilterBtn"));
    FilterBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    FilterBtn->setGeometry(168, 8, 145, 25);
    FilterBtn->setAutoDefault(false);
    connect(FilterBtn, &QPushButton::clicked, this, &TTranslateForm::FilterBtnClick);
    connect(FilterEdit, &QLineEdit::returnPressed, this, &TTranslateForm::FilterBtnClick);
    layout->addWidget(Panel2);

    Model = new TTranslationModel(FTable, this);
    DBGrid1 = new QTableView(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setModel(Model);
    FDelegate = new TCellDelegate(DBGrid1);
    DBGrid1->setItemDelegate(FDelegate);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->verticalHeader()->setDefaultSectionSize(20);
    layout->addWidget(DBGrid1, 1);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { CurrentRowChanged(current.row()); });
    connect(Model, &TTranslationModel::EditRefused, this, [this](const QString& reason) {
        ++FRefusals;
        ShowStatus(reason);
    });
    connect(Model, &QAbstractItemModel::dataChanged, this, [this] {
        if (!EditPending()) ShowCurrentRecord();
    });

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);

    ConfirmDelete = [this] {
        return QMessageBox::question(this, windowTitle(), Tr("Diese Zeile löschen?"),
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    // The table is the main window's and may outlive this dialog: the
    // filter asks the dialog only while it exists.
    FTable.SetFilter([self = QPointer<TTranslateForm>(this)](const TDbfTable& t) {
        return !self || self->FilterRecord(t);
    });
    Model->Reload();
    SelectRow(0);
    UpdateButtons();
}

bool TTranslateForm::FilterRecord(const TDbfTable& table) const {
    std::string filter;
    // A search text the table cannot hold occurs in no row.
    if (!Cp1252FromUtf8(FilterEdit->text().toStdString(), filter)) return false;
    return RowMatchesFilter(table, AsciiUpper(filter));
}

std::int32_t TTranslateForm::CurrentRecNo() const {
    return Model->RecNo(FCurrentRow);
}

bool TTranslateForm::EditPending() const {
    return FInserting || DBEdit1->isModified();
}

void TTranslateForm::showEvent(QShowEvent* event) {
    // Lookups may have collected new texts since the last time.
    const std::int32_t recNo = CurrentRecNo();
    Model->Reload();
    SelectRow(std::max(0, Model->RowOf(recNo)));
    UpdateButtons();
    if (const QScreen* screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

void TTranslateForm::SelectRow(int row) {
    if (Model->rowCount() == 0) {
        FCurrentRow = -1;
        ShowCurrentRecord();
        return;
    }
    row = std::clamp(row, 0, Model->rowCount() - 1);
    const int column = std::max(0, DBGrid1->currentIndex().column());
    DBGrid1->setCurrentIndex(Model->index(row, column));
    CurrentRowChanged(row); // also when the row was current already
}

void TTranslateForm::CurrentRowChanged(int row) {
    if (row == FCurrentRow) return;
    // Leaving a row posts its pending change, as a data-bound edit does.
    PostPending();
    FCurrentRow = row;
    ShowCurrentRecord();
}

void TTranslateForm::ShowCurrentRecord() {
    const QModelIndex cell = Model->index(FCurrentRow, 0);
    DBEdit1->setText(cell.isValid() ? Model->data(cell).toString() : QString());
    DBEdit1->setModified(false);
    FInserting = false;
    if (const std::int32_t recNo = CurrentRecNo()) FTable.Go(recNo);
    UpdateButtons();
}

bool TTranslateForm::PostPending() {
    if (!EditPending()) return true;
    std::string bytes;
    QString refusal;
    if (!Model->CellBytes(0, DBEdit1->text(), bytes, refusal)) {
        ShowStatus(refusal);
        return false;
    }
    const bool inserting = FInserting;
    const std::int32_t recNo = CurrentRecNo();
    bool ok = inserting ? FTable.Append() : (recNo != 0 && FTable.Go(recNo));
    ok = ok && FTable.SetFieldText(0, bytes) && FTable.Post();
    if (!ok) {
        ShowStatus(QString::fromStdString(FTable.ErrorMessage()));
        FTable.Cancel();
        return false;
    }
    const std::int32_t posted = FTable.RecNo();
    DBEdit1->setModified(false);
    FInserting = false;
    if (inserting) {
        Model->Reload();
        const int row = Model->RowOf(posted);
        FCurrentRow = -1;
        if (row >= 0) {
            DBGrid1->setCurrentIndex(Model->index(row, 0));
            FCurrentRow = row;
        }
        ShowCurrentRecord();
    } else {
        Model->RefreshRecord(posted);
    }
    return true;
}

void TTranslateForm::UpdateButtons() {
    const bool writable = Model->Writable();
    const bool hasRow = FCurrentRow >= 0;
    FirstBtn->setEnabled(hasRow && FCurrentRow > 0);
    PriorBtn->setEnabled(hasRow && FCurrentRow > 0);
    NextBtn->setEnabled(hasRow && FCurrentRow < Model->rowCount() - 1);
    LastBtn->setEnabled(hasRow && FCurrentRow < Model->rowCount() - 1);
    InsertBtn->setEnabled(writable);
    DeleteBtn->setEnabled(writable && hasRow);
    EditBtn->setEnabled(writable && (hasRow || FInserting));
    PostBtn->setEnabled(writable);
    CancelBtn->setEnabled(writable);
    RefreshBtn->setEnabled(FTable.IsOpen());
    DBEdit1->setReadOnly(!writable || (!hasRow && !FInserting));
    if (!FTable.IsOpen())
        ShowStatus(Tr("Die Übersetzungstabelle ist nicht geöffnet."));
    else if (FTable.IsReadOnly())
        ShowStatus(Tr("Die Übersetzungstabelle ist schreibgeschützt."));
}

void TTranslateForm::ShowStatus(const QString& text) {
    StatusBar1->showMessage(text);
}

void TTranslateForm::NavFirst() {
    SelectRow(0);
}
void TTranslateForm::NavPrior() {
    SelectRow(FCurrentRow - 1);
}
void TTranslateForm::NavNext() {
    SelectRow(FCurrentRow + 1);
}
void TTranslateForm::NavLast() {
    SelectRow(Model->rowCount() - 1);
}

void TTranslateForm::NavInsert() {
    if (!Model->Writable() || !PostPending()) return;
    FInserting = true;
    DBEdit1->clear();
    DBEdit1->setReadOnly(false);
    DBEdit1->setFocus();
    UpdateButtons();
}

void TTranslateForm::NavDelete() {
    if (!Model->Writable()) return;
    if (FInserting) {
        NavCancel();
        return;
    }
    const std::int32_t recNo = CurrentRecNo();
    if (recNo == 0 || (ConfirmDelete && !ConfirmDelete())) return;
    DBEdit1->setModified(false);
    if (!FTable.Go(recNo) || !FTable.Delete()) {
        ShowStatus(QString::fromStdString(FTable.ErrorMessage()));
        return;
    }
    const int row = FCurrentRow;
    Model->Reload();
    FCurrentRow = -1;
    SelectRow(row);
}

void TTranslateForm::NavEdit() {
    DBEdit1->setFocus();
    DBEdit1->selectAll();
}

void TTranslateForm::NavPost() {
    PostPending();
}

void TTranslateForm::NavCancel() {
    // A grid cell is posted when its editor closes; what can still be
    // dropped is the record edit's text or a new row not yet posted.
    ShowCurrentRecord();
}

void TTranslateForm::NavRefresh() {
    if (!PostPending()) return;
    const std::int32_t recNo = CurrentRecNo();
    Model->Reload();
    FCurrentRow = -1;
    SelectRow(std::max(0, Model->RowOf(recNo)));
}

void TTranslateForm::FilterBtnClick() {
    PostPending();
    FTable.SetFiltered(!FilterEdit->text().isEmpty());
    Model->Reload();
    FCurrentRow = -1;
    SelectRow(0);
}

bool TTranslateForm::CommitCellEditor() {
    QWidget* editor = FDelegate->OpenEditor;
    if (!editor || !editor->isVisible()) return true;
    const int refusals = FRefusals;
    emit FDelegate->commitData(editor);
    emit FDelegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
    return FRefusals == refusals;
}

void TTranslateForm::AbandonCellEditor() {
    QWidget* editor = FDelegate->OpenEditor;
    if (editor && editor->isVisible())
        emit FDelegate->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void TTranslateForm::BackBtnClick() {
    // What the table refuses keeps the dialog open, with the reason in the
    // status bar, rather than being lost on the way out.
    if (!CommitCellEditor() || !PostPending()) return;
    accept();
}

void TTranslateForm::done(int result) {
    AbandonCellEditor();
    DBEdit1->setModified(false);
    FInserting = false;
    FTable.SetFiltered(false);
    Model->Reload();
    FCurrentRow = -1;
    SelectRow(0);
    QDialog::done(result);
}

} // namespace quirindo::ui
