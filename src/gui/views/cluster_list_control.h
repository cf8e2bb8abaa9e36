#pragma once

#include <QColor>
#include <QTableWidget>

#include <vector>

class CSpecimenRecord;

// The list in report mode that every cluster table fills: rows of text cells under a header,
// grid lines, one background colour, several rows selectable, and in place of the rows a short
// message while there are none. The cells are read-only; the owning view reacts to the Delete
// key, double clicks and context menus through the signals.
class CClusterListControl : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int RecordRole = Qt::UserRole;

    CClusterListControl(const QColor& background, bool fullRowSelect, QWidget* parent = nullptr);

    // Appends a column; its cells and header take the alignment. Returns its index.
    int InsertColumn(const QString& header, Qt::Alignment alignment);
    // Appends an empty row and returns its index.
    int AppendRow();
    void DeleteAllRowsAndColumns();
    void SizeColumns() { resizeColumnsToContents(); }

    void SetCellText(int row, int column, const QString& text);
    QString CellText(int row, int column) const;
    void SetRecord(int row, CSpecimenRecord* record);
    CSpecimenRecord* Record(int row) const;
    int FindRecord(const CSpecimenRecord* record) const;

    // Selected rows in row order.
    std::vector<int> SelectedRows() const;
    // Puts the rows into the new order: row i becomes the former row order[i].
    void ReorderRows(const std::vector<int>& order);

    // Clipboard texts: every cell followed by a tab and a line feed after each row; one column's
    // cells each followed by a line feed; one row's cells each followed by a tab.
    QString SheetText() const;
    QString ColumnText(int column) const;
    QString RowText(int row) const;

    // The viewport position of the message that stands in for an empty table.
    QRect EmptyMessageRect() const;

signals:
    void deleteKeyPressed();
    void doubleClickedAt(const QPoint& viewportPos);
    void contextMenuAt(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void PaintEmptyMessage();

    std::vector<Qt::Alignment> alignments_;
};
