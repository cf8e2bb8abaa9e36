#include "document/carinova_doc.h"

#include "cluster/cluster_comparison.h"
#include "cluster/cluster_member_fit.h"
#include "cluster/mean_specimen.h"
#include "cluster/size_normalization.h"
#include "platform/parallel_for.h"
#include "platform/user_interaction.h"

#include <algorithm>
#include <unordered_set>

namespace {
constexpr const char* kNoSelection = "There is no selected specimen.";
// A message about records left out names at most this many; the rest are counted.
constexpr std::size_t kNamedLeftOut = 10;
} // namespace

bool CCarinovaDoc::IsInCluster(const CSpecimenRecord* record) const {
    return clusterMembers_.count(record) != 0;
}

void CCarinovaDoc::AppendToClusterList(CSpecimenRecord* record) {
    cluster_.push_back(record);
    clusterMembers_.insert(record);
}

void CCarinovaDoc::ClearClusterList() {
    cluster_.clear();
    clusterMembers_.clear();
}

// A member whose cluster approximation cannot be made (normal position declined, no fit, an
// undefined size factor) is refused; the cluster stays as it was.
int CCarinovaDoc::InsertIntoCluster(CSpecimenRecord* record) {
    if (!record || !record->HasSpecimen())
        return 1;
    if (IsInCluster(record)) {
        ui_.Message("The selected specimen is already present in the cluster.\n", MsgButtons::OK,
                    MsgIcon::Information);
        return 1;
    }
    std::unique_ptr<CApproxSpecimen> approximation = MakeClusterApproximation(clusterParameter_);
    CSpecimen& specimen = *record->GetSpecimen();
    std::string error;
    if (!approximation->Approximate(specimen, false, ui_)) {
        ReportNotInserted(specimen);
        return 1;
    }
    if (!NormalizeClusterApproximation(*approximation, specimen, clusterParameter_.Normalize,
                                       error)) {
        ui_.Message(error, MsgButtons::OK, MsgIcon::Exclamation);
        return 1;
    }
    AddClusterMember(record, std::move(approximation));
    return 1;
}

// The same as inserting one record after the other, except that the records left out are
// reported together in one message at the end; the fits of the records already in normal
// position (which need no question) run on all cores first.
int CCarinovaDoc::InsertIntoCluster(const std::vector<CSpecimenRecord*>& records,
                                    bool stepProgress) {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::vector<const CSpecimen*> ready;
    std::vector<std::size_t> slot(records.size(), kNone);
    std::unordered_set<const CSpecimenRecord*> seen;
    for (std::size_t i = 0; i < records.size(); ++i) {
        CSpecimenRecord* r = records[i];
        if (!seen.insert(r).second || !r || !r->HasSpecimen() || IsInCluster(r) ||
            !r->GetSpecimen()->GetApplyTransformation())
            continue;
        slot[i] = ready.size();
        ready.push_back(r->GetSpecimen());
    }
    std::vector<CClusterMemberFit> fits;
    if (!ready.empty()) {
        CWaitCursor wait(ui_);
        fits = FitClusterMembers(ready, clusterParameter_);
    }
    std::vector<std::string> leftOut;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (slot[i] == kNone)
            InsertIntoCluster(records[i]);
        else if (fits[slot[i]].approximation)
            AddClusterMember(records[i], std::move(fits[slot[i]].approximation));
        else
            leftOut.push_back("\"" + records[i]->GetSpecimen()->ShortPathName +
                              "\": " + fits[slot[i]].error);
        if (stepProgress)
            ui_.StepProgress();
    }
    ReportNotInserted(leftOut);
    return 1;
}

void CCarinovaDoc::ReportNotInserted(const std::vector<std::string>& leftOut) {
    if (leftOut.empty())
        return;
    std::string text = leftOut.size() == 1
                           ? "A specimen was not inserted into the cluster:"
                           : std::to_string(leftOut.size()) +
                                 " specimens were not inserted into the cluster:";
    for (std::size_t i = 0; i < leftOut.size() && i < kNamedLeftOut; ++i)
        text += "\n" + leftOut[i];
    if (leftOut.size() > kNamedLeftOut)
        text += "\nand " + std::to_string(leftOut.size() - kNamedLeftOut) + " more.";
    ui_.Message(text, MsgButtons::OK, MsgIcon::Exclamation);
}

void CCarinovaDoc::ReportNotInserted(const CSpecimen& specimen) {
    ui_.Message("The specimen \"" + specimen.ShortPathName + "\" was not inserted into the cluster.",
                MsgButtons::OK, MsgIcon::Exclamation);
}

void CCarinovaDoc::AddClusterMember(CSpecimenRecord* record,
                                    std::unique_ptr<CApproxSpecimen> approximation) {
    AppendToClusterList(record);
    record->SetClusterApproximation(std::move(approximation));
    record->SetClusterData(std::make_unique<CClusterData>());
    if (reference_)
        UpdateClusterData(record);
    SetModifiedFlag();
    Notify(hintClusterInserted, record);
}

