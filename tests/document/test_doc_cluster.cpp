#include "cluster/cluster_sheet.h"
#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/scripted_interaction.h"
#include "support/hint_recorder.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

class DocCluster : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    CHintRecorder view{doc};
    std::vector<CSpecimenRecord*> records;

    void SetUp() override {
        // Ellipses of different size and proportion, all with enough points for the fit.
        for (int i = 0; i < 4; ++i)
            records.push_back(Add("valve " + std::to_string(i + 1), 300.0 + 40 * i, 120.0 + 7 * i));
        view.Clear();
    }

    CSpecimenRecord* Add(const std::string& name, double a, double b) {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = name;
        specimen->ScaleSpecified = true;
        specimen->Contour = shapes::Ellipse(a, b, 8, 500, 400, 180, 3);
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        CSpecimenRecord* raw = record.get();
        doc.AddSpecimenRecord(std::move(record));
        return raw;
    }

    void InsertAll() {
        for (CSpecimenRecord* r : records)
            doc.InsertIntoCluster(r);
        view.Clear();
    }
};

TEST_F(DocCluster, InsertBuildsANormalisedClusterApproximation) {
    doc.InsertIntoCluster(records[0]);
    ASSERT_TRUE(records[0]->HasClusterApproximation());
    ASSERT_TRUE(records[0]->HasClusterData());
    const CApproxSpecimen& a = *records[0]->GetClusterApproximation();
    EXPECT_EQ(a.ApproxUpper.GetControlPointCount(), 9);
    EXPECT_FALSE(a.DrawError || a.MarkMaxError || a.DrawIndex);
    EXPECT_FALSE(a.ApproxLower.DrawControlPoints || a.ApproxLower.DrawControlPolygon);
    EXPECT_EQ(a.GetColor(), RGB(192, 192, 192));
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintClusterInserted}));
    EXPECT_TRUE(records[0]->GetClusterData()->DeltaVectorsUpper.empty());
}

TEST_F(DocCluster, InsertingTwiceIsRefusedWithAMessage) {
    doc.InsertIntoCluster(records[0]);
    view.Clear();
    EXPECT_EQ(doc.InsertIntoCluster(records[0]), 1);
    EXPECT_EQ(doc.GetClusterList().size(), 1u);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "The selected specimen is already present in the cluster.\n");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
    EXPECT_TRUE(view.received.empty());
}

// A specimen whose outline does not cross its axis cannot be approximated: it stays out.
TEST_F(DocCluster, AnOutlineThatCannotBeFittedIsRefused) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->Contour = {{0, 0}, {1, 1}, {2, 2}};
    specimen->CalculateStatistics();
    auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
    CSpecimenRecord* flat = record.get();
    doc.AddSpecimenRecord(std::move(record));
    view.Clear();
    doc.InsertIntoCluster(flat);
    EXPECT_TRUE(doc.GetClusterList().empty());
    EXPECT_FALSE(flat->HasClusterApproximation());
    EXPECT_FALSE(ui.messages.empty());
    EXPECT_TRUE(view.received.empty());
}

TEST_F(DocCluster, ReferenceColoursAndComparesEveryMember) {
    InsertAll();
    doc.SetReferenceRecord(records[1]);
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintReferenceChanged}));
    EXPECT_EQ(records[1]->GetClusterApproximation()->GetColor(), RGB(0, 0, 255));
    // The reference against itself: zero deltas, the smallest normal float as maximum.
    const CClusterData& self = *records[1]->GetClusterData();
    EXPECT_EQ(self.SumDelta, 0.0f);
    EXPECT_EQ(self.MaxDelta, 1.17549435e-38f);
    EXPECT_EQ(self.DeltaVectorsUpper.size(), 9u);
    EXPECT_GT(records[0]->GetClusterData()->SumDelta, 0.0f);

    doc.SetReferenceRecord(records[2]);
    EXPECT_EQ(records[1]->GetClusterApproximation()->GetColor(), RGB(192, 192, 192));
    doc.SetReferenceRecord(nullptr);
    for (CSpecimenRecord* r : records) {
        EXPECT_EQ(r->GetClusterData()->SumDelta, 0.0f);
        EXPECT_TRUE(r->GetClusterData()->DeltaVectorsLower.empty());
    }
}

