#include "views/cluster_pairwise_view.h"

#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"
#include "document/carinova_doc.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"

namespace {
// Light blue behind the pairwise tables.
const QColor kPairwiseBackground(135, 205, 250);
} // namespace

CClusterPairwiseView::CClusterPairwiseView(CCarinovaDoc& doc, Measure measure, QWidget* parent)
    : CClusterTableView(doc, kPairwiseBackground, false, parent), measure_(measure) {}

void CClusterPairwiseView::OnUpdate(CView* sender, int hint, CObject* object) {
    (void)sender;
    (void)object;
    if (hint != hintClusterInserted && hint != hintClusterRemoved &&
        hint != hintClusterRecalculated)
        return;
    m_wndList->setUpdatesEnabled(false);
    FillTable();
    m_wndList->setUpdatesEnabled(true);
    m_wndList->viewport()->update();
}

std::vector<float>
CClusterPairwiseView::ComputeMatrix(const std::vector<const CApproxSpecimen*>& approx) const {
    switch (measure_) {
    case Measure::AreaDorsal:
        return PairwiseSideAreas(approx, CSplineSide::Dorsal);
    case Measure::AreaVentral:
        return PairwiseSideAreas(approx, CSplineSide::Ventral);
    case Measure::AreaTotal:
        return PairwiseTotalAreas(approx);
    case Measure::MeanDelta:
        break;
    }
    return PairwiseRmsMatrix(approx, doc_.GetClusterParameter().ControlPointsCnt);
}

void CClusterPairwiseView::FillTable() {
    m_wndList->DeleteAllRowsAndColumns();
    const std::vector<CSpecimenRecord*>& cluster = doc_.GetClusterList();
    if (cluster.empty())
        return;
    const int count = static_cast<int>(cluster.size());
    m_wndList->InsertColumn(QStringLiteral("Specimen"), Qt::AlignLeft);
    for (int k = 1; k <= count; ++k)
        m_wndList->InsertColumn(QString::number(k), Qt::AlignHCenter);
    m_wndList->InsertColumn(QString(), Qt::AlignHCenter);

    std::vector<const CApproxSpecimen*> approx;
    for (CSpecimenRecord* record : cluster) {
        const int row = m_wndList->AppendRow();
        m_wndList->SetCellText(row, 0,
                               QString::fromStdString(record->GetSpecimen()->ShortPathName));
        approx.push_back(record->GetClusterApproximation());
    }
    std::vector<float> matrix;
    {
        CWaitCursor wait(doc_.GetInteraction());
        matrix = ComputeMatrix(approx);
    }
    bool notComputable = false;
    for (int row = 0; row < count; ++row) {
        for (int column = 0; column < count; ++column) {
            const float value = matrix[static_cast<std::size_t>(row * count + column)];
            const bool nc = IsArea() && value < 0.0f;
            notComputable = notComputable || nc;
            m_wndList->SetCellText(row, column + 1, nc ? QStringLiteral("n.c.") : Number(value));
        }
    }
    if (notComputable)
        ShowError("One or several specimens cannot be calculated");
    m_wndList->SizeColumns();
}
