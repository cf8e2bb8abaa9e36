#include "views/cluster_coordinates_view.h"

#include "document/carinova_doc.h"
#include "views/cluster_list_control.h"

#include <QHeaderView>

namespace {
// Light yellow behind the coordinates table.
const QColor kCoordinatesBackground(251, 236, 187);
} // namespace

CClusterCoordinatesView::CClusterCoordinatesView(CCarinovaDoc& doc, QWidget* parent)
    : CClusterTableView(doc, kCoordinatesBackground, true, parent),
      coordinates_(new CCoordinatesTableModel(doc, this)) {
    SetModel(coordinates_);
    connect(m_wndList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CClusterCoordinatesView::SortByColumn);
    connect(m_wndList, &CClusterListControl::deleteKeyPressed, this,
            &CClusterCoordinatesView::DeleteSelectedRecords);
    connect(m_wndList, &CClusterListControl::doubleClickedAt, this,
            &CClusterCoordinatesView::EditControlPointAt);
}

const char* CClusterCoordinatesView::NotComputableText() const {
    return "One or several Area-parameters cannot be calculated";
}

void CClusterCoordinatesView::FillTable() {
    coordinates_->Rebuild();
    if (doc_.GetClusterSelection())
        SelectRecord(doc_.GetClusterSelection());
}

// The singular wording of a change, as against the plural of a build.
void CClusterCoordinatesView::ReportNotComputable() {
    ReportOnce("One or several Area-parameter cannot be calculated");
}

// Rows follow the hints one by one; the column widths, the note and any message wait for the
// end of the action.
void CClusterCoordinatesView::OnUpdate(CView* sender, int hint, CObject* object) {
    (void)sender;
    // The mean record of hint 13 is already destroyed: it is only a key here.
    auto* record = static_cast<CSpecimenRecord*>(object);
    switch (hint) {
    case hintClusterInserted:
    case hintMeanCalculated:
        if (!record)
            break;
        coordinates_->AppendRecord(record);
        if (hint == hintClusterInserted &&
            coordinates_->RowHasNotComputable(coordinates_->RowCount() - 1))
            ReportNotComputable();
        ScheduleSizing();
        break;
    case hintClusterRemoved:
    case hintMeanRemoved:
        coordinates_->RemoveRecord(record);
        ScheduleNote();
        break;
    case hintReferenceChanged:
        coordinates_->ShowComparisons(record != nullptr);
        if (coordinates_->HasNotComputable())
            ReportNotComputable();
        ScheduleSizing();
        break;
    case hintClusterSelectionChanged:
        if (record)
            SelectRecord(record);
        break;
    case hintClusterRecalculated:
        Build(true);
        break;
    case hintContentsReplaced:
        Build(false);
        break;
    default:
        break;
    }
}

void CClusterCoordinatesView::SelectRecord(const CSpecimenRecord* record) {
    m_wndList->SelectRow(coordinates_->RowOf(record), false);
}

void CClusterCoordinatesView::SortByColumn(int column) {
    coordinates_->SortByColumn(column);
}

std::vector<CSpecimenRecord*> CClusterCoordinatesView::SelectedRecords() const {
    std::vector<CSpecimenRecord*> records;
    for (int row : m_wndList->SelectedRows())
        if (CSpecimenRecord* record = coordinates_->Record(row))
            records.push_back(record);
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