TEST_F(DocCluster, DeletingTheReferenceClearsItThenLeavesClusterAndList) {
    InsertAll();
    doc.SetReferenceRecord(records[0]);
    doc.SetSelectedRecord(records[0]);
    view.Clear();
    doc.OnCommand(ID_SPECIMEN_DELETE);
    EXPECT_EQ(view.Hints(),
              (std::vector<int>{hintReferenceChanged, hintClusterRemoved, hintRecordRemoved}));
    EXPECT_EQ(doc.GetReferenceRecord(), nullptr);
    EXPECT_EQ(doc.GetClusterList().size(), 3u);
    EXPECT_EQ(records[1]->GetClusterData()->SumDelta, 0.0f);
}

TEST_F(DocCluster, MeanSpecimenAveragesAndCanBeTheReference) {
    InsertAll();
    doc.OnCommand(ID_CLUSTER_MEAN);
    ASSERT_TRUE(doc.GetClusterParameter().HasMeanRecord());
    CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    EXPECT_EQ(doc.GetClusterList().back(), mean);
    EXPECT_EQ(mean->GetSpecimen()->ShortPathName, "<Mean Specimen>");
    EXPECT_FALSE(doc.ContainsRecord(mean));
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintMeanCalculated}));
    // Control point 3 of the mean is the average of the members' (computed in double here).
    double sum = 0.0;
    for (CSpecimenRecord* r : records)
        sum += r->GetClusterApproximation()->ApproxLower.ControlPoints[3].x;
    EXPECT_NEAR(mean->GetClusterApproximation()->ApproxLower.ControlPoints[3].x, sum / 4, 1e-2);

    doc.SetClusterSelection(mean);
    doc.OnCommand(ID_CLUSTER_MARK_REFERENCE);
    view.Clear();
    ui.answers.push_back(MsgAnswer::Yes);
    doc.OnCommand(ID_CLUSTER_MEAN);
    EXPECT_EQ(ui.messages.back().text, "Should the mean specimen be removed from the cluster?");
    EXPECT_FALSE(doc.GetClusterParameter().HasMeanRecord());
    EXPECT_EQ(doc.GetReferenceRecord(), nullptr);
    EXPECT_EQ(doc.GetClusterSelection(), nullptr);
    EXPECT_EQ(view.Hints(),
              (std::vector<int>{hintReferenceChanged, hintClusterRemoved, hintMeanRemoved}));
    for (CSpecimenRecord* r : records)
        EXPECT_EQ(r->GetClusterData()->MeanDelta, 0.0f);
}

TEST_F(DocCluster, ClusterCommandsWithoutSelectionSaySo) {
    InsertAll();
    doc.OnCommand(ID_CLUSTER_DELETE);
    doc.OnCommand(ID_CLUSTER_MARK_REFERENCE);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>(2, "There is no selected specimen.")));
    EXPECT_EQ(doc.GetClusterList().size(), 4u);
}

