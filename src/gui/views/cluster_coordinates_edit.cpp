// What the user does in the coordinates table: the context menu and its copies and sort,
// editing a control point.
#include "views/cluster_coordinates_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "model/approx_sheet.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"

#include <QHeaderView>
#include <QMenu>

bool CClusterCoordinatesView::OnCommand(int id) {
    switch (id) {
    case ID_CLUSTER_COPY_COLUMN:
        if (ClickedColumn() >= 0)
            CopyToClipboard(coordinates_->ColumnText(ClickedColumn()));
        return true;
    case ID_CLUSTER_SORT_COLUMN:
        SortByColumn(ClickedColumn());
        return true;
    case ID_CLUSTER_COPY_SPECIMEN:
        if (ClickedRow() >= 0)
            CopyToClipboard(coordinates_->RowText(ClickedRow()));
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
    m_wndList->SelectRow(index.row(), true);
}

// Columns 10 to 2n + 9 hold the points: dorsal 0 to n (n being m2), then ventral 1 to n - 1.
// The outer points m1 and m2 belong to both curves and keep their y.
void CClusterCoordinatesView::EditControlPointAt(const QPoint& viewportPos) {
    const QModelIndex index = m_wndList->indexAt(viewportPos);
    const int n = PointCount();
    const int first = CCoordinatesTableModel::ColFirstPoint;
    if (!index.isValid() || index.column() < first || index.column() > 2 * n + 9)
        return;
    CSpecimenRecord* record = coordinates_->Record(index.row());
    CApproxSpecimen* approx = record ? record->GetClusterApproximation() : nullptr;
    if (!approx)
        return;
    const int a = index.column() - first;
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
    coordinates_->RefreshPoints(index.row());
    m_wndList->SizeColumn(index.column());
    doc_.SetReferenceRecord(doc_.GetReferenceRecord());
}
