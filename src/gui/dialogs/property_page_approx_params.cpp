#include "dialogs/property_page_approx_params.h"

#include "model/approx_sheet.h"

#include <QGridLayout>

CPropertyPageApproxParams::CPropertyPageApproxParams(CPropertySheetApprox& values,
                                                     CUserInteraction& ui)
    : CPropertyPage("Params", "::/html/cari0207.htm#approximation_params", ui),
      m_controls(new QGridLayout(this), "Apply parameter correction"), values_(values) {
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageApproxParams::DoDataExchange(CDataExchange& dx) {
    m_controls.Exchange(dx, values_.m_nControlPoints, values_.m_nIterations,
                        values_.m_bApplyCorrection);
}
