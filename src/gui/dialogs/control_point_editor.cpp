#include "dialogs/control_point_editor.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "dialogs/spin_button.h"
#include "model/approx_sheet.h"
#include "model/coordinate_limit.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>

CControlPointEditor::CControlPointEditor(CControlPointDialog& point, CUserInteraction& ui,
                                         QWidget* parent)
    : QDialog(parent), target_(point), ui_(ui), x_(point.m_fX), y_(point.m_fY) {
    setWindowTitle(
        QString::fromStdString(point.caption.empty() ? "Control points" : point.caption));
    auto* grid = new QGridLayout;
    m_editX = MakeEdit(this);
    m_spinX = new CSpinButton(this);
    AddRow(grid, "X - Coordinate:", m_editX, m_spinX);
    m_editY = MakeEdit(this);
    m_spinY = new CSpinButton(this);
    m_labelY = AddRow(grid, "Y - Coordinate:", m_editY, m_spinY);
    for (CSpinButton* spin : {m_spinX, m_spinY}) {
        spin->SetRange(INT_MIN, INT_MAX);
        spin->SetPos(0);
    }
    m_spinX->SetBuddy(m_editX, false);
    m_spinY->SetBuddy(m_editY, false);
    m_spinX->SetOnPositionChanged([this](int pos) { OnSpin(x_, lastX_, pos); });
    m_spinY->SetOnPositionChanged([this](int pos) { OnSpin(y_, lastY_, pos); });

    m_btnOK = new QPushButton("OK", this);
    m_btnOK->setDefault(true);
    m_btnCancel = new QPushButton("Abbrechen", this);
    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_btnOK);
    buttons->addWidget(m_btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    UpdateData(false);
    for (QWidget* w : std::initializer_list<QWidget*>{m_labelY, m_editY, m_spinY})
        w->setEnabled(point.m_bYEnabled);
}

bool CControlPointEditor::UpdateData(bool saveAndValidate) {
    CDataExchange dx(saveAndValidate, ui_);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CControlPointEditor::DoDataExchange(CDataExchange& dx) {
    // A point beyond the stored limit would make the saved document unreadable.
    dx.Text(m_editX, x_);
    dx.MinMaxFloat(x_, -kMaxCoordinateMagnitude, kMaxCoordinateMagnitude);
    dx.Text(m_editY, y_);
    dx.MinMaxFloat(y_, -kMaxCoordinateMagnitude, kMaxCoordinateMagnitude);
}

// The change of the position since the last notification is added to the typed value.
void CControlPointEditor::OnSpin(float& field, int& lastPos, int pos) {
    const int delta = pos - lastPos;
    lastPos = pos;
    if (!UpdateData(true))
        return;
    field += static_cast<float>(delta);
    UpdateData(false);
}

void CControlPointEditor::accept() {
    if (!UpdateData(true))
        return;
    target_.m_fX = x_;
    target_.m_fY = y_;
    QDialog::accept();
}
