#include "dialogs/property_page_approx_statistics.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "model/approx_sheet.h"

#include <QCheckBox>

CPropertyPageApproxStatistics::CPropertyPageApproxStatistics(CPropertySheetApprox& values,
                                                             CUserInteraction& ui)
    : CPropertyPage("Statistics", "::/html/cari0207.htm#approximation_statistics", ui),
      values_(values) {
    auto* grid = new QGridLayout(this);
    m_btnDrawError = new QCheckBox("Display mean an maxium error", this);
    AddWide(grid, m_btnDrawError);
    m_editMaxError = MakeEdit(this, true);
    m_labelMaxError = AddRow(grid, "Maximum error:", m_editMaxError);
    m_editMeanError = MakeEdit(this, true);
    m_labelMeanError = AddRow(grid, "Mean error:", m_editMeanError);
    m_btnMarkMaxError = new QCheckBox("Mark maximum error", this);
    AddWide(grid, m_btnMarkMaxError);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageApproxStatistics::DoDataExchange(CDataExchange& dx) {
    dx.Check(m_btnDrawError, values_.m_bDrawError);
    dx.Text(m_editMaxError, values_.m_strMaxError);
    dx.Text(m_editMeanError, values_.m_strMeanError);
    dx.Check(m_btnMarkMaxError, values_.m_bMarkMaxError);
}

void CPropertyPageApproxStatistics::OnInitDialog() {
    if (values_.m_bErrorsValid)
        return;
    const std::initializer_list<QWidget*> controls{m_btnDrawError,  m_btnMarkMaxError,
                                                   m_editMaxError,  m_editMeanError,
                                                   m_labelMaxError, m_labelMeanError};
    for (QWidget* w : controls)
        w->setEnabled(false);
}
