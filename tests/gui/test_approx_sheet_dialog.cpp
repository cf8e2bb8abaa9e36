#include "dialogs/approx_sheet_dialog.h"
#include "dialogs/color_field.h"
#include "dialogs/property_page_approx_graphics.h"
#include "dialogs/property_page_approx_params.h"
#include "dialogs/property_page_approx_points.h"
#include "dialogs/property_page_approx_statistics.h"
#include "dialogs/spin_button.h"

#include "platform/scripted_interaction.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

class ApproxSheetDialog : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CPropertySheetApprox sheet;

    void SetUp() override {
        sheet.caption = "Approximation";
        sheet.m_nControlPoints = 8;
        sheet.m_nIterations = 6;
        sheet.m_bApplyCorrection = 1;
    }
};

TEST_F(ApproxSheetDialog, PagesInOrderWithTheirTitles) {
    CApproxSheetDialog dialog(sheet, ui);
    EXPECT_EQ(dialog.windowTitle(), "Approximation");
    ASSERT_EQ(dialog.Tabs()->count(), 4);
    EXPECT_EQ(dialog.Tabs()->tabText(0), "Params");
    EXPECT_EQ(dialog.Tabs()->tabText(1), "Statistics");
    EXPECT_EQ(dialog.Tabs()->tabText(2), "Graphics");
    EXPECT_EQ(dialog.Tabs()->tabText(3), "Control points");
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
    EXPECT_EQ(dialog.m_pageParams->m_controls.m_editControlPoints->text(), "8");
    EXPECT_EQ(dialog.m_pageParams->m_controls.m_editIterations->text(), "6");
}

TEST_F(ApproxSheetDialog, ThirtyOneControlPointsAreRefusedAndTheSheetStaysOpen) {
    CApproxSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.Tabs()->setCurrentIndex(2); // OK checks the params page even from another page
    QLineEdit* edit = dialog.m_pageParams->m_controls.m_editControlPoints;
    edit->setText("31");
    dialog.OkButton()->click();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte eine ganze Zahl zwischen 3 und 30 ein."});
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
    EXPECT_EQ(dialog.focusWidget(), edit);
    EXPECT_EQ(sheet.m_nControlPoints, 8);
}

TEST_F(ApproxSheetDialog, LeavingAPageWithABadValueIsRefused) {
    CApproxSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.m_pageParams->m_controls.m_editIterations->setText("six");
    dialog.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 0);
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Geben Sie bitte eine ganze Zahl ein."});
    dialog.m_pageParams->m_controls.m_editIterations->setText("7");
    dialog.Tabs()->setCurrentIndex(1);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 1);
}

TEST_F(ApproxSheetDialog, FiveThousandIterationsAreAcceptedThoughTheSpinStopsAtHundred) {
    CApproxSheetDialog dialog(sheet, ui);
    CFittingControls& c = dialog.m_pageParams->m_controls;
    c.m_editIterations->setText("99");
    c.m_spinIterations->StepBy(1);
    c.m_spinIterations->StepBy(1);
    EXPECT_EQ(c.m_editIterations->text(), "100");
    c.m_editIterations->setText("5000");
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(sheet.m_nIterations, 5000);
    c.m_editIterations->setText("6001");
    EXPECT_FALSE(dialog.m_pageParams->UpdateData(true));
    EXPECT_EQ(ui.MessageTexts().back(), "Geben Sie bitte eine ganze Zahl zwischen 0 und 6000 ein.");
}

TEST_F(ApproxSheetDialog, ControlPointSpinKeepsWithinThreeToThirty) {
    CApproxSheetDialog dialog(sheet, ui);
    CFittingControls& c = dialog.m_pageParams->m_controls;
    c.m_editControlPoints->setText("29");
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(c.m_spinControlPoints->UpButton(), Qt::LeftButton);
    EXPECT_EQ(c.m_editControlPoints->text(), "30");
    c.m_editControlPoints->setText("4");
    for (int i = 0; i < 3; ++i)
        c.m_spinControlPoints->StepBy(-1);
    EXPECT_EQ(c.m_editControlPoints->text(), "3");
    // A typed number out of range is not a starting point: the last position is.
    c.m_editControlPoints->setText("31");
    c.m_spinControlPoints->StepBy(1);
    EXPECT_EQ(c.m_editControlPoints->text(), "4");
}

