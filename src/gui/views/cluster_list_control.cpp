#include "views/cluster_list_control.h"

#include "views/cluster_table_model.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionViewItem>

#include <algorithm>

namespace {
const char* const kEmptyMessage = "There are no specimens to show in this view.";
// The message starts this far below the header.
constexpr int kEmptyMessageGap = 10;
// Rows measured when the columns are sized: all of a small table, else this many spread
// evenly over it.
constexpr int kSampledRows = 200;
// Cells of the uniform columns measured: the first rows and columns of the table.
constexpr int kSampledBlock = 32;
// Free space above and below the text of a row.
constexpr int kRowPadding = 4;
} // namespace

CClusterListControl::CClusterListControl(const QColor& background, bool fullRowSelect,
                                         QWidget* parent)
    : QTableView(parent) {
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(fullRowSelect ? QAbstractItemView::SelectRows
                                       : QAbstractItemView::SelectItems);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(0);
    rows->setDefaultSectionSize(fontMetrics().height() + kRowPadding);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        horizontalHeader(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { emit contextMenuAt(horizontalHeader()->mapToGlobal(pos)); });
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    setPalette(colours);
}

void CClusterListControl::SetTableModel(CClusterTableModel* model) {
    model_ = model;
    setModel(model);
}

std::vector<int> CClusterListControl::SampleRows() const {
    const int count = model_ ? model_->RowCount() : 0;
    std::vector<int> rows;
    if (count <= kSampledRows) {
        for (int row = 0; row < count; ++row)
            rows.push_back(row);
        return rows;
    }
    for (int i = 0; i < kSampledRows; ++i)
        rows.push_back(static_cast<int>(static_cast<long long>(i) * (count - 1) /
                                        (kSampledRows - 1)));
    return rows;
}

// The widest text is found by measuring; the cell holding it is then sized as the delegate
// draws it, with its margins and the grid line.
int CClusterListControl::ColumnWidth(int column, const std::vector<int>& rows) const {
    const QFontMetrics metrics(font());
    int widest = -1;
    int widestRow = -1;
    for (int row : rows) {
        const int width = metrics.horizontalAdvance(model_->CellText(row, column));
        if (width > widest) {
            widest = width;
            widestRow = row;
        }
    }
    int width = horizontalHeader()->sectionSizeHint(column);
    if (widestRow >= 0) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QSize cell = itemDelegate()->sizeHint(option, model_->index(widestRow, column));
        width = std::max(width, cell.width() + (showGrid() ? 1 : 0));
    }
    return width;
}

// The uniform width goes first: a new default size applies to every column.
void CClusterListControl::SizeColumns() {
    if (!model_)
        return;
    const int columns = model_->ColumnCount();
    const int uniform = std::min(model_->FirstUniformColumn(), columns);
    if (uniform < columns) {
        std::vector<int> block;
        for (int row = 0; row < std::min(model_->RowCount(), kSampledBlock); ++row)
            block.push_back(row);
        // The widest header number is the last one.
        int width = horizontalHeader()->sectionSizeHint(std::max(uniform, columns - 2));
        for (int column = uniform; column < std::min(columns, uniform + kSampledBlock); ++column)
            width = std::max(width, ColumnWidth(column, block));
        horizontalHeader()->setDefaultSectionSize(width);
        for (int column = uniform; column < columns; ++column)
            if (horizontalHeader()->sectionSize(column) != width)
                setColumnWidth(column, width);
    }
    const std::vector<int> rows = SampleRows();
    for (int column = 0; column < uniform; ++column)
        setColumnWidth(column, ColumnWidth(column, rows));
}

void CClusterListControl::SizeColumn(int column) {
    if (model_ && column >= 0 && column < model_->ColumnCount())
        setColumnWidth(column, ColumnWidth(column, SampleRows()));
}

// From the selection's ranges, not from every selected cell.
std::vector<int> CClusterListControl::SelectedRows() const {
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

void CClusterListControl::SelectRow(int row, bool addToSelection) {
    if (!model_ || row < 0 || row >= model_->RowCount())
        return;
    const QModelIndex index = model_->index(row, 0);
    const auto rows = QItemSelectionModel::Rows;
    if (addToSelection)
        selectionModel()->select(index, QItemSelectionModel::Select | rows);
    else
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | rows);
}

QRect CClusterListControl::EmptyMessageRect() const {
    return viewport()->rect().adjusted(0, kEmptyMessageGap, 0, 0);
}

void CClusterListControl::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (!model_ || model_->RowCount() == 0)
        PaintEmptyMessage();
}

// Drawn in the system's window colours and font, not the table's own background.
void CClusterListControl::PaintEmptyMessage() {
    QPainter painter(viewport());
    const QPalette system = QApplication::palette();
    const QRect area = EmptyMessageRect();
    painter.fillRect(area, system.color(QPalette::Base));
    painter.setPen(system.color(QPalette::Text));
    painter.setFont(QApplication::font());
    painter.drawText(area, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, kEmptyMessage);
}

void CClusterListControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete)
        emit deleteKeyPressed();
    QTableView::keyPressEvent(event);
}

// The view acts first; the list's own handling follows in every case.
void CClusterListControl::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClickedAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
}

void CClusterListControl::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuAt(event->globalPos());
    event->accept();
}
