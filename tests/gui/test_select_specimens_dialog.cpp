#include "dialogs/select_specimens_dialog.h"

#include "document/carinova_doc.h"
#include "document/update_hint.h"
#include "platform/scripted_interaction.h"
#include "support/hint_recorder.h"
#include "support/outline_shapes.h"

#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Remembers the maximum the progress bar was started with.
class ProgressRecordingInteraction : public CScriptedInteraction {
public:
    std::vector<int> maxima;
    void BeginProgress(int maximum) override {
        maxima.push_back(maximum);
        CScriptedInteraction::BeginProgress(maximum);
    }
};

class SelectSpecimensDialog : public ::testing::Test {
protected:
    ProgressRecordingInteraction ui;
    CCarinovaDoc doc{ui};
    std::vector<CSpecimenRecord*> records;

    void SetUp() override {
        for (int i = 0; i < 4; ++i)
            records.push_back(Add("valve " + std::to_string(i + 1), 300.0 + 40 * i, 120.0 + 7 * i));
    }

    CSpecimenRecord* Add(const std::string& name, double a, double b) {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = name;
        specimen->Contour = shapes::Ellipse(a, b, 8, 500, 400, 180, 3);
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        CSpecimenRecord* raw = record.get();
        doc.AddSpecimenRecord(std::move(record));
        return raw;
    }

    static void SetChecked(CSelectSpecimensDialog& dialog, int row, bool checked) {
        dialog.m_wndList->topLevelItem(row)->setCheckState(0,
                                                           checked ? Qt::Checked : Qt::Unchecked);
    }

    std::vector<CSpecimenRecord*> Cluster() const { return doc.GetClusterList(); }
};

TEST_F(SelectSpecimensDialog, ListsEverySpecimenCheckedByMembership) {
    doc.InsertIntoCluster(records[1]);
    doc.CalculateMeanSpecimen();
    CSelectSpecimensDialog dialog(doc);
    EXPECT_EQ(dialog.windowTitle(), "Add Specimens to Cluster");
    EXPECT_EQ(dialog.m_btnApply->text(), "Apply");
    EXPECT_EQ(dialog.m_btnCancel->text(), "Cancel");
    EXPECT_EQ(dialog.m_btnSelectAll->text(), "Select All");
    EXPECT_EQ(dialog.m_btnSelectNone->text(), "Select None");
    EXPECT_EQ(dialog.m_wndList->headerItem()->text(0), "Selected");
    EXPECT_EQ(dialog.m_wndList->headerItem()->text(1), "Specimen");
    ASSERT_EQ(dialog.m_wndList->topLevelItemCount(), 4) << "the mean specimen is not listed";
    for (int i = 0; i < 4; ++i) {
        const QTreeWidgetItem* row = dialog.m_wndList->topLevelItem(i);
        EXPECT_EQ(row->text(0), "");
        EXPECT_EQ(row->text(1).toStdString(), "valve " + std::to_string(i + 1));
        EXPECT_EQ(row->checkState(0), i == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

TEST_F(SelectSpecimensDialog, ApplyWithoutChangesInsertsAndRemovesNothing) {
    doc.InsertIntoCluster(records[2]);
    CHintRecorder view(doc);
    CSelectSpecimensDialog dialog(doc);
    dialog.m_btnApply->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Cluster(), std::vector<CSpecimenRecord*>{records[2]});
    EXPECT_TRUE(view.received.empty());
    EXPECT_EQ(ui.maxima, std::vector<int>{0});
    EXPECT_EQ(ui.progressSteps, 0);
    EXPECT_EQ(ui.progressEnded, 1);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(SelectSpecimensDialog, SelectAllInsertsTheOthersInListOrderAfterTheMembers) {
    doc.InsertIntoCluster(records[2]);
    CHintRecorder view(doc);
    CSelectSpecimensDialog dialog(doc);
    dialog.m_btnSelectAll->click();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dialog.m_wndList->topLevelItem(i)->checkState(0), Qt::Checked);
    dialog.m_btnApply->click();
    const std::vector<CSpecimenRecord*> expected{records[2], records[0], records[1], records[3]};
    EXPECT_EQ(Cluster(), expected);
    EXPECT_EQ(ui.maxima, std::vector<int>{3});
    EXPECT_EQ(ui.progressSteps, 3);
    EXPECT_EQ(ui.progressEnded, 1);
    EXPECT_TRUE(ui.messages.empty()) << "the member already in is skipped, no duplicate message";
    ASSERT_EQ(view.received.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(view.received[i].first, hintClusterInserted);
        EXPECT_EQ(view.received[i].second, expected[i + 1]);
    }
    for (CSpecimenRecord* r : records)
        EXPECT_TRUE(r->HasClusterApproximation());
}

TEST_F(SelectSpecimensDialog, SelectNoneRemovesTheListedMembersButNotTheMean) {
    for (CSpecimenRecord* r : records)
        doc.InsertIntoCluster(r);
    doc.CalculateMeanSpecimen();
    CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    ASSERT_NE(mean, nullptr);
    doc.SetReferenceRecord(records[0]);
    CSelectSpecimensDialog dialog(doc);
    dialog.m_btnSelectNone->click();
    dialog.m_btnApply->click();
    EXPECT_EQ(Cluster(), std::vector<CSpecimenRecord*>{mean});
    EXPECT_EQ(doc.GetReferenceRecord(), nullptr);
    EXPECT_EQ(ui.maxima, std::vector<int>{0});
    for (CSpecimenRecord* r : records)
        EXPECT_FALSE(r->HasClusterApproximation());
}

TEST_F(SelectSpecimensDialog, MixedChangesRemoveAndAppendInOneApply) {
    doc.InsertIntoCluster(records[0]);
    doc.InsertIntoCluster(records[3]);
    CSelectSpecimensDialog dialog(doc);
    SetChecked(dialog, 0, false);
    SetChecked(dialog, 2, true);
    SetChecked(dialog, 1, true);
    dialog.m_btnApply->click();
    const std::vector<CSpecimenRecord*> expected{records[3], records[1], records[2]};
    EXPECT_EQ(Cluster(), expected);
    EXPECT_EQ(ui.maxima, std::vector<int>{2});
}

TEST_F(SelectSpecimensDialog, CancelAfterCheckingChangesNothing) {
    doc.InsertIntoCluster(records[1]);
    CHintRecorder view(doc);
    CSelectSpecimensDialog dialog(doc);
    dialog.m_btnSelectAll->click();
    SetChecked(dialog, 1, false);
    dialog.m_btnCancel->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Cluster(), std::vector<CSpecimenRecord*>{records[1]});
    EXPECT_TRUE(view.received.empty());
    EXPECT_TRUE(ui.maxima.empty());
}

TEST_F(SelectSpecimensDialog, AnEmptyDocumentGivesAnEmptyListThatApplies) {
    CScriptedInteraction quiet;
    CCarinovaDoc empty(quiet);
    CSelectSpecimensDialog dialog(empty);
    EXPECT_EQ(dialog.m_wndList->topLevelItemCount(), 0);
    dialog.m_btnApply->click();
    EXPECT_EQ(quiet.progressBegun, 1);
    EXPECT_EQ(quiet.progressEnded, 1);
    EXPECT_TRUE(empty.GetClusterList().empty());
}

} // namespace
