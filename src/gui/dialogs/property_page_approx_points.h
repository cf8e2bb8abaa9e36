#pragma once

#include "dialogs/property_page.h"

struct CPropertySheetApprox;
class QTreeWidget;

// "Control points": the coordinates of both curves' control points, shown only.
class CPropertyPageApproxPoints : public CPropertyPage {
public:
    CPropertyPageApproxPoints(CPropertySheetApprox& values, CUserInteraction& ui);

    QTreeWidget* m_wndList;

protected:
    void DoDataExchange(CDataExchange&) override {}
    void OnInitDialog() override;

private:
    void FillList();
    void SizeColumns();

    CPropertySheetApprox& values_;
};
