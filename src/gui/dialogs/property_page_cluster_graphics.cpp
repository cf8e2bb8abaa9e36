#include "dialogs/property_page_cluster_graphics.h"

#include "cluster/cluster_sheet.h"
#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "dialogs/spin_button.h"

#include <QCheckBox>

#include <climits>
#include <cmath>

CPropertyPageClusterGraphics::CPropertyPageClusterGraphics(CPropertySheetCluster& values,
                                                           CUserInteraction& ui)
    : CPropertyPage("Graphics", "::/html/cari0209.htm#cluster_set_graphics", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    m_btnReferenceOnly = new QCheckBox("Draw reference only", this);
    m_btnDrawDeltaVectors = new QCheckBox("Draw delta vectors", this);
    m_btnNumberVectors = new QCheckBox("Number vectors with specimen IDs", this);
    m_btnDrawMeanReference = new QCheckBox("Draw mean cluster reference", this);
    m_editDeltaScale = MakeEdit(this);
    m_spinDeltaScale = new CSpinButton(this);
    m_spinDeltaScale->SetBuddy(m_editDeltaScale, false);
    AddWide(grid, m_btnReferenceOnly);
    AddWide(grid, m_btnDrawDeltaVectors);
    AddWide(grid, m_btnNumberVectors);
    m_labelDeltaScale =
        AddRow(grid, "Scaling factor for delta vectors", m_editDeltaScale, m_spinDeltaScale);
    AddWide(grid, m_btnDrawMeanReference);
    grid->setRowStretch(grid->rowCount(), 1);
    connect(m_btnDrawDeltaVectors, &QCheckBox::clicked, this, [this] { UpdateEnabling(); });
    m_spinDeltaScale->SetOnPositionChanged([this](int pos) { OnDeltaSpin(pos); });
}

void CPropertyPageClusterGraphics::DoDataExchange(CDataExchange& dx) {
    dx.Check(m_btnReferenceOnly, values_.m_bReferenceOnly);
    dx.Check(m_btnNumberVectors, values_.m_bNumberVectors);
    dx.Check(m_btnDrawDeltaVectors, values_.m_bDrawDeltaVectors);
    dx.Text(m_editDeltaScale, values_.m_fDeltaScale);
    dx.Check(m_btnDrawMeanReference, values_.m_bDrawMeanReference);
}

void CPropertyPageClusterGraphics::OnInitDialog() {
    m_spinDeltaScale->SetRange(INT_MIN, INT_MAX);
    m_spinDeltaScale->SetPos(0);
    values_.m_nLastSpinPos = 0;
    UpdateEnabling();
}

void CPropertyPageClusterGraphics::UpdateEnabling() {
    const bool enable = m_btnDrawDeltaVectors->isChecked();
    m_btnNumberVectors->setEnabled(enable);
    m_editDeltaScale->setEnabled(enable);
    m_spinDeltaScale->setEnabled(enable);
    m_labelDeltaScale->setEnabled(enable);
}

// A text that does not parse has shown its message; the step is dropped.
void CPropertyPageClusterGraphics::OnDeltaSpin(int pos) {
    const int last = values_.m_nLastSpinPos;
    values_.m_nLastSpinPos = pos;
    if (!UpdateData(true))
        return;
    const float scale =
        static_cast<float>(values_.m_fDeltaScale + 0.1 * (static_cast<double>(pos) - last));
    values_.m_fDeltaScale = (scale >= 1.0f) ? scale : 1.0f; // also catches NaN
    UpdateData(false);
}
