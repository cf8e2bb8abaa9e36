#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "platform/scripted_interaction.h"
#include "scratch_folder.h"
#include "support/hint_recorder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const std::string kSamples = CARINOVA_SAMPLES_DIR;

CFileDialogResult Accept(std::vector<std::string> paths) {
    return {CFileDialogResult::Accepted, std::move(paths)};
}

class DocSpecimenCommands : public ::testing::Test {
protected:
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};
    CHintRecorder view{doc};

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& r : doc.GetSpecimenList())
            names.push_back(r->GetSpecimen()->ShortPathName);
        return names;
    }
};

TEST_F(DocSpecimenCommands, InsertAsksForSeveralSpecimenFiles) {
    ui.fileDialogResults.push_back({CFileDialogResult::Cancelled, {}});
    doc.OnCommand(ID_SPECIMEN_INSERT);
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    const CFileDialogRequest& r = ui.fileDialogs[0];
    EXPECT_TRUE(r.open);
    EXPECT_TRUE(r.multiSelect);
    EXPECT_TRUE(r.pathMustExist);
    EXPECT_EQ(r.filter,
              "All Specimen Files (*.tps;*.msd)|*.tps; *.msd|Thinplate Files (*.tps)|*.tps|"
              "Morphosys Files (*.msd)|*.msd|All Files (*.*)|*.*||");
    EXPECT_TRUE(doc.GetSpecimenList().empty());
    EXPECT_FALSE(doc.IsModified());
}

// Progress counts files, not specimens; unknown and unreadable files are passed over quietly.
TEST_F(DocSpecimenCommands, InsertReadsEveryFileWithItsReader) {
    CScratchFolder dir;
    const std::string unknown = dir.Write("notes.txt", "just some text\n");
    ui.fileDialogResults.push_back(
        Accept({kSamples + "/valves.msd", unknown, dir.Path().string() + "/missing.tps",
                kSamples + "/valves.txt"}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"valves.msd", "valves.msd (2)", "valves.txt",
                                                 "valves.txt (2)"}));
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(ui.progressTexts, Names());
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(view.Hints(), std::vector<int>(4, hintRecordAdded));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocSpecimenCommands, CancelStopsBetweenFilesAndKeepsWhatWasRead) {
    ui.cancelAtCheck = {2};
    ui.fileDialogResults.push_back(Accept({kSamples + "/valves.tps", kSamples + "/valves.msd"}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    ASSERT_EQ(doc.GetSpecimenList().size(), 6u);
    EXPECT_EQ(Names().back(), "valves.tps (6)");
}

class DocExportTps : public DocSpecimenCommands {
protected:
    void SetUp() override {
        ui.fileDialogResults.push_back(Accept({kSamples + "/valves.tps"}));
        doc.OnCommand(ID_SPECIMEN_INSERT);
        doc.SetSelectedRecord(doc.GetSpecimenList()[1].get());
    }
};

TEST_F(DocExportTps, OffersTheSpecimenNameAsTpsFile) {
    ui.fileDialogResults.push_back({CFileDialogResult::Cancelled, {}});
    doc.OnCommand(ID_SPECIMEN_EXPORT_TPS);
    const CFileDialogRequest& r = ui.fileDialogs.back();
    EXPECT_FALSE(r.open);
    EXPECT_EQ(r.title, "Export specimen image as TPS");
    EXPECT_EQ(r.fileName, "valves.tps");
    EXPECT_TRUE(r.overwritePrompt);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DocExportTps, AFailingDialogIsReported) {
    ui.fileDialogResults.push_back({CFileDialogResult::Failed, {}});
    doc.OnCommand(ID_SPECIMEN_EXPORT_TPS);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Could not save the image.");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(DocExportTps, WritesTheFileAndItReadsBack) {
    CScratchFolder dir;
    const std::string target = (dir.Path() / "out.tps").string();
    ui.fileDialogResults.push_back(Accept({target}));
    doc.OnCommand(ID_SPECIMEN_EXPORT_TPS);
    EXPECT_TRUE(ui.messages.empty());
    ui.fileDialogResults.push_back(Accept({target}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    ASSERT_EQ(doc.GetSpecimenList().size(), 7u);
    const CSpecimen& original = *doc.GetSpecimenList()[1]->GetSpecimen();
    const CSpecimen& back = *doc.GetSpecimenList()[6]->GetSpecimen();
    EXPECT_EQ(back.Contour.size(), original.Contour.size());
    EXPECT_EQ(back.Identifier, original.Identifier);
    EXPECT_FLOAT_EQ(back.ScaleFactor, original.ScaleFactor);
}

TEST_F(DocExportTps, AnUnwritableTargetIsReported) {
    CScratchFolder dir;
    ui.fileDialogResults.push_back(Accept({(dir.Path() / "no-such-folder" / "out.tps").string()}));
    doc.OnCommand(ID_SPECIMEN_EXPORT_TPS);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_NE(ui.messages[0].text.find("out.tps"), std::string::npos);
}

} // namespace
