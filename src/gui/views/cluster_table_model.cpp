#include "views/cluster_table_model.h"

#include "record_variant.h"

int CClusterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int CClusterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant CClusterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return static_cast<int>(ColumnAlignment(index.column()) | Qt::AlignVCenter);
    case RecordRole:
        return RecordVariant(Record(index.row()));
    default:
        return {};
    }
}

QVariant CClusterTableModel::headerData(int section, Qt::Orientation orientation,
                                        int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    if (role == Qt::DisplayRole)
        return HeaderText(section);
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(ColumnAlignment(section) | Qt::AlignVCenter);
    return {};
}

QString CClusterTableModel::SheetText() const {
    QString text;
    for (int row = 0; row < RowCount(); ++row)
        text += RowText(row) + QLatin1Char('\n');
    return text;
}

QString CClusterTableModel::ColumnText(int column) const {
    QString text;
    for (int row = 0; row < RowCount(); ++row)
        text += CellText(row, column) + QLatin1Char('\n');
    return text;
}

QString CClusterTableModel::RowText(int row) const {
    QString text;
    for (int column = 0; column < ColumnCount(); ++column)
        text += CellText(row, column) + QLatin1Char('\t');
    return text;
}
