#include "views/cluster_list_control.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {
const char* const kEmptyMessage = "There are no specimens to show in this view.";
// The message starts this far below the header.
constexpr int kEmptyMessageGap = 10;
} // namespace

CClusterListControl::CClusterListControl(const QColor& background, bool fullRowSelect,
                                         QWidget* parent)
    : QTableWidget(parent) {
    setShowGrid(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(fullRowSelect ? QAbstractItemView::SelectRows
                                       : QAbstractItemView::SelectItems);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(
        horizontalHeader(), &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { emit contextMenuAt(horizontalHeader()->mapToGlobal(pos)); });
    QPalette colours = palette();
    colours.setColor(QPalette::Base, background);
    setPalette(colours);
}

int CClusterListControl::InsertColumn(const QString& header, Qt::Alignment alignment) {
    const int column = columnCount();
    insertColumn(column);
    auto* item = new QTableWidgetItem(header);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    setHorizontalHeaderItem(column, item);
    alignments_.push_back(alignment);
    return column;
}

int CClusterListControl::AppendRow() {
    const int row = rowCount();
    insertRow(row);
    return row;
}

void CClusterListControl::DeleteAllRowsAndColumns() {
    clear();
    setRowCount(0);
    setColumnCount(0);
    alignments_.clear();
}

void CClusterListControl::SetCellText(int row, int column, const QString& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return;
    if (QTableWidgetItem* existing = item(row, column)) {
        existing->setText(text);
        return;
    }
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignments_[static_cast<std::size_t>(column)] | Qt::AlignVCenter);
    setItem(row, column, cell);
}

QString CClusterListControl::CellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CClusterListControl::SetRecord(int row, CSpecimenRecord* record) {
    if (!item(row, 0))
        SetCellText(row, 0, QString());
    if (QTableWidgetItem* cell = item(row, 0))
        cell->setData(RecordRole, QVariant::fromValue(static_cast<void*>(record)));
}

CSpecimenRecord* CClusterListControl::Record(int row) const {
    const QTableWidgetItem* cell = item(row, 0);
    return cell ? static_cast<CSpecimenRecord*>(cell->data(RecordRole).value<void*>()) : nullptr;
}

int CClusterListControl::FindRecord(const CSpecimenRecord* record) const {
    for (int row = 0; row < rowCount(); ++row) {
        if (Record(row) == record)
            return row;
    }
    return -1;
}

std::vector<int> CClusterListControl::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

// The selection travels with its rows.
void CClusterListControl::ReorderRows(const std::vector<int>& order) {
    const int rows = rowCount();
    const int columns = columnCount();
    const std::vector<int> selected = SelectedRows();
    std::vector<std::vector<QTableWidgetItem*>> taken(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            taken[static_cast<std::size_t>(row)].push_back(takeItem(row, column));
    }
    clearSelection();
    for (int row = 0; row < rows; ++row) {
        const int from = order[static_cast<std::size_t>(row)];
        for (int column = 0; column < columns; ++column)
            setItem(row, column,
                    taken[static_cast<std::size_t>(from)][static_cast<std::size_t>(column)]);
        if (std::binary_search(selected.begin(), selected.end(), from))
            selectionModel()->select(model()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

QString CClusterListControl::SheetText() const {
    QString text;
    for (int row = 0; row < rowCount(); ++row)
        text += RowText(row) + QLatin1Char('\n');
    return text;
}

QString CClusterListControl::ColumnText(int column) const {
    QString text;
    for (int row = 0; row < rowCount(); ++row)
        text += CellText(row, column) + QLatin1Char('\n');
    return text;
}

QString CClusterListControl::RowText(int row) const {
    QString text;
    for (int column = 0; column < columnCount(); ++column)
        text += CellText(row, column) + QLatin1Char('\t');
    return text;
}

QRect CClusterListControl::EmptyMessageRect() const {
    return viewport()->rect().adjusted(0, kEmptyMessageGap, 0, 0);
}

void CClusterListControl::paintEvent(QPaintEvent* event) {
    QTableWidget::paintEvent(event);
    if (rowCount() == 0)
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
    QTableWidget::keyPressEvent(event);
}

// The view acts first; the list's own handling follows in every case.
void CClusterListControl::mouseDoubleClickEvent(QMouseEvent* event) {
    emit doubleClickedAt(event->position().toPoint());
    QTableWidget::mouseDoubleClickEvent(event);
}

void CClusterListControl::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuAt(event->globalPos());
    event->accept();
}
