#include "dialogs/property_page_cluster_printing.h"

#include "cluster/cluster_sheet.h"
#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "dialogs/spin_button.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxPenWidth = 16;

CSpinButton* MakePenSpin(QLineEdit* buddy) {
    auto* spin = new CSpinButton(buddy->parentWidget());
    spin->SetRange(0, kMaxPenWidth);
    spin->SetBuddy(buddy, true);
    return spin;
}

} // namespace

CPropertyPageClusterPrinting::CPropertyPageClusterPrinting(CPropertySheetCluster& values,
                                                           CUserInteraction& ui)
    : CPropertyPage("Printing", "::/html/cari0209.htm#cluster_set_print", ui), values_(values) {
    auto* grid = new QGridLayout(this);
    m_btnPrintList = new QCheckBox("Print Specimen List", this);
    AddWide(grid, m_btnPrintList);
    m_editPenSpecimen = MakeEdit(this);
    m_spinPenSpecimen = MakePenSpin(m_editPenSpecimen);
    AddRow(grid, "Specimen:", m_editPenSpecimen, m_spinPenSpecimen);
    m_editPenDelta = MakeEdit(this);
    m_spinPenDelta = MakePenSpin(m_editPenDelta);
    AddRow(grid, "Delta Vectors:", m_editPenDelta, m_spinPenDelta);
    auto* group = new QGroupBox("Colors", this);
    auto* column = new QVBoxLayout(group);
    for (const char* text : {"Black and White", "Color"}) {
        auto* radio = new QRadioButton(text, group);
        column->addWidget(radio);
        m_btnColorMode.push_back(radio);
    }
    AddWide(grid, group);
    grid->setRowStretch(grid->rowCount(), 1);
}

void CPropertyPageClusterPrinting::DoDataExchange(CDataExchange& dx) {
    dx.Check(m_btnPrintList, values_.m_bPrintList);
    dx.Text(m_editPenSpecimen, values_.m_nPenSpecimen);
    dx.MinMaxInt(values_.m_nPenSpecimen, 0, kMaxPenWidth);
    dx.Text(m_editPenDelta, values_.m_nPenDelta);
    dx.MinMaxInt(values_.m_nPenDelta, 0, kMaxPenWidth);
    dx.Radio(m_btnColorMode, values_.m_nColorMode);
    if (!dx.m_bSaveAndValidate) {
        m_spinPenSpecimen->SetPos(values_.m_nPenSpecimen);
        m_spinPenDelta->SetPos(values_.m_nPenDelta);
    }
}
