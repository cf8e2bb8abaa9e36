#include "dialogs/property_page_approx_graphics.h"

#include "dialogs/color_field.h"
#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "model/approx_sheet.h"

#include <QCheckBox>

CPropertyPageApproxGraphics::CPropertyPageApproxGraphics(CPropertySheetApprox& values,
                                                         CUserInteraction& ui)
    : CPropertyPage("Graphics", "::/html/cari0207.htm#approximation_options", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    m_wndSplineColor = new CColorField(this);
    AddRow(grid, "Spline color:", m_wndSplineColor);
    m_btnDrawSpline = new QCheckBox("Draw spline", this);
    m_btnMarkPoints = new QCheckBox("Mark points", this);
    m_btnShowCoordinates = new QCheckBox("Display coordinate values", this);
    m_btnDrawPolygon = new QCheckBox("Draw polygon", this);
    m_btnIndexPoints = new QCheckBox("Index the points", this);
    for (QCheckBox* box : {m_btnDrawSpline, m_btnMarkPoints, m_btnShowCoordinates, m_btnDrawPolygon,
                           m_btnIndexPoints})
        AddWide(grid, box);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageApproxGraphics::DoDataExchange(CDataExchange& dx) {
    if (dx.m_bSaveAndValidate)
        values_.m_crSpline = m_wndSplineColor->GetColor();
    else
        m_wndSplineColor->SetColor(values_.m_crSpline);
    dx.Check(m_btnDrawSpline, values_.m_bDrawSpline);
    dx.Check(m_btnMarkPoints, values_.m_bMarkPoints);
    dx.Check(m_btnShowCoordinates, values_.m_bShowCoordinates);
    dx.Check(m_btnDrawPolygon, values_.m_bDrawPolygon);
    dx.Check(m_btnIndexPoints, values_.m_bIndexPoints);
}
