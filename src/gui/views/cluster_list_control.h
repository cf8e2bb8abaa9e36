#pragma once

#include <QColor>
#include <QTableView>

#include <vector>

class CClusterTableModel;

// The list in report mode that shows a cluster table: rows of text cells under a header, grid
// lines, one background colour, several rows selectable, and in place of the rows a short
// message while there are none. Rows have one height taken from the font, never measured per
// cell, and columns are sized from a sample of rows, so the cost does not grow with the table.
// The cells are read-only; the owning view reacts to the Delete key, double clicks and context
// menus through the signals.
class CClusterListControl : public QTableView {
    Q_OBJECT

public:
    CClusterListControl(const QColor& background, bool fullRowSelect, QWidget* parent = nullptr);

    void SetTableModel(CClusterTableModel* model);
    CClusterTableModel* TableModel() const { return model_; }

    // Each column as wide as its header and the widest of its cells in a sample of rows; the
    // model's uniform columns share the width of the widest cell of the first block.
    void SizeColumns();
    void SizeColumn(int column);

    // Selected rows in row order.
    std::vector<int> SelectedRows() const;
    void SelectRow(int row, bool addToSelection);

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
    int ColumnWidth(int column, const std::vector<int>& rows) const;
    std::vector<int> SampleRows() const;

    CClusterTableModel* model_ = nullptr;
};
