#include "dialogs/fitting_controls.h"

#include "dialogs/data_exchange.h"
#include "dialogs/page_layout.h"
#include "dialogs/spin_button.h"
#include "model/fit_limits.h"

#include <QCheckBox>

#include <algorithm>

namespace {

constexpr int kMaxIterationsSpin = 100;

CSpinButton* MakeBuddySpin(QLineEdit* buddy, int lower, int upper) {
    auto* spin = new CSpinButton(buddy->parentWidget());
    spin->SetRange(lower, upper);
    spin->SetBuddy(buddy, true);
    return spin;
}

} // namespace

CFittingControls::CFittingControls(QGridLayout* grid, const QString& applyText) {
    QWidget* page = grid->parentWidget();
    m_editControlPoints = MakeEdit(page);
    m_spinControlPoints = MakeBuddySpin(m_editControlPoints, kMinControlPoints, kMaxControlPoints);
    AddRow(grid, "Number of control points:", m_editControlPoints, m_spinControlPoints);
    m_btnApplyCorrection = new QCheckBox(applyText, page);
    AddWide(grid, m_btnApplyCorrection);
    m_editIterations = MakeEdit(page);
    m_spinIterations = MakeBuddySpin(m_editIterations, 0, kMaxIterationsSpin);
    m_labelIterations =
        AddRow(grid, "Number of iteration steps:", m_editIterations, m_spinIterations);
    QObject::connect(m_btnApplyCorrection, &QCheckBox::clicked, page, [this] { UpdateEnabling(); });
}

void CFittingControls::Exchange(CDataExchange& dx, int& controlPoints, int& iterations,
                                int& applyCorrection) {
    dx.Text(m_editControlPoints, controlPoints);
    dx.MinMaxInt(controlPoints, kMinControlPoints, kMaxControlPoints);
    dx.Text(m_editIterations, iterations);
    dx.MinMaxInt(iterations, 0, kMaxFitIterations);
    dx.Check(m_btnApplyCorrection, applyCorrection);
    if (!dx.m_bSaveAndValidate) {
        m_spinControlPoints->SetPos(controlPoints);
        m_spinIterations->SetPos(std::clamp(iterations, 0, kMaxIterationsSpin));
    }
}

void CFittingControls::UpdateEnabling() {
    const bool enable = m_btnApplyCorrection->isChecked();
    m_editIterations->setEnabled(enable);
    m_spinIterations->setEnabled(enable);
    m_labelIterations->setEnabled(enable);
}
