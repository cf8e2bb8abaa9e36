#pragma once

#include "dialogs/property_page.h"

#include <vector>

struct CPropertySheetCluster;
class CSpinButton;
class QAbstractButton;
class QCheckBox;
class QLineEdit;

// "Printing": the member list, the pen widths and black and white or colour.
class CPropertyPageClusterPrinting : public CPropertyPage {
public:
    CPropertyPageClusterPrinting(CPropertySheetCluster& values, CUserInteraction& ui);

    QCheckBox* m_btnPrintList;
    QLineEdit* m_editPenSpecimen;
    CSpinButton* m_spinPenSpecimen;
    QLineEdit* m_editPenDelta;
    CSpinButton* m_spinPenDelta;
    std::vector<QAbstractButton*> m_btnColorMode;

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CPropertySheetCluster& values_;
};
