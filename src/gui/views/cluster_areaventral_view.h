#pragma once

#include "views/cluster_pairwise_view.h"

#include <memory>

// Area between the ventral curves of every pair of cluster records; "n.c." where not computable.
class CClusterAreaventralView : public CClusterPairwiseView {
public:
    explicit CClusterAreaventralView(CCarinovaDoc& doc, QWidget* parent = nullptr)
        : CClusterPairwiseView(doc, Measure::AreaVentral, parent) {}

    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent) {
        return std::make_unique<CClusterAreaventralView>(doc, parent);
    }
};
