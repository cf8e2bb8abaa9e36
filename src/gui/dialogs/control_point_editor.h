#pragma once

#include <QDialog>

struct CControlPointDialog;
class CDataExchange;
class CSpinButton;
class CUserInteraction;
class QLabel;
class QLineEdit;
class QPushButton;

// The "Control points" dialog: new coordinates for one control point. Each arrow click adds
// or subtracts 1; y stays locked for the end points the two curves share.
class CControlPointEditor : public QDialog {
public:
    CControlPointEditor(CControlPointDialog& point, CUserInteraction& ui,
                        QWidget* parent = nullptr);

    void accept() override;

    QLineEdit* m_editX;
    CSpinButton* m_spinX;
    QLabel* m_labelY;
    QLineEdit* m_editY;
    CSpinButton* m_spinY;
    QPushButton* m_btnOK;
    QPushButton* m_btnCancel;

private:
    bool UpdateData(bool saveAndValidate);
    void DoDataExchange(CDataExchange& dx);
    void OnSpin(float& field, int& lastPos, int pos);

    CControlPointDialog& target_;
    CUserInteraction& ui_;
    float x_;
    float y_;
    int lastX_ = 0;
    int lastY_ = 0;
};