TEST_F(ApproxSheetDialog, UncheckingCorrectionGreysTheIterationsButKeepsTheValue) {
    CApproxSheetDialog dialog(sheet, ui);
    dialog.show();
    CFittingControls& c = dialog.m_pageParams->m_controls;
    EXPECT_TRUE(c.m_editIterations->isEnabled());
    QTest::mouseClick(c.m_btnApplyCorrection, Qt::LeftButton);
    EXPECT_FALSE(c.m_btnApplyCorrection->isChecked());
    EXPECT_FALSE(c.m_editIterations->isEnabled());
    EXPECT_FALSE(c.m_spinIterations->isEnabled());
    EXPECT_FALSE(c.m_labelIterations->isEnabled());
    EXPECT_EQ(c.m_editIterations->text(), "6");
    dialog.OkButton()->click();
    EXPECT_EQ(sheet.m_bApplyCorrection, 0);
    EXPECT_EQ(sheet.m_nIterations, 6);
}

TEST_F(ApproxSheetDialog, CorrectionOffAtStartGreysTheIterations) {
    sheet.m_bApplyCorrection = 0;
    CApproxSheetDialog dialog(sheet, ui);
    EXPECT_FALSE(dialog.m_pageParams->m_controls.m_editIterations->isEnabled());
}

TEST_F(ApproxSheetDialog, InvalidErrorsDisableTheStatisticsAndShowInvalid) {
    CApproxSheetDialog dialog(sheet, ui);
    CPropertyPageApproxStatistics* page = dialog.m_pageStatistics;
    EXPECT_EQ(page->m_editMaxError->text(), "invalid");
    EXPECT_EQ(page->m_editMeanError->text(), "invalid");
    const std::initializer_list<QWidget*> controls{page->m_btnDrawError,  page->m_btnMarkMaxError,
                                                   page->m_editMaxError,  page->m_editMeanError,
                                                   page->m_labelMaxError, page->m_labelMeanError};
    for (QWidget* w : controls)
        EXPECT_FALSE(w->isEnabled());
}

TEST_F(ApproxSheetDialog, ValidErrorsLeaveTheStatisticsEditable) {
    sheet.m_bErrorsValid = 1;
    sheet.m_strMaxError = "1.250 dorsal / 2.000 ventral";
    CApproxSheetDialog dialog(sheet, ui);
    EXPECT_TRUE(dialog.m_pageStatistics->m_btnDrawError->isEnabled());
    EXPECT_TRUE(dialog.m_pageStatistics->m_labelMaxError->isEnabled());
    EXPECT_EQ(dialog.m_pageStatistics->m_editMaxError->text(), "1.250 dorsal / 2.000 ventral");
}

