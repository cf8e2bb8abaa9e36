#pragma once

#include "views/cluster_table_view.h"
#include "views/pairwise_table_model.h"

// A square table that compares every pair of cluster records, the mean specimen included:
// one row and one column per record in cluster order. It is built anew after an insert, a
// removal or a recalculation (once per action, however many records it touched) and shows the
// cluster as it was then: a new reference, the mean specimen or a rename shows only after
// that. A click on a column header sorts the rows by that column.
class CClusterPairwiseView : public CClusterTableView {
    Q_OBJECT

public:
    using Measure = CPairwiseTableModel::Measure;

    CClusterPairwiseView(CCarinovaDoc& doc, Measure measure, QWidget* parent = nullptr);

    void OnUpdate(CView* sender, int hint, CObject* object) override;
    bool OnCommand(int id) override;
    Measure GetMeasure() const { return pairwise_->GetMeasure(); }
    CPairwiseTableModel* GetPairwiseModel() const { return pairwise_; }

protected:
    void FillTable() override;
    const char* NotComputableText() const override;

private:
    CPairwiseTableModel* pairwise_;
};
