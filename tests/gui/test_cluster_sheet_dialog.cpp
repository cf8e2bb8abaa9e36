#include "dialogs/cluster_sheet_dialog.h"
#include "dialogs/property_page_cluster_graphics.h"
#include "dialogs/property_page_cluster_params.h"
#include "dialogs/property_page_cluster_printing.h"
#include "dialogs/spin_button.h"

#include "platform/scripted_interaction.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class ClusterSheetDialog : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CPropertySheetCluster sheet;
};

TEST_F(ClusterSheetDialog, PagesFieldsAndHelpTopics) {
    sheet.m_nNormalize = 3;
    sheet.m_nColorMode = 0;
    CClusterSheetDialog dialog(sheet, ui);
    dialog.show();
    ASSERT_EQ(dialog.Tabs()->count(), 3);
    const char* titles[] = {"Params", "Graphics", "Printing"};
    const char* topics[] = {"::/html/cari0209.htm#cluster_set_params",
                            "::/html/cari0209.htm#cluster_set_graphics",
                            "::/html/cari0209.htm#cluster_set_print"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dialog.Tabs()->tabText(i), titles[i]);
        dialog.Tabs()->setCurrentIndex(i);
        dialog.HelpButton()->click();
        EXPECT_EQ(ui.helpTopics.back(), topics[i]);
    }
    EXPECT_EQ(dialog.m_pageParams->m_controls.m_btnApplyCorrection->text(),
              "Apply params correction");
    ASSERT_EQ(dialog.m_pageParams->m_btnNormalize.size(), 4u);
    EXPECT_TRUE(dialog.m_pageParams->m_btnNormalize[3]->isChecked());
    EXPECT_EQ(dialog.m_pageParams->m_btnNormalize[1]->text(),
              "Normalize for outer control points (m1-m2)");
    EXPECT_TRUE(dialog.m_pagePrinting->m_btnColorMode[0]->isChecked());
}

TEST_F(ClusterSheetDialog, RadioChoicesAndPensComeBackOnOK) {
    CClusterSheetDialog dialog(sheet, ui);
    dialog.m_pageParams->m_btnNormalize[1]->setChecked(true);
    dialog.m_pagePrinting->m_btnColorMode[0]->setChecked(true);
    dialog.m_pagePrinting->m_editPenDelta->setText("16");
    dialog.m_pagePrinting->m_btnPrintList->setChecked(false);
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.m_nNormalize, 1);
    EXPECT_EQ(sheet.m_nColorMode, 0);
    EXPECT_EQ(sheet.m_nPenDelta, 16);
    EXPECT_EQ(sheet.m_bPrintList, 0);
}

TEST_F(ClusterSheetDialog, PenWidthAboveSixteenIsRefusedOnItsPage) {
    CClusterSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.m_pagePrinting->m_editPenSpecimen->setText("17");
    dialog.OkButton()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 2);
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte eine ganze Zahl zwischen 0 und 16 ein."});
    EXPECT_EQ(sheet.m_nPenSpecimen, 1);
    dialog.m_pagePrinting->m_editPenSpecimen->setText("15");
    dialog.m_pagePrinting->m_spinPenSpecimen->StepBy(1);
    dialog.m_pagePrinting->m_spinPenSpecimen->StepBy(1);
    EXPECT_EQ(dialog.m_pagePrinting->m_editPenSpecimen->text(), "16");
}

// Each step reads the shown text back: 1.3 - 0.1 = 1.2, then 1.1 and 1.0; 0.9 is raised to 1.
TEST_F(ClusterSheetDialog, DeltaScaleSpinsDownFromOnePointThreeAndStopsAtOne) {
    sheet.m_fDeltaScale = 1.3f;
    CClusterSheetDialog dialog(sheet, ui);
    CPropertyPageClusterGraphics* page = dialog.m_pageGraphics;
    EXPECT_EQ(page->m_editDeltaScale->text(), "1.3");
    const QStringList expected{"1.2", "1.1", "1", "1", "1"};
    for (const QString& text : expected) {
        QTest::mouseClick(page->m_spinDeltaScale->DownButton(), Qt::LeftButton);
        EXPECT_EQ(page->m_editDeltaScale->text(), text);
    }
    page->m_spinDeltaScale->StepBy(1);
    EXPECT_EQ(page->m_editDeltaScale->text(), "1.1");
    dialog.OkButton()->click();
    EXPECT_FLOAT_EQ(sheet.m_fDeltaScale, 1.1f);
}

TEST_F(ClusterSheetDialog, TypedDeltaScaleIsNotLimitedButMustBeANumber) {
    CClusterSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.Tabs()->setCurrentIndex(1);
    QLineEdit* edit = dialog.m_pageGraphics->m_editDeltaScale;
    edit->setText("abc");
    dialog.OkButton()->click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Geben Sie bitte eine Zahl ein."});
    EXPECT_EQ(dialog.focusWidget(), edit);
    // A spin step on a bad text reports it again and changes nothing.
    dialog.m_pageGraphics->m_spinDeltaScale->StepBy(1);
    EXPECT_EQ(edit->text(), "abc");
    EXPECT_EQ(ui.messages.size(), 2u);
    edit->setText("0.25");
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(sheet.m_fDeltaScale, 0.25f);
}

TEST_F(ClusterSheetDialog, DrawDeltaVectorsControlsItsDependants) {
    sheet.m_bDrawDeltaVectors = 0;
    CClusterSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.Tabs()->setCurrentIndex(1);
    CPropertyPageClusterGraphics* page = dialog.m_pageGraphics;
    const std::initializer_list<QWidget*> dependants{page->m_btnNumberVectors,
                                                     page->m_editDeltaScale, page->m_spinDeltaScale,
                                                     page->m_labelDeltaScale};
    for (QWidget* w : dependants)
        EXPECT_FALSE(w->isEnabled());
    EXPECT_TRUE(page->m_btnReferenceOnly->isEnabled());
    page->m_btnDrawDeltaVectors->click();
    for (QWidget* w : dependants)
        EXPECT_TRUE(w->isEnabled());
}

} // namespace
