#pragma once

class CDataExchange;
class CSpinButton;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QString;

// The fitting fields the approximation and the cluster sheets share: number of control points
// (3 to 30), number of iteration steps (0 to 6000, the spin only to 100) and the parameter
// correction, which alone makes the iteration field editable.
class CFittingControls {
public:
    CFittingControls(QGridLayout* grid, const QString& applyText);

    void Exchange(CDataExchange& dx, int& controlPoints, int& iterations, int& applyCorrection);
    // The iteration field follows the check box; called at start and on each click.
    void UpdateEnabling();

    QLineEdit* m_editControlPoints;
    CSpinButton* m_spinControlPoints;
    QLabel* m_labelIterations;
    QLineEdit* m_editIterations;
    CSpinButton* m_spinIterations;
    QCheckBox* m_btnApplyCorrection;
};
