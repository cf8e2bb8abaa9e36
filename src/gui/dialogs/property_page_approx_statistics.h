#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetApprox;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Statistics": the error texts and their display flags, all inactive while the errors are
// not valid.
class CPropertyPageApproxStatistics : public CPropertyPage {
public:
    CPropertyPageApproxStatistics(CPropertySheetApprox& values, CUserInteraction& ui);

    QCheckBox* m_btnDrawError;
    QLabel* m_labelMaxError;
    QLineEdit* m_editMaxError;
    QLabel* m_labelMeanError;
    QLineEdit* m_editMeanError;
    QCheckBox* m_btnMarkMaxError;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override;

private:
    CPropertySheetApprox& values_;
};
