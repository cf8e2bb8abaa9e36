#pragma once

#include "dialogs/fitting_controls.h"
#include "dialogs/property_page.h"

#include <vector>

struct CPropertySheetCluster;
class QAbstractButton;

// "Params": how every member is fitted, and the size normalisation.
class CPropertyPageClusterParams : public CPropertyPage {
public:
    CPropertyPageClusterParams(CPropertySheetCluster& values, CUserInteraction& ui);

    CFittingControls m_controls;
    // "Don't normalize", outer control points, area, centroid size: the field's index.
    std::vector<QAbstractButton*> m_btnNormalize;

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnInitDialog() override { m_controls.UpdateEnabling(); }

private:
    CPropertySheetCluster& values_;
};
