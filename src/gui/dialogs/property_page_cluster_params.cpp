#include "dialogs/property_page_cluster_params.h"

#include "cluster/cluster_sheet.h"
#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

CPropertyPageClusterParams::CPropertyPageClusterParams(CPropertySheetCluster& values,
                                                       CUserInteraction& ui)
    : CPropertyPage("Params", "::/html/cari0209.htm#cluster_set_params", ui),
      m_controls(new QGridLayout(this), "Apply params correction"), values_(values) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* group = new QGroupBox("Size normalization", this);
    auto* column = new QVBoxLayout(group);
    for (const char* text : {"Don't normalize", "Normalize for outer control points (m1-m2)",
                             "Normalize for area", "Normalize for centroid size"}) {
        auto* radio = new QRadioButton(text, group);
        column->addWidget(radio);
        m_btnNormalize.push_back(radio);
    }
    AddWide(grid, group);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageClusterParams::DoDataExchange(CDataExchange& dx) {
    m_controls.Exchange(dx, values_.m_nControlPoints, values_.m_nIterations,
                        values_.m_bApplyCorrection);
    dx.Radio(m_btnNormalize, values_.m_nNormalize);
}
