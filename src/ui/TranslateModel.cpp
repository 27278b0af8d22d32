#include "TranslateModel.h"

#include "Cp1252Utf8.h"
#include "DbfTable.h"
#include "Messages.h"

#include <algorithm>

namespace quirindo::ui {

TTranslationModel::TTranslationModel(TDbfTable& table, QObject* parent)
    : QAbstractTableModel(parent), FTable(table) {}

bool TTranslationModel::Writable() const {
    return FTable.IsOpen() && !FTable.IsReadOnly();
}

QStringList TTranslationModel::ReadRecord(std::int32_t recNo) {
    QStringList cells;
    const int fields = static_cast<int>(FTable.Fields().size());
    const bool found = FTable.Go(recNo);
    for (int c = 0; c < fields; ++c)
        cells << (found ? QString::fromStdString(Utf8FromCp1252(FTable.FieldText(c))) : QString());
    return cells;
}

void TTranslationModel::Reload() {
    beginResetModel();
    FRecNos = FTable.VisibleRecNos();
    FCells.clear();
    FCells.reserve(FRecNos.size());
    for (const std::int32_t recNo : FRecNos)
        FCells.push_back(ReadRecord(recNo));
    endResetModel();
}

void TTranslationModel::RefreshRecord(std::int32_t recNo) {
    const int row = RowOf(recNo);
    if (row < 0) return;
    FCells[static_cast<std::size_t>(row)] = ReadRecord(recNo);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

std::int32_t TTranslationModel::RecNo(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return FRecNos[static_cast<std::size_t>(row)];
}

int TTranslationModel::RowOf(std::int32_t recNo) const {
    const auto it = std::find(FRecNos.begin(), FRecNos.end(), recNo);
    return it == FRecNos.end() ? -1 : static_cast<int>(it - FRecNos.begin());
}

int TTranslationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(FRecNos.size());
}

int TTranslationModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !FTable.IsOpen() ? 0 : static_cast<int>(FTable.Fields().size());
}

QVariant TTranslationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    const QStringList& row = FCells[static_cast<std::size_t>(index.row())];
    return index.column() < row.size() ? row[index.column()] : QString();
}

QVariant TTranslationModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    return QString::fromStdString(FTable.Fields()[static_cast<std::size_t>(section)].Name)
        .toLower();
}

Qt::ItemFlags TTranslationModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && Writable()) f |= Qt::ItemIsEditable;
    return f;
}

bool TTranslationModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || !Writable()) return false;
    const QString text = value.toString();
    if (text == data(index, Qt::EditRole).toString()) return true;
    std::string bytes;
    QString refusal;
    if (!CellBytes(index.column(), text, bytes, refusal)) {
        emit EditRefused(refusal);
        return false;
    }
    const std::int32_t recNo = RecNo(index.row());
    if (!FTable.Go(recNo) || !FTable.SetFieldText(index.column(), bytes) || !FTable.Post()) {
        const QString reason = QString::fromStdString(FTable.ErrorMessage());
        FTable.Cancel();
        emit EditRefused(reason);
        return false;
    }
    RefreshRecord(recNo); // shows the text as stored
    return true;
}

bool TTranslationModel::CellBytes(int column, const QString& text, std::string& bytes,
                                  QString& refusal) const {
    if (!Cp1252FromUtf8(text.toStdString(), bytes)) {
        refusal = QString::fromStdString(TranslateUtf8(
            "Der Text enthält Zeichen, die die Übersetzungstabelle nicht speichern kann."));
        return false;
    }
    const auto& fields = FTable.Fields();
    if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) return true;
    const auto width = static_cast<std::size_t>(fields[static_cast<std::size_t>(column)].Width);
    // The table would keep only the first bytes; a translation cut short
    // must not go in unnoticed.
    if (bytes.size() > width) {
        refusal = QString::fromStdString(
                      TranslateUtf8("Der Text ist %1 Zeichen lang; eine Zelle der "
                                    "Übersetzungstabelle fasst höchstens %2 Zeichen."))
                      .arg(bytes.size())
                      .arg(width);
        return false;
    }
    return true;
}

} // namespace quirindo::ui
