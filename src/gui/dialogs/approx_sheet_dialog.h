#pragma once

#include "dialogs/property_sheet_dialog.h"
#include "model/approx_sheet.h"

class CPropertyPageApproxParams;
class CPropertyPageApproxStatistics;
class CPropertyPageApproxGraphics;
class CPropertyPageApproxPoints;

// The approximation sheet over a copy of the caller's values; they go back only on OK.
class CApproxSheetDialog : public CPropertySheetDialog {
public:
    CApproxSheetDialog(CPropertySheetApprox& sheet, CUserInteraction& ui,
                       QWidget* parent = nullptr);

    CPropertyPageApproxParams* m_pageParams;
    CPropertyPageApproxStatistics* m_pageStatistics;
    CPropertyPageApproxGraphics* m_pageGraphics;
    CPropertyPageApproxPoints* m_pagePoints;

protected:
    void OnOK() override { target_ = values_; }

private:
    CPropertySheetApprox& target_;
    CPropertySheetApprox values_;
};
