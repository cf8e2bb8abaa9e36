#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetSpecimen;
class QCheckBox;
class QLineEdit;

// "Statistics": centroid, area and main axes as texts, and whether the contour is shown in
// normal position. An approximated specimen keeps its transformation.
class CPropertyPageSpecimenStatistic : public CPropertyPage {
public:
    CPropertyPageSpecimenStatistic(CPropertySheetSpecimen& values, CUserInteraction& ui);

    QCheckBox* m_btnTransform;
    QLineEdit* m_editFirstAxis;
    QLineEdit* m_editSecondAxis;
    QLineEdit* m_editCentroid;
    QLineEdit* m_editArea;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;

private:
    CPropertySheetSpecimen& values_;
};
