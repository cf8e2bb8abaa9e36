#include "document/carinova_doc.h"

#include "platform/user_interaction.h"

#include <algorithm>

CCarinovaDoc::CCarinovaDoc(CUserInteraction& ui) : ui_(ui) {}

CCarinovaDoc::~CCarinovaDoc() {
    // Members first: the cluster list and the selections only point into the records.
    ClearClusterList();
    selected_ = clusterSelection_ = reference_ = nullptr;
}

int CCarinovaDoc::AddSpecimenRecord(std::unique_ptr<CSpecimenRecord> record) {
    CSpecimenRecord* added = record.get();
    specimens_.push_back(std::move(record));
    SetModifiedFlag();
    Notify(hintRecordAdded, added);
    return 1;
}

bool CCarinovaDoc::ContainsRecord(const CSpecimenRecord* record) const {
    return std::any_of(specimens_.begin(), specimens_.end(),
                       [record](const auto& r) { return r.get() == record; });
}

int CCarinovaDoc::DeleteSpecimenRecord(CSpecimenRecord* record) {
    RemoveFromCluster(record);
    const auto it = std::find_if(specimens_.begin(), specimens_.end(),
                                 [record](const auto& r) { return r.get() == record; });
    if (it == specimens_.end())
        return 1;
    std::unique_ptr<CSpecimenRecord> owned = std::move(*it);
    specimens_.erase(it);
    SetModifiedFlag();
    Notify(hintRecordRemoved, record);
    // The views have let go of it; nothing in the document may point at it any more.
    if (selected_ == record)
        selected_ = nullptr;
    if (clusterSelection_ == record)
        clusterSelection_ = nullptr;
    return 1;
}

void CCarinovaDoc::RenameSpecimen(CSpecimenRecord* record, const std::string& name) {
    if (!record || !record->HasSpecimen())
        return;
    record->GetSpecimen()->ShortPathName = name;
    SetModifiedFlag();
    Notify(hintSpecimenRenamed, record);
}

void CCarinovaDoc::SetSelectedRecord(CSpecimenRecord* record) {
    selected_ = record;
    Notify(hintSelectionChanged, record);
}

void CCarinovaDoc::SetClusterSelection(CSpecimenRecord* record) {
    if (clusterSelection_ == record)
        return;
    clusterSelection_ = record;
    Notify(hintClusterSelectionChanged, record);
}

void CCarinovaDoc::DeleteContents() {
    if (clusterParameter_.HasMeanRecord())
        RemoveMeanSpecimen();
    clusterParameter_.ResetToDefaults();
    while (!specimens_.empty())
        DeleteSpecimenRecord(specimens_.front().get());
    ClearClusterList();
    reference_ = nullptr;
    clusterSelection_ = nullptr;
    selected_ = nullptr;
}

void CCarinovaDoc::ExchangeContents(CCarinovaDoc& other) {
    std::swap(specimens_, other.specimens_);
    std::swap(cluster_, other.cluster_);
    std::swap(clusterMembers_, other.clusterMembers_);
    std::swap(reference_, other.reference_);
    std::swap(clusterParameter_, other.clusterParameter_);
    selected_ = clusterSelection_ = nullptr;
    other.selected_ = other.clusterSelection_ = nullptr;
    SetModifiedFlag();
    Notify(hintContentsReplaced);
}

bool CCarinovaDoc::OnNewDocument() {
    DeleteContents();
    SetPathName("");
    SetTitle("Untitled");
    SetModifiedFlag(false);
    return true;
}

std::string CCarinovaDoc::FormatLocalizedNumber(float value) const {
    return ::FormatLocalizedNumber(value, numberLocale_);
}

float CCarinovaDoc::ParseLocalizedNumber(const std::string& text) const {
    return ::ParseLocalizedNumber(text, numberLocale_);
}
