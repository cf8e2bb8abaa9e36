#include "dialogs/control_point_editor.h"
#include "dialogs/spin_button.h"

#include "model/approx_sheet.h"
#include "platform/scripted_interaction.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class ControlPointEditor : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CControlPointDialog point;

    void SetUp() override {
        point.caption = "Control points";
        point.m_fX = 12.5f;
        point.m_fY = -3.25f;
    }
};

TEST_F(ControlPointEditor, ShowsThePointWithOKAndAbbrechen) {
    CControlPointEditor dialog(point, ui);
    EXPECT_EQ(dialog.windowTitle(), "Control points");
    EXPECT_EQ(dialog.m_editX->text(), "12.5");
    EXPECT_EQ(dialog.m_editY->text(), "-3.25");
    EXPECT_EQ(dialog.m_btnOK->text(), "OK");
    EXPECT_EQ(dialog.m_btnCancel->text(), "Abbrechen");
    EXPECT_TRUE(dialog.m_editY->isEnabled());
}

TEST_F(ControlPointEditor, ArrowsAddOrSubtractOneFromTheTypedValue) {
    CControlPointEditor dialog(point, ui);
    QTest::mouseClick(dialog.m_spinX->UpButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.m_editX->text(), "13.5");
    dialog.m_editX->setText("100.25");
    dialog.m_spinX->StepBy(-1);
    dialog.m_spinX->StepBy(-1);
    EXPECT_EQ(dialog.m_editX->text(), "98.25");
    dialog.m_spinY->StepBy(1);
    EXPECT_EQ(dialog.m_editY->text(), "-2.25");
    dialog.m_btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(point.m_fX, 98.25f);
    EXPECT_FLOAT_EQ(point.m_fY, -2.25f);
}

TEST_F(ControlPointEditor, SharedPointsKeepTheirYLocked) {
    point.m_bYEnabled = false;
    CControlPointEditor dialog(point, ui);
    EXPECT_FALSE(dialog.m_editY->isEnabled());
    EXPECT_FALSE(dialog.m_spinY->isEnabled());
    EXPECT_FALSE(dialog.m_labelY->isEnabled());
    dialog.m_spinY->StepBy(1);
    EXPECT_EQ(dialog.m_editY->text(), "-3.25");
}

TEST_F(ControlPointEditor, CancelAndBadTextsLeaveThePointAlone) {
    {
        CControlPointEditor dialog(point, ui);
        dialog.m_editX->setText("1");
        dialog.m_btnCancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(point.m_fX, 12.5f);
    CControlPointEditor dialog(point, ui);
    dialog.show();
    dialog.m_editY->setText("1,5");
    dialog.m_btnOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Geben Sie bitte eine Zahl ein."});
    EXPECT_EQ(dialog.focusWidget(), dialog.m_editY);
    EXPECT_EQ(point.m_fY, -3.25f);
}

// A document refuses coordinates beyond 1e15 when it is opened again, so the editor must not
// store one; the limit itself is still a point.
TEST_F(ControlPointEditor, PointsBeyondTheStoredLimitAreRefused) {
    CControlPointEditor dialog(point, ui);
    dialog.show();
    dialog.m_editX->setText("-2e15");
    dialog.m_btnOK->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte eine Zahl zwischen -1e+15 und 1e+15 ein."});
    EXPECT_EQ(dialog.focusWidget(), dialog.m_editX);
    EXPECT_EQ(point.m_fX, 12.5f);
    dialog.m_editX->setText("1e15");
    dialog.m_btnOK->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(point.m_fX, 1e15f);
}

} // namespace
