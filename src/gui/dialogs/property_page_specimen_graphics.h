#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetSpecimen;
class CColorField;
class CSpinButton;
class QCheckBox;
class QLineEdit;

// "Graphics": the contour's colour and drawing, and what the single view adds to it.
class CPropertyPageSpecimenGraphics : public CPropertyPage {
public:
    CPropertyPageSpecimenGraphics(CPropertySheetSpecimen& values, CUserInteraction& ui);

    CColorField* m_wndContourColor;
    QCheckBox* m_btnLineJoined;
    QCheckBox* m_btnDrawMainAxes;
    QCheckBox* m_btnDrawBoundingBox;
    QLineEdit* m_editEveryNth;
    CSpinButton* m_wndSpin;
    QCheckBox* m_btnNumeratePoints;
    QCheckBox* m_btnDrawCentroid;
    QCheckBox* m_btnDrawCoordinateSystem;
    QCheckBox* m_btnDrawOutline;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CPropertySheetSpecimen& values_;
};
