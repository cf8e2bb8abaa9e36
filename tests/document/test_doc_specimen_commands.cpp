#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "formats/image_specimen_source.h"
#include "formats/specimen_reader.h"
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
              "Morphosys Files (*.msd)|*.msd|Other Outline Files (*.chc;*.nts;*.txt;*.csv;*.asc)|"
              "*.chc; *.nts; *.txt; *.csv; *.asc|All Files (*.*)|*.*||");
    EXPECT_TRUE(doc.GetSpecimenList().empty());
    EXPECT_FALSE(doc.IsModified());
}

// Progress counts files, not specimens. One report then says what became of every file, the
// unknown and unreadable ones included, with the details on request.
TEST_F(DocSpecimenCommands, InsertReadsEveryFileWithItsReaderAndReportsOnce) {
    CScratchFolder dir;
    const std::string unknown = dir.Write("notes.txt", "just some text\n");
    const std::string damaged = dir.Write("cut.tps", "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n4 0\n0 4\n"
                                                     "LM=0\nOUTLINES=1\nPOINTS=3\n1 1\n");
    ui.fileDialogResults.push_back(
        Accept({kSamples + "/valves.msd", unknown, dir.Path().string() + "/missing.tps",
                damaged, kSamples + "/valves.txt"}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    EXPECT_EQ(Names(), (std::vector<std::string>{"valves.msd", "valves.msd (2)", "cut.tps",
                                                 "valves.txt", "valves.txt (2)"}));
    EXPECT_EQ(ui.progressPositions, (std::vector<int>{1, 1, 4, 5, 5}));
    EXPECT_EQ(ui.progressTexts, Names());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "valves.msd: 2 specimens (Morphosys)\n"
              "notes.txt: not an outline file of a known format (TPS, Morphosys, simple, chain "
              "code, NTSYS, x-y list)\n"
              "missing.tps: cannot open file: No such file or directory\n"
              "cut.tps: 1 specimen (TPS); line 9: cut.tps (2) skipped: the file ends after 1 of 3 "
              "points; it is probably cut\n"
              "valves.txt: 2 specimens (simple)");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ui.messages[0].details,
              "cut.tps, line 9: cut.tps (2) skipped: the file ends after 1 of 3 points; it is "
              "probably cut\n");
    EXPECT_EQ(view.Hints(), std::vector<int>(5, hintRecordAdded));
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocSpecimenCommands, CancelStopsBetweenFilesAndKeepsWhatWasRead) {
    ui.cancelAtCheck = {2};
    ui.fileDialogResults.push_back(Accept({kSamples + "/valves.tps", kSamples + "/valves.msd"}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    ASSERT_EQ(doc.GetSpecimenList().size(), 6u);
    EXPECT_EQ(Names().back(), "valves.tps (6)");
}

// A front end's image source: ".png" files are images; "cancel.png" is one the user cancels,
// the others give one specimen each.
class CScriptedImageSource : public CImageSpecimenSource {
public:
    std::vector<std::string> read;
    bool IsImage(const std::string& path) override { return path.ends_with(".png"); }
    std::optional<CSpecimenFile> Read(const std::string& path) override {
        read.push_back(path);
        if (path.ends_with("cancel.png"))
            return std::nullopt;
        CSpecimenFile file;
        file.path = path;
        file.format = "traced PNG image";
        auto specimen = std::make_unique<CSpecimen>();
        specimen->ShortPathName = ShortNameOfPath(path);
        specimen->Contour = {{0, 0}, {4, 0}, {0, 4}};
        file.specimens.push_back(std::move(specimen));
        file.notes.push_back({0, 0, "left out: 2 specks", false});
        return file;
    }
};

// Images among the files go to the front end's source, outline files to the readers; an image
// the user cancels is passed over in the report. Only a document with a source offers images.
TEST_F(DocSpecimenCommands, InsertGivesImagesToTheImageSource) {
    CScriptedImageSource images;
    ui.fileDialogResults.push_back({CFileDialogResult::Cancelled, {}});
    doc.OnCommand(ID_SPECIMEN_INSERT);
    EXPECT_EQ(ui.fileDialogs.back().filter.find("Valve Images"), std::string::npos);
    doc.SetImageSource(&images);
    ui.fileDialogResults.push_back(Accept(
        {"/data/valve.png", kSamples + "/valves.msd", "/data/cancel.png", "/data/other.png"}));
    doc.OnCommand(ID_SPECIMEN_INSERT);
    EXPECT_NE(ui.fileDialogs.back().filter.find(
                  "Valve Images (*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.bmp)|*.png; *.jpg; *.jpeg; "
                  "*.tif; *.tiff; *.bmp|All Files (*.*)|*.*||"),
              std::string::npos);
    EXPECT_EQ(images.read, (std::vector<std::string>{"/data/valve.png", "/data/cancel.png",
                                                     "/data/other.png"}));
    EXPECT_EQ(Names(), (std::vector<std::string>{"valve.png", "valves.msd", "valves.msd (2)",
                                                 "other.png"}));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "valve.png: 1 specimen (traced PNG image); left out: 2 specks\n"
              "valves.msd: 2 specimens (Morphosys)\n"
              "other.png: 1 specimen (traced PNG image); left out: 2 specks");
    EXPECT_EQ(ui.messages[0].icon, MsgIcon::Information);
}

class DocExportTps : public DocSpecimenCommands {
protected:
    void SetUp() override {
        ui.fileDialogResults.push_back(Accept({kSamples + "/valves.tps"}));
        doc.OnCommand(ID_SPECIMEN_INSERT);
        doc.SetSelectedRecord(doc.GetSpecimenList()[1].get());
        ui.messages.clear(); // the report of the insert
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
    EXPECT_EQ(back.Landmarks.size(), original.Landmarks.size());
    EXPECT_EQ(back.Identifier, original.Identifier);
    EXPECT_EQ(back.ImageFile, original.ImageFile);
    EXPECT_EQ(back.Comment, original.Comment);
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
