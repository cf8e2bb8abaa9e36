#include "views/cluster_pairwise_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/user_interaction.h"
#include "views/cluster_list_control.h"

#include <QHeaderView>

namespace {
// Light blue behind the pairwise tables.
const QColor kPairwiseBackground(135, 205, 250);
} // namespace

CClusterPairwiseView::CClusterPairwiseView(CCarinovaDoc& doc, Measure measure, QWidget* parent)
    : CClusterTableView(doc, kPairwiseBackground, false, parent),
      pairwise_(new CPairwiseTableModel(doc, measure, this)) {
    SetModel(pairwise_);
    connect(m_wndList->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) {
                CWaitCursor wait(doc_.GetInteraction());
                pairwise_->SortByColumn(column);
            });
}

// The table holds its own copy of the cluster, so it may wait for the end of the action.
void CClusterPairwiseView::OnUpdate(CView* sender, int hint, CObject* object) {
    (void)sender;
    (void)object;
    switch (hint) {
    case hintClusterInserted:
    case hintClusterRemoved:
    case hintClusterRecalculated:
    case hintContentsReplaced:
        ScheduleRebuild();
        break;
    default:
        break;
    }
}

void CClusterPairwiseView::FillTable() {
    CWaitCursor wait(doc_.GetInteraction());
    pairwise_->Rebuild();
}

const char* CClusterPairwiseView::NotComputableText() const {
    return "One or several specimens cannot be calculated";
}

bool CClusterPairwiseView::OnCommand(int id) {
    if (id == ID_CLUSTER_COPY_SHEET && !pairwise_->CanCopySheet()) {
        doc_.GetInteraction().Message("The table has too many cells to be copied to the "
                                      "clipboard; export the cluster data instead.",
                                      MsgButtons::OK, MsgIcon::Information);
        return true;
    }
    CWaitCursor wait(doc_.GetInteraction());
    return CClusterTableView::OnCommand(id);
}
