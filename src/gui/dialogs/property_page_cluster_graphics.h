#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetCluster;
class CSpinButton;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Graphics": what the overlay draws. The spin moves the delta scale in steps of 0.1 and never
// below 1.0; a value typed into the edit is taken as it is.
class CPropertyPageClusterGraphics : public CPropertyPage {
public:
    CPropertyPageClusterGraphics(CPropertySheetCluster& values, CUserInteraction& ui);

    QCheckBox* m_btnReferenceOnly;
    QCheckBox* m_btnNumberVectors;
    QCheckBox* m_btnDrawDeltaVectors;
    QLabel* m_labelDeltaScale;
    QLineEdit* m_editDeltaScale;
    CSpinButton* m_spinDeltaScale;
    QCheckBox* m_btnDrawMeanReference;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;

private:
    void UpdateEnabling();
    void OnDeltaSpin(int pos);

    CPropertySheetCluster& values_;
};