int CCarinovaDoc::RemoveFromCluster(CSpecimenRecord* record) {
    if (!IsInCluster(record))
        return 1;
    cluster_.erase(std::find(cluster_.begin(), cluster_.end(), record));
    clusterMembers_.erase(record);
    if (record == reference_)
        SetReferenceRecord(nullptr);
    record->TakeClusterApproximation().reset();
    record->TakeClusterData().reset();
    if (clusterSelection_ == record)
        clusterSelection_ = nullptr; // the tree drops the item on the hint below
    SetModifiedFlag();
    Notify(hintClusterRemoved, record);
    return 1;
}

void CCarinovaDoc::SetReferenceRecord(CSpecimenRecord* record) {
    if (reference_ && reference_->HasClusterApproximation()) {
        const bool isMean = reference_ == clusterParameter_.GetMeanRecord();
        reference_->GetClusterApproximation()->SetColor(isMean ? clusterParameter_.MeanSpecimenColor
                                                               : clusterParameter_.SpecimenColor);
    }
    if (!record) {
        for (CSpecimenRecord* member : cluster_)
            member->SetClusterData(std::make_unique<CClusterData>());
    }
    reference_ = record;
    if (record) {
        if (record->HasClusterApproximation())
            record->GetClusterApproximation()->SetColor(clusterParameter_.ReferenceColor);
        std::vector<CSpecimenRecord*> compared = cluster_;
        if (clusterParameter_.HasMeanRecord())
            compared.push_back(clusterParameter_.GetMeanRecord());
        UpdateClusterData(compared);
    }
    SetModifiedFlag();
    Notify(hintReferenceChanged, record);
}

void CCarinovaDoc::UpdateClusterData(CSpecimenRecord* record) {
    if (!record || !reference_ || !record->HasClusterApproximation() ||
        !reference_->HasClusterApproximation())
        return;
    if (!record->HasClusterData())
        record->SetClusterData(std::make_unique<CClusterData>());
    ComputeClusterData(*record->GetClusterApproximation(), *reference_->GetClusterApproximation(),
                       *record->GetClusterData());
}

// Each comparison reads only its member and the reference, so they run on all cores. A record
// listed twice (the mean while it is a member) is compared once.
void CCarinovaDoc::UpdateClusterData(const std::vector<CSpecimenRecord*>& records) {
    if (!reference_ || !reference_->HasClusterApproximation())
        return;
    std::vector<CSpecimenRecord*> members;
    for (CSpecimenRecord* record : records) {
        if (!record || !record->HasClusterApproximation() ||
            std::find(members.begin(), members.end(), record) != members.end())
            continue;
        if (!record->HasClusterData())
            record->SetClusterData(std::make_unique<CClusterData>());
        members.push_back(record);
    }
    const CApproxSpecimen& reference = *reference_->GetClusterApproximation();
    ParallelFor(members.size(), [&](std::size_t i) {
        ComputeClusterData(*members[i]->GetClusterApproximation(), reference,
                           *members[i]->GetClusterData());
    });
}

void CCarinovaDoc::CalculateMeanSpecimen() {
    if (cluster_.empty() || clusterParameter_.HasMeanRecord())
        return;
    std::unique_ptr<CSpecimenRecord> mean = MakeMeanSpecimenRecord(cluster_, clusterParameter_);
    CSpecimenRecord* record = mean.get();
    clusterParameter_.SetMeanRecord(std::move(mean));
    if (reference_)
        UpdateClusterData(record);
    AppendToClusterList(record);
    SetModifiedFlag();
    Notify(hintMeanCalculated, record);
}

void CCarinovaDoc::RemoveMeanSpecimen() {
    CSpecimenRecord* mean = clusterParameter_.GetMeanRecord();
    if (!mean)
        return;
    RemoveFromCluster(mean);
    clusterParameter_.TakeMeanRecord().reset();
    SetModifiedFlag();
    // Sent after the record is gone: views only use the value to find their entry for it.
    Notify(hintMeanRemoved, mean);
}

void CCarinovaDoc::GetClusterBoundingRect(FRect& rect) const {
    bool first = true;
    for (const CSpecimenRecord* member : cluster_) {
        if (!member->HasClusterApproximation())
            continue;
        FRect box;
        member->GetClusterApproximation()->GetBoundingBox(box);
        rect = first ? box : rect.Union(box);
        first = false;
    }
}

void CCarinovaDoc::OnClusterInsert() {
    if (selected_)
        InsertIntoCluster(selected_);
}

void CCarinovaDoc::OnClusterDelete() {
    if (!clusterSelection_) {
        ui_.Message(kNoSelection);
        return;
    }
    RemoveFromCluster(clusterSelection_);
}

void CCarinovaDoc::OnClusterMarkReference() {
    if (!clusterSelection_) {
        ui_.Message(kNoSelection);
        return;
    }
    SetReferenceRecord(clusterSelection_);
}

void CCarinovaDoc::OnClusterMean() {
    if (!clusterParameter_.HasMeanRecord()) {
        CalculateMeanSpecimen();
        return;
    }
    if (ui_.Message("Should the mean specimen be removed from the cluster?", MsgButtons::YesNo,
                    MsgIcon::Information) == MsgAnswer::Yes)
        RemoveMeanSpecimen();
}
