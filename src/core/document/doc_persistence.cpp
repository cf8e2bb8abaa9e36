#include "document/carinova_doc.h"

#include "document/xml_document_reader.h"
#include "document/xml_document_writer.h"
#include "platform/user_interaction.h"

namespace {

void ShowFailure(CUserInteraction& ui, const std::string& text, const char* caption) {
    ui.MessageBox(text, caption, MsgButtons::OK, MsgIcon::Stop);
}

// The fixed text, followed on a line of its own by the reason where there is one.
std::string WithReason(const char* text, const std::string& reason) {
    return reason.empty() ? std::string(text) : text + ("\n" + reason);
}

} // namespace

bool CCarinovaDoc::OnOpenDocument(const std::string& path) {
    DeleteContents();
    // From here on the previous contents are gone, whatever happens.
    SetModifiedFlag();
    CWaitCursor wait(ui_);
    if (!IsXmlParserAvailable()) {
        ShowFailure(ui_,
                    "The MSXML 3.0 parser needs to be installed to \n open Carinova documents.",
                    "System failure");
        return false;
    }
    int version = 0;
    CParsedDocumentFile parsed;
    if (!ValidateDocumentFile(path, version, ui_, parsed)) {
        ShowFailure(ui_, WithReason("Trying to open invalid Carinova document.", parsed.Problem()),
                    "Carinova failure");
        return false;
    }
    if (!ReadDocumentFile(*this, parsed)) {
        // Nothing half-read stays: no record, reference or selection of a failed load.
        DeleteContents();
        SetModifiedFlag();
        ShowFailure(ui_, WithReason("Failed to open Carinova document.", parsed.Problem()),
                    "Carinova failure");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CCarinovaDoc::OnSaveDocument(const std::string& path) {
    if (!IsXmlParserAvailable()) {
        ShowFailure(ui_,
                    "The MSXML 3.0 Parser needs to be installed to \n save Carinova Documents.",
                    "System failure");
        return false;
    }
    std::string failure;
    if (!WriteDocumentFile(*this, path, failure)) {
        ShowFailure(ui_, WithReason("Failed to save Carinova Document.", failure),
                    "Carinova failure");
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CCarinovaDoc::OpenDocumentFile(const std::string& path) {
    if (OnOpenDocument(path)) {
        SetPathName(path);
        return true;
    }
    if (IsModified())
        OnNewDocument();
    return false;
}

bool CCarinovaDoc::DoSave(const std::string& path) {
    if (!OnSaveDocument(path))
        return false;
    SetPathName(path);
    return true;
}

void CCarinovaDoc::AttachLoadedApproximation(CSpecimenRecord* record,
                                             std::unique_ptr<CApproxSpecimen> approx) {
    record->SetApproximation(std::move(approx));
    SetModifiedFlag();
    Notify(hintApproxCalculated, record);
}

// The list entry is made first: if that fails, nothing is attached and no pointer dangles.
void CCarinovaDoc::AttachLoadedClusterMember(CSpecimenRecord* record,
                                             std::unique_ptr<CApproxSpecimen> approx,
                                             std::unique_ptr<CClusterData> data) {
    if (!data)
        data = std::make_unique<CClusterData>();
    AppendToClusterList(record);
    record->SetClusterApproximation(std::move(approx));
    record->SetClusterData(std::move(data));
    SetModifiedFlag();
    Notify(hintClusterInserted, record);
}

void CCarinovaDoc::AttachLoadedMeanRecord(std::unique_ptr<CSpecimenRecord> record) {
    if (clusterParameter_.HasMeanRecord())
        RemoveMeanSpecimen();
    CSpecimenRecord* mean = record.get();
    if (!mean->HasClusterData())
        mean->SetClusterData(std::make_unique<CClusterData>());
    AppendToClusterList(mean);
    clusterParameter_.SetMeanRecord(std::move(record));
    SetModifiedFlag();
    Notify(hintMeanCalculated, mean);
}