// A changed control-point count rebuilds every member in the former order, drops the mean and
// marks the former reference again.
TEST_F(DocCluster, ChangedFittingPropertiesRebuildTheCluster) {
    InsertAll();
    doc.SetReferenceRecord(records[2]);
    doc.CalculateMeanSpecimen();
    view.Clear();
    ui.sheetEditors.push_back([](CModalSheet& s) {
        dynamic_cast<CPropertySheetCluster&>(s).m_nControlPoints = 5;
        return true;
    });
    ui.answers.push_back(MsgAnswer::Yes);
    EXPECT_TRUE(doc.EditClusterProperties(nullptr));
    EXPECT_EQ(ui.messages.back().text,
              "This change of the cluster properties requires a recalculation\n"
              "of the approximation. Should the properties be changed anyway?");
    EXPECT_EQ(doc.GetClusterList(), records);
    EXPECT_EQ(doc.GetReferenceRecord(), records[2]);
    EXPECT_FALSE(doc.GetClusterParameter().HasMeanRecord());
    EXPECT_EQ(records[0]->GetClusterApproximation()->ApproxLower.GetControlPointCount(), 6);
    EXPECT_EQ(records[0]->GetClusterData()->DeltaVectorsLower.size(), 6u);
    EXPECT_EQ(ui.progressBegun, 1);
    EXPECT_EQ(ui.progressSteps, 6);
    EXPECT_EQ(ui.progressEnded, 1);
    EXPECT_EQ(view.Hints().back(), hintClusterRecalculated);
}

TEST_F(DocCluster, DecliningTheRecalculationChangesNothing) {
    InsertAll();
    const CApproxSpecimen* before = records[0]->GetClusterApproximation();
    ui.sheetEditors.push_back([](CModalSheet& s) {
        dynamic_cast<CPropertySheetCluster&>(s).m_nNormalize = 1;
        return true;
    });
    ui.answers.push_back(MsgAnswer::No);
    EXPECT_FALSE(doc.EditClusterProperties(nullptr));
    EXPECT_EQ(doc.GetClusterParameter().Normalize, 2);
    EXPECT_EQ(records[0]->GetClusterApproximation(), before);
    EXPECT_TRUE(view.received.empty());
}

TEST_F(DocCluster, DrawingSettingsNeedNoQuestion) {
    InsertAll();
    const CApproxSpecimen* before = records[0]->GetClusterApproximation();
    ui.sheetEditors.push_back([](CModalSheet& s) {
        dynamic_cast<CPropertySheetCluster&>(s).m_fDeltaScale = 2.5f;
        return true;
    });
    EXPECT_TRUE(doc.EditClusterProperties(nullptr));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FLOAT_EQ(doc.GetClusterParameter().ErrorVectorsScale, 2.5f);
    EXPECT_EQ(records[0]->GetClusterApproximation(), before);
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintClusterSelectionChanged}));
}

TEST_F(DocCluster, OuterPointNormalisationPutsTheEndsAtPlusMinusThousand) {
    doc.GetClusterParameter().Normalize = 1;
    InsertAll();
    for (CSpecimenRecord* r : records) {
        const CApproxSpecimen& a = *r->GetClusterApproximation();
        EXPECT_NEAR(a.ApproxLower.ControlPoints.front().x, -1000.0f, 1e-2);
        EXPECT_NEAR(a.ApproxUpper.ControlPoints.front().x, 1000.0f, 1e-2);
    }
}

