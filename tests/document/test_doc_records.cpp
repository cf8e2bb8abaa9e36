#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/scripted_interaction.h"
#include "scratch_folder.h"
#include "support/hint_recorder.h"
#include "support/outline_shapes.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<CSpecimenRecord> MakeRecord(const std::string& name) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ShortPathName = name;
    specimen->Contour = shapes::Ellipse(300, 120, 10, 500, 400, 200);
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return std::make_unique<CSpecimenRecord>(std::move(specimen));
}

class DocRecords : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    CHintRecorder view{doc};

    CSpecimenRecord* Add(const std::string& name) {
        auto record = MakeRecord(name);
        CSpecimenRecord* raw = record.get();
        doc.AddSpecimenRecord(std::move(record));
        return raw;
    }
};

TEST_F(DocRecords, AddingSetsModifiedAndTellsTheViews) {
    CSpecimenRecord* r = Add("a");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_EQ(view.received.size(), 1u);
    EXPECT_EQ(view.received[0], std::make_pair(int(hintRecordAdded), static_cast<CObject*>(r)));
}

TEST_F(DocRecords, SelectionAlwaysNotifiesClusterSelectionOnlyOnChange) {
    CSpecimenRecord* r = Add("a");
    doc.SetModifiedFlag(false);
    view.Clear();
    doc.SetSelectedRecord(r);
    doc.SetSelectedRecord(r);
    doc.SetClusterSelection(r);
    doc.SetClusterSelection(r);
    doc.SetClusterSelection(nullptr);
    EXPECT_EQ(view.Hints(), (std::vector<int>{3, 3, 10, 10}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocRecords, DeleteRemovesNotifiesThenForgetsTheSelection) {
    CSpecimenRecord* a = Add("a");
    Add("b");
    doc.SetSelectedRecord(a);
    view.Clear();
    doc.OnCommand(ID_SPECIMEN_DELETE);
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintRecordRemoved}));
    EXPECT_EQ(doc.GetSpecimenList().size(), 1u);
    EXPECT_EQ(doc.GetSelectedRecord(), nullptr);
}

TEST_F(DocRecords, DeleteWithoutSelectionSaysSo) {
    Add("a");
    view.Clear();
    doc.OnCommand(ID_SPECIMEN_DELETE);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"There is no selected specimen."}));
    EXPECT_EQ(doc.GetSpecimenList().size(), 1u);
    EXPECT_TRUE(view.received.empty());
}

TEST_F(DocRecords, DeletingARecordOutsideTheListChangesNothing) {
    Add("a");
    auto stranger = MakeRecord("x");
    view.Clear();
    EXPECT_EQ(doc.DeleteSpecimenRecord(stranger.get()), 1);
    EXPECT_TRUE(view.received.empty());
    EXPECT_EQ(doc.GetSpecimenList().size(), 1u);
}

TEST_F(DocRecords, RenameChangesTheListedName) {
    CSpecimenRecord* a = Add("a");
    view.Clear();
    doc.RenameSpecimen(a, "Cythere lutea");
    EXPECT_EQ(a->GetSpecimen()->ShortPathName, "Cythere lutea");
    EXPECT_EQ(view.Hints(), (std::vector<int>{hintSpecimenRenamed}));
}

TEST_F(DocRecords, NewDocumentEmptiesEverythingAndIsUnmodified) {
    Add("a");
    doc.SetSelectedRecord(doc.GetSpecimenList().front().get());
    doc.OnNewDocument();
    EXPECT_TRUE(doc.GetSpecimenList().empty());
    EXPECT_EQ(doc.GetSelectedRecord(), nullptr);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetTitle(), "Untitled");
}

TEST_F(DocRecords, CommandStatesFollowTheSelection) {
    bool enabled = true;
    EXPECT_TRUE(doc.OnUpdateCommand(ID_SPECIMEN_DELETE, enabled));
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(doc.OnUpdateCommand(ID_SPECIMEN_EXPORT_TPS, enabled));
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(doc.OnUpdateCommand(ID_CLUSTER_SELECT, enabled));
    EXPECT_FALSE(enabled);
    EXPECT_TRUE(doc.OnUpdateCommand(ID_SPECIMEN_INSERT, enabled));
    EXPECT_TRUE(enabled);
    CSpecimenRecord* a = Add("a");
    EXPECT_TRUE(doc.OnUpdateCommand(ID_CLUSTER_SELECT, enabled));
    EXPECT_TRUE(enabled);
    doc.SetSelectedRecord(a);
    for (int id : {ID_SPECIMEN_DELETE, ID_SPECIMEN_EXPORT_TPS, ID_CLUSTER_INSERT}) {
        EXPECT_TRUE(doc.OnUpdateCommand(id, enabled));
        EXPECT_TRUE(enabled) << id;
    }
    // The select dialog would do nothing while a specimen is selected.
    for (int id : {ID_APPROXIMATION_PROPERTIES, ID_APPROXIMATION_DELETE, ID_CLUSTER_DELETE,
                   ID_CLUSTER_MARK_REFERENCE, ID_CLUSTER_SELECT}) {
        EXPECT_TRUE(doc.OnUpdateCommand(id, enabled));
        EXPECT_FALSE(enabled) << id;
    }
    EXPECT_FALSE(doc.OnUpdateCommand(ID_FILE_SAVE, enabled));
}

TEST_F(DocRecords, HelpReportsAMissingFileWithItsPath) {
    doc.SetHelpFilePath("/nowhere/carinova.chm");
    doc.OnCommand(ID_HELP_CARINOVA);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Error: Carinova help file not found. Check for file:\r\n"
                                   "/nowhere/carinova.chm\r\nUnable to activate help.");
    EXPECT_TRUE(ui.helpTopics.empty());
}

TEST_F(DocRecords, HelpThatCannotBeShownSaysSo) {
    CScratchFolder dir;
    doc.SetHelpFilePath(dir.Write("help.html", "<html></html>"));
    ui.helpAvailable = false;
    doc.OnCommand(ID_HELP_CARINOVA);
    EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Error: Unable to activate help."}));
    ui.helpAvailable = true;
    doc.OnCommand(ID_HELP_CARINOVA);
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.helpTopics.size(), 2u);
}

} // namespace
