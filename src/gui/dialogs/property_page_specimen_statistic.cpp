#include "dialogs/property_page_specimen_statistic.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "document/specimen_sheet.h"

#include <QCheckBox>

CPropertyPageSpecimenStatistic::CPropertyPageSpecimenStatistic(CPropertySheetSpecimen& values,
                                                               CUserInteraction& ui)
    : CPropertyPage("Statistics", "::/html/cari0206.htm#display_specstatistics", ui),
      values_(values) {
    auto* grid = new QGridLayout(this);
    AddRow(grid, "Centroid Coord.:", m_editCentroid = MakeEdit(this, true));
    AddRow(grid, "Area:", m_editArea = MakeEdit(this, true));
    AddRow(grid, "First main axes:", m_editFirstAxis = MakeEdit(this, true));
    AddRow(grid, "Second main axes:", m_editSecondAxis = MakeEdit(this, true));
    m_btnTransform = new QCheckBox("Transform the contour points", this);
    AddWide(grid, m_btnTransform);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageSpecimenStatistic::DoDataExchange(CDataExchange& dx) {
    if (!dx.m_bSaveAndValidate) {
        dx.Text(m_editFirstAxis, values_.m_strFirstAxis);
        dx.Text(m_editSecondAxis, values_.m_strSecondAxis);
        dx.Text(m_editCentroid, values_.m_strCentroid);
    }
    dx.Check(m_btnTransform, values_.m_bTransform);
    if (!dx.m_bSaveAndValidate)
        dx.Text(m_editArea, values_.m_strArea);
}

void CPropertyPageSpecimenStatistic::OnInitDialog() {
    m_btnTransform->setEnabled(!values_.m_bHasApprox);
}
