#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetApprox;
class CColorField;
class QCheckBox;

// "Graphics": the colour of the splines and what is drawn of them.
class CPropertyPageApproxGraphics : public CPropertyPage {
public:
    CPropertyPageApproxGraphics(CPropertySheetApprox& values, CUserInteraction& ui);

    CColorField* m_wndSplineColor;
    QCheckBox* m_btnDrawSpline;
    QCheckBox* m_btnMarkPoints;
    QCheckBox* m_btnShowCoordinates;
    QCheckBox* m_btnDrawPolygon;
    QCheckBox* m_btnIndexPoints;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CPropertySheetApprox& values_;
};
