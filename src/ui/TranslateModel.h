#pragma once
// The translation table as a grid model: one row per visible record (the
// table's filter applies), one column per field. Cells are read once per
// Reload and shown in UTF-8; an edited cell is written to the record and
// posted at once, so it is on disk before the editor moves on.

#include <QAbstractTableModel>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace quirindo {
class TDbfTable;
}

namespace quirindo::ui {

class TTranslationModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TTranslationModel(TDbfTable& table, QObject* parent = nullptr);

    // Reads the visible rows afresh, as closing and reopening the table does.
    void Reload();
    // Re-reads one record after it was changed from outside the grid.
    void RefreshRecord(std::int32_t recNo);
    bool Writable() const;

    std::int32_t RecNo(int row) const;
    int RowOf(std::int32_t recNo) const; // -1 when not visible

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The bytes a cell of `column` holds as the table stores them, or a
    // message (ready to show) why the text cannot be stored there whole.
    bool CellBytes(int column, const QString& text, std::string& bytes, QString& refusal) const;

signals:
    // A cell could not be stored; `reason` is ready to show.
    void EditRefused(const QString& reason);

private:
    QStringList ReadRecord(std::int32_t recNo);

    TDbfTable& FTable;
    std::vector<std::int32_t> FRecNos;
    std::vector<QStringList> FCells;
};

} // namespace quirindo::ui
