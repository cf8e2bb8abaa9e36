#include "dialogs/property_page_specimen_graphics.h"

#include "dialogs/color_field.h"
#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "dialogs/spin_button.h"
#include "document/specimen_sheet.h"

#include <QCheckBox>

#include <algorithm>

namespace {

constexpr int kMinEveryNth = 1;
constexpr int kMaxEveryNth = 200;

} // namespace

CPropertyPageSpecimenGraphics::CPropertyPageSpecimenGraphics(CPropertySheetSpecimen& values,
                                                             CUserInteraction& ui)
    : CPropertyPage("Graphics", "::/html/cari0206.htm#display_specgraphics", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    m_wndContourColor = new CColorField(this);
    AddRow(grid, "Contour color:", m_wndContourColor);
    m_btnDrawOutline = new QCheckBox("Draw outline", this);
    m_btnLineJoined = new QCheckBox("Draw line between adjecent points", this);
    m_btnNumeratePoints = new QCheckBox("Enumerate the points", this);
    for (QCheckBox* box : {m_btnDrawOutline, m_btnLineJoined, m_btnNumeratePoints})
        AddWide(grid, box);
    m_editEveryNth = MakeEdit(this);
    // The arrows keep to the range the field accepts, up counting up.
    m_wndSpin = new CSpinButton(this);
    m_wndSpin->SetRange(kMinEveryNth, kMaxEveryNth);
    m_wndSpin->SetBuddy(m_editEveryNth, true);
    AddRow(grid, "Take each n-th point only:", m_editEveryNth, m_wndSpin);
    m_btnDrawCentroid = new QCheckBox("Draw centroid", this);
    m_btnDrawMainAxes = new QCheckBox("Draw main axes", this);
    m_btnDrawBoundingBox = new QCheckBox("Draw boundingbox", this);
    m_btnDrawCoordinateSystem = new QCheckBox("Draw coordinate system", this);
    for (QCheckBox* box :
         {m_btnDrawCentroid, m_btnDrawMainAxes, m_btnDrawBoundingBox, m_btnDrawCoordinateSystem})
        AddWide(grid, box);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageSpecimenGraphics::DoDataExchange(CDataExchange& dx) {
    if (dx.m_bSaveAndValidate)
        values_.m_crContour = m_wndContourColor->GetColor();
    else
        m_wndContourColor->SetColor(values_.m_crContour);
    dx.Check(m_btnLineJoined, values_.m_bLineJoined);
    dx.Check(m_btnDrawMainAxes, values_.m_bDrawMainAxes);
    dx.Check(m_btnDrawBoundingBox, values_.m_bDrawBoundingBox);
    dx.Text(m_editEveryNth, values_.m_nEveryNth);
    dx.MinMaxInt(values_.m_nEveryNth, kMinEveryNth, kMaxEveryNth);
    dx.Check(m_btnNumeratePoints, values_.m_bNumeratePoints);
    dx.Check(m_btnDrawCentroid, values_.m_bDrawCentroid);
    dx.Check(m_btnDrawCoordinateSystem, values_.m_bDrawCoordinateSystem);
    dx.Check(m_btnDrawOutline, values_.m_bDrawOutline);
    if (!dx.m_bSaveAndValidate)
        m_wndSpin->SetPos(std::clamp(values_.m_nEveryNth, kMinEveryNth, kMaxEveryNth));
}
