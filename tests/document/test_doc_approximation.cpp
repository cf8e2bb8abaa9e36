#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "model/approx_sheet.h"
#include "platform/scripted_interaction.h"
#include "support/hint_recorder.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

namespace {

const char* kReplaceQuestion =
    "The specimen is already approximated.\nShould the current approximation be deleted?";

class DocApproximation : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    CHintRecorder view{doc};
    CSpecimenRecord* record = nullptr;

    void SetUp() override {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->Contour = shapes::Ellipse(400, 170, 5, 600, 450, 240);
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        auto r = std::make_unique<CSpecimenRecord>(std::move(specimen));
        record = r.get();
        doc.AddSpecimenRecord(std::move(r));
        doc.SetSelectedRecord(record);
        doc.SetModifiedFlag(false);
        view.Clear();
    }

    void ScriptSheet(bool ok, int controlPoints = 8) {
        ui.sheetEditors.push_back([ok, controlPoints](CModalSheet& sheet) {
            auto& s = dynamic_cast<CPropertySheetApprox&>(sheet);
            s.m_nControlPoints = controlPoints;
            return ok;
        });
    }
};

TEST_F(DocApproximation, CalculateFitsAfterTheSheetAndAttaches) {
    ScriptSheet(true, 6);
    doc.OnCommand(ID_APPROXIMATION_CALCULATE);
    ASSERT_TRUE(record->HasApproximation());
    EXPECT_EQ(record->GetApproximation()->ApproxLower.GetControlPointCount(), 7);
    EXPECT_EQ(ui.sheetCaptions, (std::vector<std::string>{"Approximation"}));
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintApproxCalculated}));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(ui.waitCursorDepth, 0);
    EXPECT_GE(ui.waitCursorShown, 1);
}

TEST_F(DocApproximation, CancelledSheetAttachesNothing) {
    ScriptSheet(false);
    EXPECT_EQ(doc.ApproximateSpecimen(record), 1);
    EXPECT_FALSE(record->HasApproximation());
    EXPECT_TRUE(view.received.empty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocApproximation, DecliningTheReplacementChangesNothing) {
    ScriptSheet(true);
    doc.ApproximateSpecimen(record);
    const CApproxSpecimen* before = record->GetApproximation();
    view.Clear();
    ui.answers.push_back(MsgAnswer::No);
    EXPECT_EQ(doc.ApproximateSpecimen(record), 0);
    EXPECT_EQ(record->GetApproximation(), before);
    EXPECT_EQ(ui.messages.back().text, kReplaceQuestion);
    EXPECT_EQ(ui.messages.back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.messages.back().icon, MsgIcon::Information);
    EXPECT_TRUE(view.received.empty());
}

// The old approximation is deleted before the new fit starts, so cancelling the sheet then
// leaves the record without one.
TEST_F(DocApproximation, AcceptingTheReplacementThenCancellingLeavesNone) {
    ScriptSheet(true);
    doc.ApproximateSpecimen(record);
    view.Clear();
    ui.answers.push_back(MsgAnswer::Yes);
    ScriptSheet(false);
    EXPECT_EQ(doc.ApproximateSpecimen(record), 1);
    EXPECT_FALSE(record->HasApproximation());
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintApproxDeleted}));
}

TEST_F(DocApproximation, DecliningNormalPositionAttachesNothing) {
    record->GetSpecimen()->SetApplyTransformation(false);
    ui.answers.push_back(MsgAnswer::No);
    doc.ApproximateSpecimen(record);
    EXPECT_FALSE(record->HasApproximation());
    EXPECT_FALSE(record->GetSpecimen()->GetApplyTransformation());
    EXPECT_EQ(ui.messages.back().text,
              "The specimen must be in normal position for the transformation.\n"
              "Should the specimen be transformed accordingly?");
}

TEST_F(DocApproximation, PropertiesAndDeleteNotify) {
    ScriptSheet(true);
    doc.ApproximateSpecimen(record);
    view.Clear();
    ScriptSheet(true, 5);
    doc.OnCommand(ID_APPROXIMATION_PROPERTIES);
    EXPECT_EQ(record->GetApproximation()->ApproxUpper.GetControlPointCount(), 6);
    ScriptSheet(false);
    doc.OnCommand(ID_APPROXIMATION_PROPERTIES);
    doc.OnCommand(ID_APPROXIMATION_DELETE);
    EXPECT_FALSE(record->HasApproximation());
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintApproxChanged, hintApproxDeleted}));
}

// A specimen whose outline does not cross its axis has no halves to fit: the fit is refused
// with a message and no approximation (and no NaN) reaches the document.
TEST_F(DocApproximation, AnOutlineWithoutHalvesIsRefusedWithAMessage) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->Contour = {{1, 1}, {2, 2}, {3, 3}};
    specimen->CalculateStatistics();
    auto r = std::make_unique<CSpecimenRecord>(std::move(specimen));
    CSpecimenRecord* flat = r.get();
    doc.AddSpecimenRecord(std::move(r));
    ScriptSheet(true);
    doc.ApproximateSpecimen(flat);
    EXPECT_FALSE(flat->HasApproximation());
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().icon, MsgIcon::Exclamation);
}

TEST_F(DocApproximation, CalculateWithoutSelectionSaysSo) {
    doc.SetSelectedRecord(nullptr);
    doc.OnCommand(ID_APPROXIMATION_CALCULATE);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"There is no selected specimen."}));
}

} // namespace
