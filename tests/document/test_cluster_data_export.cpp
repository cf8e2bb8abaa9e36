#include "cluster/specimen_record.h"
#include "document/carinova_doc.h"
#include "document/cluster_data_export.h"
#include "document/command_ids.h"
#include "platform/number_locale.h"
#include "platform/scripted_interaction.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace {

// A member with two control-point intervals per curve and delta vectors set by hand.
std::unique_ptr<CSpecimenRecord> Member(const std::string& name) {
    auto specimen = std::make_unique<CSpecimen>();
    specimen->ShortPathName = name;
    specimen->Locality = "Kiel\tBay"; // a tab inside a text cell
    specimen->Comment = "two\nlines";
    auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
    auto approx = std::make_unique<CApproxSpecimen>();
    approx->ApproxUpper.ControlPoints = {{1000, 0}, {0, 400.5f}, {-1000, 0}};
    approx->ApproxLower.ControlPoints = {{-1000, 0}, {0, -350.25f}, {1000, 0}};
    record->SetClusterApproximation(std::move(approx));
    auto data = std::make_unique<CClusterData>();
    data->DeltaVectorsUpper = {{0, 0}, {3, 4}, {0, 0}};
    data->DeltaVectorsLower = {{0, 0}, {-6, 8}, {0, 0}};
    data->MeanDelta = 3.75f;
    data->MaxDelta = 10.0f;
    data->SumDelta = 15.0f;
    data->SumDeltaQuadrat = 125.0f;
    data->MeanDeltaQuadrat = 5.59016994f;
    record->SetClusterData(std::move(data));
    return record;
}

TEST(ClusterDataExport, WithoutReferenceThreeCellsARowAndNoClusterSection) {
    auto r = Member("a.tps");
    const std::string text = FormatClusterDataExport({r.get()}, false, 2, CNumberLocale{});
    EXPECT_EQ(text,
              "Specimen Info:\n\n"
              "Specimen Name\tImage File\tLocality\tSex\tStage\tIdentifier\tComment\tVariables\n"
              "a.tps\t\tKiel Bay\t\t\t\ttwo lines\t\n"
              "\n\n"
              "Cluster Approximation for Specimen: a.tps\n"
              "Index\tControl Point\n\tx\ty\n"
              "m1\t1000.00\t0.00\t\n"
              "d1\t0.00\t400.50\t\n"
              "m2\t-1000.00\t0.00\t\n"
              "v1\t0.00\t-350.25\t\n"
              "\n");
}

TEST(ClusterDataExport, WithReferenceComparisonsAndDeltasInTheUsersFormat) {
    auto r = Member("b");
    CNumberLocale de;
    de.decimalSeparator = ",";
    de.digits = 3;
    const std::string text = FormatClusterDataExport({r.get()}, true, 2, de);
    EXPECT_NE(text.find("Cluster Info:\n\n"
                        "Specimen Name\tMean Delta\tMax Delta\tSum Delta\tSum Delta Quadrat\tMean "
                        "Delta Quadrat\n"
                        "b\t3,750\t10,000\t15,000\t125,000\t5,590\n\n\n"),
              std::string::npos);
    EXPECT_NE(text.find("Index\tControl Point\t\tDelta Vector\t\tDelta Length\n\tx\ty\tx\ty\t\n"
                        "m1\t1000,000\t0,000\t0,000\t0,000\t0,000\t\n"
                        "d1\t0,000\t400,500\t3,000\t4,000\t5,000\t\n"
                        "m2\t-1000,000\t0,000\t0,000\t0,000\t0,000\t\n"
                        "v1\t0,000\t-350,250\t-6,000\t8,000\t10,000\t\n\n"),
              std::string::npos);
}

TEST(ClusterDataExport, EmptyListWritesOnlyTheHeaders) {
    EXPECT_EQ(
        FormatClusterDataExport({}, true, 8, CNumberLocale{}),
        "Specimen Info:\n\n"
        "Specimen Name\tImage File\tLocality\tSex\tStage\tIdentifier\tComment\tVariables\n\n\n"
        "Cluster Info:\n\n"
        "Specimen Name\tMean Delta\tMax Delta\tSum Delta\tSum Delta Quadrat\tMean Delta "
        "Quadrat\n\n\n");
}

TEST(ClusterDataExport, MissingControlPointsLeaveEmptyCells) {
    auto r = Member("c");
    const std::string text = FormatClusterDataExport({r.get()}, false, 4, CNumberLocale{});
    EXPECT_NE(text.find("d3\t\t\t\n"), std::string::npos);
}

TEST(ClusterDataExportCommand, WritesCrLfAndReportsFailures) {
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    CScratchFolder dir;
    const std::string target = (dir.Path() / "export.txt").string();
    ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {target}});
    doc.ExportClusterData({});
    EXPECT_EQ(ui.fileDialogs.back().title, "Export data as");
    EXPECT_EQ(ui.fileDialogs.back().fileName, "export.txt");
    EXPECT_EQ(CScratchFolder::ReadBytes(target).substr(0, 16), "Specimen Info:\r\n");

    ui.fileDialogResults.push_back(
        {CFileDialogResult::Accepted, {(dir.Path() / "no" / "x.txt").string()}});
    doc.ExportClusterData({});
    ASSERT_EQ(ui.messages.size(), 1u);
    ui.fileDialogResults.push_back({CFileDialogResult::Failed, {}});
    doc.ExportClusterData({});
    EXPECT_EQ(ui.messages.back().text, "Could not save the file.");
}

} // namespace
