#include "document/carinova_doc.h"

#include "document/cluster_data_export.h"
#include "document/command_ids.h"
#include "formats/image_specimen_source.h"
#include "formats/specimen_file.h"
#include "formats/specimen_reader.h"
#include "formats/tps_writer.h"
#include "platform/text_encoding.h"
#include "platform/text_file.h"
#include "platform/user_interaction.h"

#include <filesystem>
#include <optional>
#include <system_error>

namespace {

constexpr const char* kNoSelection = "There is no selected specimen.";
constexpr const char* kImageFilter = "Valve Images (*.png;*.jpg;*.jpeg;*.tif;*.tiff;*.bmp)|"
                                     "*.png; *.jpg; *.jpeg; *.tif; *.tiff; *.bmp|";

std::string CurrentDirectory() {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::current_path(ec);
    return ec ? std::string() : dir.string();
}

} // namespace

void CCarinovaDoc::OnSpecimenInsert() {
    CFileDialogRequest request;
    request.open = true;
    request.multiSelect = true;
    request.pathMustExist = true;
    request.filter = "All Specimen Files (*.tps;*.msd)|*.tps; *.msd|Thinplate Files (*.tps)|*.tps|"
                     "Morphosys Files (*.msd)|*.msd|"
                     "Other Outline Files (*.chc;*.nts;*.txt;*.csv;*.asc)|"
                     "*.chc; *.nts; *.txt; *.csv; *.asc|" +
                     std::string(imageSource_ ? kImageFilter : "") + "All Files (*.*)|*.*||";
    const CFileDialogResult result = ui_.FileDialog(request);
    if (result.outcome != CFileDialogResult::Accepted)
        return;
    InsertSpecimensFromFiles(result.paths);
}

// Every file's specimens are added; one report then says, file by file, which reader took it,
// how many specimens it gave and what was skipped or changed. Cancel takes effect between
// files and keeps what was read.
void CCarinovaDoc::InsertSpecimensFromFiles(const std::vector<std::string>& paths) {
    std::vector<std::string> summaries;
    std::string details;
    bool allComplete = true;
    {
        std::unique_ptr<CReadingProgress> progress = ui_.CreateReadingProgress();
        progress->SetRange(0, static_cast<int>(paths.size()));
        int fileNumber = 0;
        for (const std::string& path : paths) {
            if (progress->CheckCancel())
                break;
            std::optional<CSpecimenFile> read;
            if (imageSource_ && imageSource_->IsImage(path))
                read = imageSource_->Read(path);
            else
                read = ReadSpecimenFile(path);
            ++fileNumber;
            if (!read)
                continue;
            CSpecimenFile& file = *read;
            for (std::unique_ptr<CSpecimen>& specimen : file.specimens) {
                const std::string name = specimen->ShortPathName;
                AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
                progress->SetText(name);
                progress->SetPos(fileNumber);
            }
            const std::string name = ShortNameOfPath(XmlSafeText(path));
            summaries.push_back(file.Summary(name));
            for (const std::string& line : file.Details(name))
                details += line + "\n";
            allComplete = allComplete && file.Outcome() == CSpecimenFile::EOutcome::Complete;
        }
    }
    if (summaries.empty())
        return;
    std::string text;
    for (const std::string& summary : summaries)
        text += (text.empty() ? "" : "\n") + summary;
    ui_.MessageWithDetails(text, details, allComplete ? MsgIcon::Information : MsgIcon::Exclamation);
}

void CCarinovaDoc::OnSpecimenDelete() {
    if (!selected_) {
        ui_.Message(kNoSelection);
        return;
    }
    DeleteSpecimenRecord(selected_);
}

