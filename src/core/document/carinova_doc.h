#pragma once

#include "cluster/cluster_parameter.h"
#include "cluster/specimen_record.h"
#include "document/update_hint.h"
#include "platform/document.h"
#include "platform/number_locale.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class CUserInteraction;
struct CApproxFitSettings;
struct CClusterMemberFit;

// The one document: every loaded specimen record, the two selections, and the cluster with
// its members, reference, mean specimen and settings. Every change goes through an operation
// here, which sets the modified flag and then tells all views with a hint.
class CImageSpecimenSource;

class CCarinovaDoc : public CDocument {
public:
    explicit CCarinovaDoc(CUserInteraction& ui);
    ~CCarinovaDoc() override;

    CUserInteraction& GetInteraction() const { return ui_; }

    // --- records ---------------------------------------------------------------------------
    const std::vector<std::unique_ptr<CSpecimenRecord>>& GetSpecimenList() const {
        return specimens_;
    }
    int AddSpecimenRecord(std::unique_ptr<CSpecimenRecord> record);
    int DeleteSpecimenRecord(CSpecimenRecord* record);
    void RenameSpecimen(CSpecimenRecord* record, const std::string& name);
    bool ContainsRecord(const CSpecimenRecord* record) const;

    CSpecimenRecord* GetSelectedRecord() const { return selected_; }
    CSpecimen* GetSelectedSpecimen() const {
        return selected_ ? selected_->GetSpecimen() : nullptr;
    }
    void SetSelectedRecord(CSpecimenRecord* record);
    CSpecimenRecord* GetClusterSelection() const { return clusterSelection_; }
    void SetClusterSelection(CSpecimenRecord* record);

    // --- approximations --------------------------------------------------------------------
    int ApproximateSpecimen(CSpecimenRecord* record);
    int DeleteApproximation(CSpecimenRecord* record);
    int EditApproximationProperties(CSpecimenRecord* record);

    // --- cluster ---------------------------------------------------------------------------
    const std::vector<CSpecimenRecord*>& GetClusterList() const { return cluster_; }
    bool IsInCluster(const CSpecimenRecord* record) const;
    CSpecimenRecord* GetReferenceRecord() const { return reference_; }
    CClusterParameter& GetClusterParameter() { return clusterParameter_; }
    const CClusterParameter& GetClusterParameter() const { return clusterParameter_; }
    int InsertIntoCluster(CSpecimenRecord* record);
    // Several records, as if inserted one after the other, but the records that cannot be
    // fitted are reported in one message at the end; the fits run on all cores.
    // `stepProgress` steps the progress indicator after each record.
    int InsertIntoCluster(const std::vector<CSpecimenRecord*>& records, bool stepProgress = false);
    // Approximation > Calculate with the sheet values `settings` and then Cluster > Insert, for
    // several records at once, without questions or messages (for callers that report
    // themselves): each specimen is brought into normal position and fitted once, on all cores,
    // and its cluster approximation is made from that fit when the cluster fits with the same
    // settings, so the results are those of the two commands. Entry i of the result is empty
    // when records[i] went into the cluster, else a sentence naming the specimen and saying why
    // not. A record that is already a member only gets its new approximation.
    std::vector<std::string> ApproximateIntoCluster(const std::vector<CSpecimenRecord*>& records,
                                                    const CApproxFitSettings& settings);
    int RemoveFromCluster(CSpecimenRecord* record);
    void SetReferenceRecord(CSpecimenRecord* record);
    void CalculateMeanSpecimen();
    void RemoveMeanSpecimen();
    void UpdateClusterData(CSpecimenRecord* record);
    // The same for several records at once, on all cores.
    void UpdateClusterData(const std::vector<CSpecimenRecord*>& records);
    void GetClusterBoundingRect(FRect& rect) const;
    // The cluster property sheet; a change of how members are approximated rebuilds the
    // cluster after the user agreed. The other views get hint 11 or 10 from `sender`.
    bool EditClusterProperties(CView* sender);
    // Asks for a file and writes the tab-separated data of the records (cluster members).
    void ExportClusterData(const std::vector<CSpecimenRecord*>& records);

