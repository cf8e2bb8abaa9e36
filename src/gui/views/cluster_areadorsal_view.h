#pragma once

#include "views/cluster_pairwise_view.h"

#include <memory>

// Area between the dorsal curves of every pair of cluster records; "n.c." where not computable.
class CClusterAreadorsalView : public CClusterPairwiseView {
public:
    explicit CClusterAreadorsalView(CCarinovaDoc& doc, QWidget* parent = nullptr)
        : CClusterPairwiseView(doc, Measure::AreaDorsal, parent) {}

    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent) {
        return std::make_unique<CClusterAreadorsalView>(doc, parent);
    }
};
