#pragma once

#include "views/cluster_table_view.h"

#include <vector>

class CApproxSpecimen;

// A square table that compares every pair of cluster records, the mean specimen included:
// one row and one column per record in cluster order. The values are computed while the table
// is filled and not kept, so the table shows the cluster as it was at the last insert, removal
// or recalculation; a new reference, the mean specimen or a rename shows only after that.
class CClusterPairwiseView : public CClusterTableView {
    Q_OBJECT

public:
    enum class Measure { MeanDelta, AreaDorsal, AreaVentral, AreaTotal };

    CClusterPairwiseView(CCarinovaDoc& doc, Measure measure, QWidget* parent = nullptr);

    void OnUpdate(CView* sender, int hint, CObject* object) override;
    Measure GetMeasure() const { return measure_; }

protected:
    void FillTable() override;

private:
    // The N x N matrix of the measure, row-major.
    std::vector<float> ComputeMatrix(const std::vector<const CApproxSpecimen*>& approx) const;
    bool IsArea() const { return measure_ != Measure::MeanDelta; }

    Measure measure_;
};
