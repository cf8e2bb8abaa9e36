#pragma once

#include <QAbstractTableModel>
#include <QString>

class CSpecimenRecord;

// The numbers of one cluster table as a model: a header and an alignment per column, and each
// cell's text made only when the cell is read (drawn, measured or copied), so a table of ten
// thousand rows costs what its visible part costs.
class CClusterTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The row's record (CSpecimenRecord*), for the rows that stand for one.
    static constexpr int RecordRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    virtual int RowCount() const = 0;
    virtual int ColumnCount() const = 0;
    virtual QString CellText(int row, int column) const = 0;
    virtual QString HeaderText(int column) const = 0;
    virtual Qt::Alignment ColumnAlignment(int column) const = 0;
    virtual CSpecimenRecord* Record(int row) const {
        (void)row;
        return nullptr;
    }
    // The columns from this one on hold numbers of one kind and share one width.
    virtual int FirstUniformColumn() const { return ColumnCount(); }
    // Whether a cell shows "n.c.".
    virtual bool HasNotComputable() const = 0;

    // Clipboard texts: every cell followed by a tab and a line feed after each row; one
    // column's cells each followed by a line feed; one row's cells each followed by a tab.
    virtual QString SheetText() const;
    QString ColumnText(int column) const;
    QString RowText(int row) const;
};