// Specimens in normal position that no fit can take: all their points on one line.
TEST_F(DocCluster, BulkInsertNamesEveryRecordLeftOutInOneMessage) {
    std::vector<CSpecimenRecord*> all = records;
    for (int i = 0; i < 12; ++i) {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = "flat " + std::to_string(i);
        specimen->Contour = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        all.insert(all.begin() + 2 * i % 5, record.get());
        doc.AddSpecimenRecord(std::move(record));
    }
    view.Clear();
    doc.InsertIntoCluster(all);
    EXPECT_EQ(doc.GetClusterList(), records);
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string& text = ui.messages[0].text;
    EXPECT_EQ(text.rfind("12 specimens were not inserted into the cluster:\n", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 11) << "ten named, the rest counted";
    EXPECT_NE(text.find("\nand 2 more."), std::string::npos) << text;
    EXPECT_EQ(view.Hints(), std::vector<int>(4, hintClusterInserted));
}

// Opening reads into a fresh document and exchanges: the records change hands, pointers and
// all, and only this document's views hear of it, once.
TEST_F(DocCluster, ExchangeContentsHandsOverRecordsClusterReferenceAndMean) {
    InsertAll();
    doc.SetReferenceRecord(records[1]);
    doc.CalculateMeanSpecimen();
    doc.GetClusterParameter().ErrorVectorsScale = 3.0f;
    doc.SetSelectedRecord(records[0]);
    const std::vector<CSpecimenRecord*> cluster = doc.GetClusterList();
    CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    CScriptedInteraction otherUi;
    CCarinovaDoc other(otherUi);
    CHintRecorder otherView(other);
    view.Clear();

    doc.ExchangeContents(other);
    EXPECT_TRUE(doc.GetSpecimenList().empty() && doc.GetClusterList().empty());
    EXPECT_EQ(doc.GetReferenceRecord(), nullptr);
    EXPECT_FALSE(doc.GetClusterParameter().HasMeanRecord());
    EXPECT_EQ(doc.GetClusterParameter().ErrorVectorsScale, 1.0f);
    EXPECT_EQ(doc.GetSelectedRecord(), nullptr);
    EXPECT_EQ(view.Hints(), std::vector<int>{hintContentsReplaced});
    EXPECT_TRUE(otherView.received.empty());

    EXPECT_EQ(other.GetClusterList(), cluster);
    EXPECT_EQ(other.GetReferenceRecord(), records[1]);
    EXPECT_EQ(other.GetClusterParameter().GetMeanRecord(), mean);
    EXPECT_EQ(other.GetClusterParameter().ErrorVectorsScale, 3.0f);
    EXPECT_EQ(other.GetSelectedRecord(), nullptr);
    for (CSpecimenRecord* r : cluster) {
        EXPECT_TRUE(other.IsInCluster(r));
        EXPECT_FALSE(doc.IsInCluster(r));
    }
    ASSERT_EQ(other.GetSpecimenList().size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(other.GetSpecimenList()[i].get(), records[i]);
}

// Membership is answered from a set beside the list; a seeded run of every operation that
// changes the cluster keeps the two in step.
TEST_F(DocCluster, MembershipFollowsTheClusterListThroughEveryOperation) {
    for (int i = 0; i < 8; ++i)
        records.push_back(Add("extra " + std::to_string(i), 320.0 + 9 * i, 150.0 - 4 * i));
    std::mt19937 random(5);
    CScriptedInteraction otherUi;
    CCarinovaDoc other(otherUi);
    const auto check = [](const CCarinovaDoc& d) {
        std::vector<const CSpecimenRecord*> all;
        for (const auto& r : d.GetSpecimenList())
            all.push_back(r.get());
        all.push_back(d.GetClusterParameter().GetMeanRecord());
        for (const CSpecimenRecord* r : all) {
            const auto& list = d.GetClusterList();
            const bool listed = r && std::find(list.begin(), list.end(), r) != list.end();
            if (r && d.IsInCluster(r) != listed)
                return false;
        }
        return true;
    };
    for (int step = 0; step < 200; ++step) {
        const auto& list = doc.GetSpecimenList();
        CSpecimenRecord* some = list.empty() ? nullptr : list[random() % list.size()].get();
        switch (random() % 7) {
        case 0:
            doc.InsertIntoCluster(some);
            break;
        case 1: {
            std::vector<CSpecimenRecord*> several;
            for (const auto& r : list)
                if (random() % 2)
                    several.push_back(r.get());
            doc.InsertIntoCluster(several);
            break;
        }
        case 2:
        case 3:
            doc.RemoveFromCluster(some);
            break;
        case 4:
            if (step % 3 == 0 && some)
                doc.DeleteSpecimenRecord(some);
            else
                doc.CalculateMeanSpecimen();
            break;
        case 5:
            doc.RemoveMeanSpecimen();
            break;
        default:
            doc.ExchangeContents(other);
            break;
        }
        ASSERT_TRUE(check(doc) && check(other)) << "after step " << step;
    }
    doc.DeleteContents();
    EXPECT_FALSE(doc.IsInCluster(nullptr));
    EXPECT_TRUE(check(doc));
}

} // namespace
