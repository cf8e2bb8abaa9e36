#include "dialogs/cluster_sheet_dialog.h"

#include "dialogs/property_page_cluster_graphics.h"
#include "dialogs/property_page_cluster_params.h"
#include "dialogs/property_page_cluster_printing.h"

CClusterSheetDialog::CClusterSheetDialog(CPropertySheetCluster& sheet, CUserInteraction& ui,
                                         QWidget* parent)
    : CPropertySheetDialog(
          QString::fromStdString(sheet.caption.empty() ? "Approximation" : sheet.caption), ui,
          parent),
      target_(sheet), values_(sheet) {
    m_pageParams = new CPropertyPageClusterParams(values_, ui);
    m_pageGraphics = new CPropertyPageClusterGraphics(values_, ui);
    m_pagePrinting = new CPropertyPageClusterPrinting(values_, ui);
    AddPage(m_pageParams);
    AddPage(m_pageGraphics);
    AddPage(m_pagePrinting);
    InitializePages();
}
