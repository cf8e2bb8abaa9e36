#pragma once

#include "views/cluster_pairwise_view.h"

#include <memory>

// Root-mean-square distance of the control points between every pair of cluster records.
class CClusterMeandeltaView : public CClusterPairwiseView {
public:
    explicit CClusterMeandeltaView(CCarinovaDoc& doc, QWidget* parent = nullptr)
        : CClusterPairwiseView(doc, Measure::MeanDelta, parent) {}

    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent) {
        return std::make_unique<CClusterMeandeltaView>(doc, parent);
    }
};