TEST_F(ApproxSheetDialog, ValuesComeBackOnlyOnOK) {
    sheet.m_bDrawPolygon = 1;
    {
        CApproxSheetDialog dialog(sheet, ui);
        dialog.m_pageParams->m_controls.m_editControlPoints->setText("12");
        dialog.m_pageGraphics->m_btnDrawPolygon->setChecked(false);
        dialog.CancelButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(sheet.m_nControlPoints, 8);
    EXPECT_EQ(sheet.m_bDrawPolygon, 1);
    {
        CApproxSheetDialog dialog(sheet, ui);
        dialog.m_pageParams->m_controls.m_editControlPoints->setText("12");
        dialog.m_pageGraphics->m_btnDrawPolygon->setChecked(false);
        EXPECT_FALSE(dialog.ApplyButton()->isEnabled());
        dialog.ApplyButton()->click();
        EXPECT_EQ(sheet.m_nControlPoints, 8) << "Apply does nothing";
        dialog.OkButton()->click();
    }
    EXPECT_EQ(sheet.m_nControlPoints, 12);
    EXPECT_EQ(sheet.m_bDrawPolygon, 0);
}

TEST_F(ApproxSheetDialog, ColourChooserChangesTheSplineColourOnlyWhenConfirmed) {
    sheet.m_crSpline = RGB(255, 0, 0);
    CApproxSheetDialog dialog(sheet, ui);
    CColorField* field = dialog.m_pageGraphics->m_wndSplineColor;
    ColorRef offered = 0;
    field->SetChooser([&](ColorRef initial, QWidget*) -> std::optional<ColorRef> {
        offered = initial;
        return std::nullopt;
    });
    field->Button()->click();
    EXPECT_EQ(offered, RGB(255, 0, 0));
    EXPECT_EQ(field->GetColor(), RGB(255, 0, 0));
    field->SetChooser([](ColorRef, QWidget*) { return std::optional<ColorRef>(RGB(10, 20, 30)); });
    field->Button()->click();
    EXPECT_EQ(field->Box()->palette().color(QPalette::Window), QColor(10, 20, 30));
    EXPECT_EQ(sheet.m_crSpline, RGB(255, 0, 0));
    dialog.OkButton()->click();
    EXPECT_EQ(sheet.m_crSpline, RGB(10, 20, 30));
}

TEST_F(ApproxSheetDialog, ControlPointListShowsVentralRowsFirst) {
    sheet.m_aDorsal = {FPoint(100.0f, 0.0f), FPoint(50.5f, 40.25f), FPoint(-100.0f, 0.0f)};
    sheet.m_aVentral = {FPoint(-100.0f, 0.0f), FPoint(-0.125f, -30.0f), FPoint(100.0f, 0.0f)};
    CApproxSheetDialog dialog(sheet, ui);
    QTreeWidget* list = dialog.m_pagePoints->m_wndList;
    EXPECT_TRUE(list->isEnabled());
    const QStringList headers{"Number", "Contur", "X Coord", "Y Coord", ""};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(list->headerItem()->text(c), headers[c]);
    ASSERT_EQ(list->topLevelItemCount(), 6);
    const char* expected[6][4] = {
        {"0", "ventral", "-100.000000", "0.000000"}, {"1", "ventral", "-0.125000", "-30.000000"},
        {"2", "ventral", "100.000000", "0.000000"},  {"0", "dorsal", "100.000000", "0.000000"},
        {"1", "dorsal", "50.500000", "40.250000"},   {"2", "dorsal", "-100.000000", "0.000000"}};
    for (int r = 0; r < 6; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(list->topLevelItem(r)->text(c), expected[r][c]) << r << "," << c;
    }
    EXPECT_EQ(list->topLevelItem(0)->textAlignment(2) & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(list->topLevelItem(0)->textAlignment(1) & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(list->columnWidth(2), list->columnWidth(3));
}

// With the eleven points a side of ten intervals and coordinates of real size, the sheet opens
// wide enough to show the "Y Coord" column whole beside the list's scroll bar.
TEST_F(ApproxSheetDialog, ControlPointListShowsTheYColumnWhole) {
    for (int i = 0; i <= 10; ++i) {
        sheet.m_aDorsal.push_back(FPoint(-12345.678f + i, 9876.543f));
        sheet.m_aVentral.push_back(FPoint(-12345.678f + i, -9876.543f));
    }
    CApproxSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.Tabs()->setCurrentIndex(3);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = dialog.m_pagePoints->m_wndList;
    QHeaderView* header = list->header();
    EXPECT_LE(header->sectionViewportPosition(3) + header->sectionSize(3),
              list->viewport()->width());
}

TEST_F(ApproxSheetDialog, ControlPointListIsDisabledWhenACurveIsMissing) {
    sheet.m_aDorsal = {FPoint(1.0f, 2.0f)};
    CApproxSheetDialog dialog(sheet, ui);
    EXPECT_FALSE(dialog.m_pagePoints->m_wndList->isEnabled());
    EXPECT_EQ(dialog.m_pagePoints->m_wndList->topLevelItemCount(), 0);
}

TEST_F(ApproxSheetDialog, HelpAsksForTheTopicOfThePageInFront) {
    CApproxSheetDialog dialog(sheet, ui);
    dialog.show();
    const char* topics[] = {"::/html/cari0207.htm#approximation_params",
                            "::/html/cari0207.htm#approximation_statistics",
                            "::/html/cari0207.htm#approximation_options",
                            "::/html/cari0207.htm#approximation_ctrlpnts"};
    for (int i = 0; i < 4; ++i) {
        dialog.Tabs()->setCurrentIndex(i);
        dialog.HelpButton()->click();
    }
    dialog.Tabs()->setCurrentIndex(0);
    QTest::keyClick(dialog.m_pageParams->m_controls.m_editControlPoints, Qt::Key_F1);
    ASSERT_EQ(ui.helpTopics.size(), 5u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ui.helpTopics[i], topics[i]);
    EXPECT_EQ(ui.helpTopics[4], topics[0]);
}

} // namespace
