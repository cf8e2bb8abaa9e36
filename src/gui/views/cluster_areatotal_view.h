#pragma once

#include "views/cluster_pairwise_view.h"

#include <memory>

// Dorsal plus ventral area of every pair of cluster records; "n.c." where not computable.
class CClusterAreatotalView : public CClusterPairwiseView {
public:
    explicit CClusterAreatotalView(CCarinovaDoc& doc, QWidget* parent = nullptr)
        : CClusterPairwiseView(doc, Measure::AreaTotal, parent) {}

    static std::unique_ptr<CRightPaneView> Create(CCarinovaDoc& doc, QWidget* parent) {
        return std::make_unique<CClusterAreatotalView>(doc, parent);
    }
};