void CCarinovaDoc::OnSpecimenExportTps() {
    const CSpecimen* specimen = GetSelectedSpecimen();
    if (!specimen)
        return;
    CFileDialogRequest request;
    request.open = false;
    request.title = "Export specimen image as TPS";
    request.filter = "TPS File(*.tps)|*.tps||";
    request.fileName = DefaultTpsExportName(specimen->ShortPathName);
    request.initialDir = CurrentDirectory();
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const CFileDialogResult result = ui_.FileDialog(request);
    if (result.outcome == CFileDialogResult::Failed) {
        ui_.Message("Could not save the image.", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
        return;
    // A file that cannot be written is reported; the previous file stays as it was.
    std::string error;
    if (!WriteSpecimenAsTps(*specimen, result.paths.front(), error))
        ui_.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
}

void CCarinovaDoc::OnHelp() {
    std::error_code ec;
    if (!helpFilePath_.empty() && std::filesystem::is_regular_file(helpFilePath_, ec)) {
        if (!ui_.ShowHelp(""))
            ui_.Message("Error: Unable to activate help.");
        return;
    }
    ui_.Message("Error: Carinova help file not found. Check for file:\r\n" + helpFilePath_ +
                "\r\nUnable to activate help.");
}

bool CCarinovaDoc::OnCommand(int id) {
    switch (id) {
    case ID_SPECIMEN_INSERT:
        OnSpecimenInsert();
        return true;
    case ID_SPECIMEN_DELETE:
        OnSpecimenDelete();
        return true;
    case ID_SPECIMEN_EXPORT_TPS:
        OnSpecimenExportTps();
        return true;
    case ID_HELP_CARINOVA:
        OnHelp();
        return true;
    case ID_CLUSTER_INSERT:
        OnClusterInsert();
        return true;
    case ID_CLUSTER_DELETE:
        OnClusterDelete();
        return true;
    case ID_CLUSTER_MARK_REFERENCE:
        OnClusterMarkReference();
        return true;
    case ID_CLUSTER_MEAN:
        OnClusterMean();
        return true;
    case ID_CLUSTER_EXPORT:
        ExportClusterData(cluster_);
        return true;
    case ID_APPROXIMATION_CALCULATE:
        if (selected_)
            ApproximateSpecimen(selected_);
        else
            ui_.Message(kNoSelection);
        return true;
    case ID_APPROXIMATION_PROPERTIES:
        EditApproximationProperties(selected_);
        return true;
    case ID_APPROXIMATION_DELETE:
        DeleteApproximation(selected_);
        return true;
    default:
        return false;
    }
}

bool CCarinovaDoc::OnUpdateCommand(int id, bool& enabled) const {
    switch (id) {
    case ID_SPECIMEN_INSERT:
    case ID_HELP_CARINOVA:
    case ID_APPROXIMATION_CALCULATE:
        enabled = true;
        return true;
    case ID_SPECIMEN_DELETE:
    case ID_CLUSTER_INSERT:
        enabled = selected_ != nullptr;
        return true;
    case ID_SPECIMEN_EXPORT_TPS:
        enabled = selected_ && selected_->HasSpecimen();
        return true;
    // The dialog does nothing while a record of the specimen branch is selected.
    case ID_CLUSTER_SELECT:
        enabled = !specimens_.empty() && !selected_;
        return true;
    case ID_CLUSTER_DELETE:
    case ID_CLUSTER_MARK_REFERENCE:
        enabled = clusterSelection_ != nullptr;
        return true;
    case ID_APPROXIMATION_PROPERTIES:
    case ID_APPROXIMATION_DELETE:
        enabled = selected_ && selected_->HasApproximation();
        return true;
    default:
        return false;
    }
}

void CCarinovaDoc::ExportClusterData(const std::vector<CSpecimenRecord*>& records) {
    CFileDialogRequest request;
    request.open = false;
    request.title = "Export data as";
    request.filter = "Text File(*.txt)|*.txt||";
    request.fileName = "export.txt";
    request.initialDir = CurrentDirectory();
    request.overwritePrompt = true;
    request.pathMustExist = true;
    const CFileDialogResult result = ui_.FileDialog(request);
    if (result.outcome == CFileDialogResult::Failed) {
        ui_.Message("Could not save the file.", MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
        return;
    const std::string text = FormatClusterDataExport(
        records, reference_ != nullptr, clusterParameter_.ControlPointsCnt, numberLocale_);
    std::string error;
    if (!WriteTextFile(result.paths.front(), text, error))
        ui_.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
}
