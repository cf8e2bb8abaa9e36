#include "dialogs/color_field.h"
#include "dialogs/property_page_specimen_file.h"
#include "dialogs/property_page_specimen_graphics.h"
#include "dialogs/property_page_specimen_info.h"
#include "dialogs/property_page_specimen_statistic.h"
#include "dialogs/specimen_sheet_dialog.h"
#include "dialogs/spin_button.h"

#include "platform/scripted_interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SpecimenSheetDialog : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CPropertySheetSpecimen sheet;

    void SetUp() override {
        sheet.caption = "Specimen";
        sheet.m_nPoints = 360;
        sheet.m_strFileName = "/data/valves.tps";
        sheet.m_strFileType = "Thinplate Spline";
        sheet.m_fScale = 0.123456789f;
        sheet.m_strIdentifier = "17";
        sheet.m_strName = "Cythere";
        sheet.m_strSex = "Female";
        sheet.m_nEveryNth = 60;
    }
};

TEST_F(SpecimenSheetDialog, PagesAndShownValues) {
    CSpecimenSheetDialog dialog(sheet, ui);
    EXPECT_EQ(dialog.windowTitle(), "Specimen");
    const char* titles[] = {"File", "Statistics", "Graphics", "Info"};
    ASSERT_EQ(dialog.Tabs()->count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dialog.Tabs()->tabText(i), titles[i]);
    CPropertyPageSpecimenFile* file = dialog.m_pageFile;
    EXPECT_EQ(file->m_editPoints->text(), "360");
    EXPECT_EQ(file->m_editScale->text(), "0.123457");
    EXPECT_TRUE(file->m_editFileName->isReadOnly());
    EXPECT_FALSE(file->m_editIdentifier->isReadOnly());
}

// Read-only fields show the window's colour behind their text, the editable ones the base
// colour of an entry field, so that the difference shows.
TEST_F(SpecimenSheetDialog, ReadOnlyFieldsLookReadOnly) {
    CSpecimenSheetDialog dialog(sheet, ui);
    int readOnly = 0;
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        const QColor behind = edit->palette().color(QPalette::Base);
        if (edit->isReadOnly()) {
            ++readOnly;
            EXPECT_EQ(behind, edit->palette().color(QPalette::Window))
                << edit->text().toStdString();
        } else {
            EXPECT_NE(behind, edit->palette().color(QPalette::Window))
                << edit->text().toStdString();
        }
    }
    EXPECT_EQ(readOnly, 9) << "five on the file page, four on the statistics page";
}

TEST_F(SpecimenSheetDialog, ANameOfTwentyOneCharactersCannotBeConfirmed) {
    sheet.m_strName = std::string(21, 'n');
    CSpecimenSheetDialog dialog(sheet, ui);
    dialog.show();
    QLineEdit* name = dialog.m_pageInfo->m_editName;
    EXPECT_EQ(name->text().size(), 21) << "the long name is shown whole";
    dialog.OkButton()->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 3);
    EXPECT_EQ(dialog.focusWidget(), name);
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte nicht mehr als 20 Zeichen ein."});
    name->setText(QString(20, 'n'));
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.m_strName, std::string(20, 'n'));
}

TEST_F(SpecimenSheetDialog, TypingStopsAtTwentyCharacters) {
    sheet.m_strName.clear();
    CSpecimenSheetDialog dialog(sheet, ui);
    dialog.show();
    dialog.Tabs()->setCurrentIndex(3);
    QLineEdit* name = dialog.m_pageInfo->m_editName;
    QTest::keyClicks(name, QString(25, 'a'));
    EXPECT_EQ(name->text(), QString(20, 'a'));
}

TEST_F(SpecimenSheetDialog, AnApproximatedSpecimenCannotChangeItsTransformation) {
    sheet.m_bHasApprox = 1;
    CSpecimenSheetDialog dialog(sheet, ui);
    EXPECT_FALSE(dialog.m_pageStatistic->m_btnTransform->isEnabled());
    EXPECT_TRUE(dialog.m_pageStatistic->m_btnTransform->isChecked());
    sheet.m_bHasApprox = 0;
    CSpecimenSheetDialog other(sheet, ui);
    EXPECT_TRUE(other.m_pageStatistic->m_btnTransform->isEnabled());
}

TEST_F(SpecimenSheetDialog, ComboBoxesOfferSortedPresetsAndKeepTypedTexts) {
    CSpecimenSheetDialog dialog(sheet, ui);
    QComboBox* sex = dialog.m_pageInfo->m_wndSex;
    QComboBox* stage = dialog.m_pageInfo->m_wndStage;
    ASSERT_EQ(sex->count(), 2);
    EXPECT_EQ(sex->itemText(0), "Female");
    EXPECT_EQ(sex->itemText(1), "Male");
    ASSERT_EQ(stage->count(), 2);
    EXPECT_EQ(stage->itemText(0), "Adult");
    EXPECT_EQ(stage->itemText(1), "Juvenil");
    EXPECT_TRUE(sex->isEditable());
    EXPECT_EQ(sex->currentText(), "Female");
    EXPECT_EQ(stage->currentText(), "") << "an empty stage stays empty";
    stage->setEditText("A-1 instar");
    dialog.OkButton()->click();
    EXPECT_EQ(sheet.m_strStage, "A-1 instar");
    EXPECT_EQ(sheet.m_strSex, "Female");
    EXPECT_EQ(stage->count(), 2);
}

TEST_F(SpecimenSheetDialog, EditableFieldsComeBackAndShownOnesStayExact) {
    CSpecimenSheetDialog dialog(sheet, ui);
    dialog.m_pageFile->m_editIdentifier->setText("18");
    dialog.m_pageFile->m_editComment->setText("broken rim");
    dialog.m_pageGraphics->m_btnDrawBoundingBox->setChecked(true);
    dialog.m_pageGraphics->m_wndContourColor->SetColor(RGB(0, 128, 255));
    dialog.m_pageInfo->m_editLocality->setText("Kiel");
    dialog.OkButton()->click();
    EXPECT_EQ(sheet.m_strIdentifier, "18");
    EXPECT_EQ(sheet.m_strComment, "broken rim");
    EXPECT_EQ(sheet.m_bDrawBoundingBox, 1);
    EXPECT_EQ(sheet.m_crContour, RGB(0, 128, 255));
    EXPECT_EQ(sheet.m_strLocality, "Kiel");
    EXPECT_EQ(sheet.m_fScale, 0.123456789f);
    EXPECT_EQ(sheet.m_nPoints, 360u);
}

TEST_F(SpecimenSheetDialog, EveryNthPointAcceptsOneToTwoHundred) {
    CSpecimenSheetDialog dialog(sheet, ui);
    dialog.show();
    CPropertyPageSpecimenGraphics* page = dialog.m_pageGraphics;
    page->m_editEveryNth->setText("0");
    dialog.OkButton()->click();
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Geben Sie bitte eine ganze Zahl zwischen 1 und 200 ein."});
    EXPECT_EQ(dialog.Tabs()->currentIndex(), 2);
    page->m_editEveryNth->setText("199");
    page->m_wndSpin->StepBy(1);
    page->m_wndSpin->StepBy(1);
    EXPECT_EQ(page->m_editEveryNth->text(), "200");
    dialog.OkButton()->click();
    EXPECT_EQ(sheet.m_nEveryNth, 200);
}

} // namespace