    // --- document lifecycle ----------------------------------------------------------------
    void DeleteContents();
    bool OnNewDocument();
    // Exchanges records, cluster, reference, mean and cluster settings with `other`, which
    // then holds the former contents; both documents lose their selections. This document's
    // views hear of it once (hintContentsReplaced), `other`'s not at all. Opening reads into a
    // fresh document and exchanges only on success, so a failed open changes nothing here.
    void ExchangeContents(CCarinovaDoc& other);

    // --- document file ---------------------------------------------------------------------
    // Reads the XML document file into the emptied document. On failure the user was told and
    // the document is left empty and modified, so the caller starts a new document.
    bool OnOpenDocument(const std::string& path);
    // Writes the XML document file; the modified flag is cleared only on success.
    bool OnSaveDocument(const std::string& path);
    // File > Open and Save as the framework runs them: a successful open or save makes the
    // path the document's; an open that failed after the contents were dropped leaves a new,
    // empty, untitled document.
    bool OpenDocumentFile(const std::string& path);
    bool DoSave(const std::string& path);
    // For the document reader: parts read from the file are attached as they are, with the
    // hint of the operation that would have made them (4, 7 and 12); nothing is recomputed.
    void AttachLoadedApproximation(CSpecimenRecord* record,
                                   std::unique_ptr<CApproxSpecimen> approx);
    void AttachLoadedClusterMember(CSpecimenRecord* record, std::unique_ptr<CApproxSpecimen> approx,
                                   std::unique_ptr<CClusterData> data);
    void AttachLoadedMeanRecord(std::unique_ptr<CSpecimenRecord> record);

    // --- commands --------------------------------------------------------------------------
    // Runs a command the document handles; false when it is not one of them.
    bool OnCommand(int id);
    // Whether the document handles the command, and if so whether it is enabled now.
    bool OnUpdateCommand(int id, bool& enabled) const;

    void OnSpecimenInsert();
    // Specimen > Insert without its file dialog: every specimen of the files, in order.
    void InsertSpecimensFromFiles(const std::vector<std::string>& paths);
    void OnSpecimenDelete();
    void OnSpecimenExportTps();
    void OnHelp();
    void OnClusterInsert();
    void OnClusterDelete();
    void OnClusterMarkReference();
    void OnClusterMean();

    // --- numbers in the user's format ------------------------------------------------------
    const CNumberLocale& GetNumberLocale() const { return numberLocale_; }
    void SetNumberLocale(const CNumberLocale& locale) { numberLocale_ = locale; }
    std::string FormatLocalizedNumber(float value) const;
    float ParseLocalizedNumber(const std::string& text) const;

    // The help file the help command opens.
    // Images among the inserted files are read through `source` when a front end gives one;
    // otherwise every file goes to the outline readers.
    void SetImageSource(CImageSpecimenSource* source) { imageSource_ = source; }

    void SetHelpFilePath(std::string path) { helpFilePath_ = std::move(path); }
    const std::string& GetHelpFilePath() const { return helpFilePath_; }

    // Sends a hint to all views (no sender).
    void Notify(UpdateHint hint, CObject* object = nullptr) {
        UpdateAllViews(nullptr, hint, object);
    }

private:
    void RebuildCluster();
    void ReportNotInserted(const CSpecimen& specimen);
    // One message for the records a bulk insert left out, each line a name and its reason.
    void ReportNotInserted(const std::vector<std::string>& leftOut);
    void AddClusterMember(CSpecimenRecord* record, std::unique_ptr<CApproxSpecimen> approximation);
    // The cluster list gains a record or is emptied; the member set follows it.
    void AppendToClusterList(CSpecimenRecord* record);
    void ClearClusterList();

    CUserInteraction& ui_;
    std::vector<std::unique_ptr<CSpecimenRecord>> specimens_;
    CSpecimenRecord* selected_ = nullptr;
    std::vector<CSpecimenRecord*> cluster_;
    // The records of cluster_, for membership tests that do not walk the list.
    std::unordered_set<const CSpecimenRecord*> clusterMembers_;
    CSpecimenRecord* clusterSelection_ = nullptr;
    CSpecimenRecord* reference_ = nullptr;
    CClusterParameter clusterParameter_;
    CNumberLocale numberLocale_ = CNumberLocale::FromEnvironment();
    std::string helpFilePath_;
    CImageSpecimenSource* imageSource_ = nullptr;
};
