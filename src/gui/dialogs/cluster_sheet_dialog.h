#pragma once

#include "cluster/cluster_sheet.h"
#include "dialogs/property_sheet_dialog.h"

class CPropertyPageClusterParams;
class CPropertyPageClusterGraphics;
class CPropertyPageClusterPrinting;

// The cluster sheet over a copy of the caller's values; they go back only on OK.
class CClusterSheetDialog : public CPropertySheetDialog {
public:
    CClusterSheetDialog(CPropertySheetCluster& sheet, CUserInteraction& ui,
                        QWidget* parent = nullptr);

    CPropertyPageClusterParams* m_pageParams;
    CPropertyPageClusterGraphics* m_pageGraphics;
    CPropertyPageClusterPrinting* m_pagePrinting;

protected:
    void OnOK() override { target_ = values_; }

private:
    CPropertySheetCluster& target_;
    CPropertySheetCluster values_;
};
