// What the user does in the coordinates table: sorting, the context menu and its copies,
// deleting rows, editing a control point and exporting the selected rows.
#include "views/cluster_coordinates_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "model/approx_sheet.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"

#include <QHeaderView>
#include <QMenu>

#include <numeric>

bool CClusterCoordinatesView::OnCommand(int id) {
    switch (id) {
    case ID_CLUSTER_COPY_COLUMN:
        if (ClickedColumn() >= 0)
            CopyToClipboard(m_wndList->ColumnText(ClickedColumn()));
        return true;
    case ID_CLUSTER_SORT_COLUMN:
        SortByColumn(ClickedColumn());
        return true;
    case ID_CLUSTER_COPY_SPECIMEN:
        if (ClickedRow() >= 0)
            CopyToClipboard(m_wndList->RowText(ClickedRow()));
        return true;
    case ID_CLUSTER_EXPORT:
        ExportSelectedRows();
        return true;
    default:
        return CClusterTableView::OnCommand(id);
    }
}

bool CClusterCoordinatesView::OnUpdateCommand(int id, bool& enabled) const {
    switch (id) {
    case ID_CLUSTER_COPY_COLUMN:
    case ID_CLUSTER_SORT_COLUMN:
        enabled = m_bHeaderHit;
        return true;
    case ID_CLUSTER_COPY_SPECIMEN:
        enabled = m_bRowHit;
        return true;
    case ID_CLUSTER_EXPORT:
        enabled = true;
        return true;
    default:
        return CClusterTableView::OnUpdateCommand(id, enabled);
    }
}

std::unique_ptr<QMenu> CClusterCoordinatesView::CreateContextMenu() const {
    return BuildTableMenu(m_bHeaderHit, m_bHeaderHit, m_bRowHit);
}

// A row under the click joins the selection.
void CClusterCoordinatesView::HitTestContextPosition(const QPoint& globalPos) {
    m_nClickedColumn = m_nClickedRow = -1;
    m_bHeaderHit = m_bRowHit = false;
    const QHeaderView* header = m_wndList->horizontalHeader();
    const QPoint inHeader = header->mapFromGlobal(globalPos);
    if (header->rect().contains(inHeader)) {
        m_nClickedColumn = header->logicalIndexAt(inHeader);
        m_bHeaderHit = m_nClickedColumn >= 0;
        if (m_bHeaderHit)
            return;
    }
    const QModelIndex index = m_wndList->indexAt(m_wndList->viewport()->mapFromGlobal(globalPos));
    if (!index.isValid())
        return;
    m_nClickedRow = index.row();
    m_bRowHit = true;
    m_wndList->selectionModel()->select(index,
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Negative: the first row goes before the second; zero: the cells do not decide.
int CClusterCoordinatesView::CompareCells(int column, int first, int second) const {
    const QString a = m_wndList->CellText(first, column);
    const QString b = m_wndList->CellText(second, column);
    if (column == ColNr)
        return (a.toInt() > b.toInt()) - (a.toInt() < b.toInt());
    if (column == ColSpecimen)
        return QString::compare(a, b, Qt::CaseInsensitive);
    if (column > ColLastValue || a.isEmpty() || b.isEmpty())
        return 0;
    const QLatin1String nc("n.c.");
    if (a == nc)
        return 1;
    if (b == nc)
        return -1;
    return doc_.ParseLocalizedNumber(a.toStdString()) >= doc_.ParseLocalizedNumber(b.toStdString())
               ? 1
               : -1;
}

// An insertion sort: stable, and well defined even where the cell comparison is not a strict
// ordering (empty cells, several "n.c.").
void CClusterCoordinatesView::SortByColumn(int column) {
    if (column < 0 || column >= m_wndList->columnCount())
        return;
    std::vector<int> order(static_cast<std::size_t>(m_wndList->rowCount()));
    std::iota(order.begin(), order.end(), 0);
    for (std::size_t i = 1; i < order.size(); ++i) {
        for (std::size_t j = i; j > 0 && CompareCells(column, order[j], order[j - 1]) < 0; --j)
            std::swap(order[j], order[j - 1]);
    }
    if (!std::is_sorted(order.begin(), order.end()))
        m_wndList->ReorderRows(order);
}

std::vector<CSpecimenRecord*> CClusterCoordinatesView::SelectedRecords() const {
    std::vector<CSpecimenRecord*> records;
    for (int row : m_wndList->SelectedRows()) {
        if (CSpecimenRecord* record = m_wndList->Record(row))
            records.push_back(record);
    }
    return records;
}

// No question is asked; the rows go through the document's hints.
void CClusterCoordinatesView::DeleteSelectedRecords() {
    for (CSpecimenRecord* record : SelectedRecords()) {
        if (record == doc_.GetClusterParameter().GetMeanRecord())
            doc_.RemoveMeanSpecimen();
        else
            doc_.RemoveFromCluster(record);
    }
}

void CClusterCoordinatesView::ExportSelectedRows() {
    doc_.ExportClusterData(SelectedRecords());
}

// Columns 10 to 2n + 9 hold the points: dorsal 0 to n (n being m2), then ventral 1 to n - 1.
// The outer points m1 and m2 belong to both curves and keep their y.
void CClusterCoordinatesView::EditControlPointAt(const QPoint& viewportPos) {
    const QModelIndex index = m_wndList->indexAt(viewportPos);
    const int n = m_nPoints;
    if (!index.isValid() || index.column() < ColFirstPoint || index.column() > 2 * n + 9)
        return;
    CSpecimenRecord* record = m_wndList->Record(index.row());
    CApproxSpecimen* approx = record ? record->GetClusterApproximation() : nullptr;
    if (!approx)
        return;
    const int a = index.column() - ColFirstPoint;
    const bool dorsal = a <= n;
    std::vector<FPoint>& curve =
        dorsal ? approx->ApproxUpper.ControlPoints : approx->ApproxLower.ControlPoints;
    const auto at = static_cast<std::size_t>(dorsal ? a : a - n);
    const bool outer = a == 0 || a == n;
    std::vector<FPoint>& other = approx->ApproxLower.ControlPoints;
    const auto shared = static_cast<std::size_t>(n - a);
    if (at >= curve.size() || (outer && shared >= other.size()))
        return;
    CControlPointDialog dialog;
    dialog.caption = "Control points";
    dialog.m_fX = curve[at].x;
    dialog.m_fY = curve[at].y;
    dialog.m_bYEnabled = !outer;
    if (!doc_.GetInteraction().DoModal(dialog))
        return;
    const FPoint edited(dialog.m_fX, outer ? curve[at].y : dialog.m_fY);
    curve[at] = edited;
    if (outer)
        other[shared] = edited;
    m_wndList->SetCellText(index.row(), index.column(), PointText(edited));
    m_wndList->resizeColumnToContents(index.column());
    doc_.SetReferenceRecord(doc_.GetReferenceRecord());
}
