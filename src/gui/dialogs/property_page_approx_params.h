#pragma once

#include "dialogs/fitting_controls.h"
#include "dialogs/property_page.h"

struct CPropertySheetApprox;

// "Params": control points, iteration steps, parameter correction.
class CPropertyPageApproxParams : public CPropertyPage {
public:
    CPropertyPageApproxParams(CPropertySheetApprox& values, CUserInteraction& ui);

    CFittingControls m_controls;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override { m_controls.UpdateEnabling(); }

private:
    CPropertySheetApprox& values_;
};
