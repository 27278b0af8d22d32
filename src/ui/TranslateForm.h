#pragma once
// The translation editor: a record navigator, the German text of the current
// row, a search over all columns and a grid of every column of
// translate.dbf. It edits the main window's open table in place; every
// change is posted, and so on disk, before the editor moves on or closes.

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableView;
class QToolButton;
class QWidget;

namespace quirindo {
class TDbfTable;
}

namespace quirindo::ui {

class TCellDelegate;
class TTranslationModel;

// Upper case for the search: only a to z become A to Z; umlauts, ß and
// accented letters are compared as they are.
std::string AsciiUpper(std::string_view bytes);
// True when `upperFilter` (already upper-cased, Windows-1252) occurs in any
// field of the table's current row.
bool RowMatchesFilter(const TDbfTable& table, std::string_view upperFilter);

class TTranslateForm : public QDialog {
    Q_OBJECT
public:
    explicit TTranslateForm(TDbfTable& table, QWidget* parent = nullptr);

    QWidget* Panel1 = nullptr;
    QWidget* DBNavigator1 = nullptr;
    QToolButton *FirstBtn = nullptr, *PriorBtn = nullptr, *NextBtn = nullptr, *LastBtn = nullptr,
                *InsertBtn = nullptr, *DeleteBtn = nullptr, *EditBtn = nullptr, *PostBtn = nullptr,
                *CancelBtn = nullptr, *RefreshBtn = nullptr;
    QPushButton* BackBtn = nullptr;
    QLineEdit* DBEdit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLineEdit* FilterEdit = nullptr;
    QPushButton* FilterBtn = nullptr;
    QTableView* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TTranslationModel* Model = nullptr;

    // Asked before a row is deleted; tests answer it.
    std::function<bool()> ConfirmDelete;

    // The record filter of the table while filtering is on.
    bool FilterRecord(const TDbfTable& table) const;

    void BackBtnClick();
    void FilterBtnClick();

    // Record navigator.
    void NavFirst();
    void NavPrior();
    void NavNext();
    void NavLast();
    void NavInsert();
    void NavDelete();
    void NavEdit();
    void NavPost();
    void NavCancel();
    void NavRefresh();

    // The physical record number of the current row; 0 when there is none.
    std::int32_t CurrentRecNo() const;
    // Whether the record edit holds a change (or a new row) not yet posted.
    bool EditPending() const;

    // "Zurück..." posts a pending edit (of the record edit or of an open grid
    // cell) before it closes; Escape and the close box drop it. Every way of
    // closing switches filtering off, so the lookup and the next opening see
    // all rows.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SelectRow(int row);
    void CurrentRowChanged(int row);
    void ShowCurrentRecord();
    bool PostPending();
    // The grid cell being typed into: stored (true unless refused) or
    // dropped.
    bool CommitCellEditor();
    void AbandonCellEditor();
    void UpdateButtons();
    void ShowStatus(const QString& text);

    TDbfTable& FTable;
    std::string FUpperFilter; // the search text as the filter compares it
    bool FFilterUsable = true;
    bool FInserting = false;
    int FCurrentRow = -1;
    int FRefusals = 0; // edits the model refused so far
    TCellDelegate* FDelegate = nullptr;
};

} // namespace quirindo::ui
