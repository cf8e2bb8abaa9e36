#include "cluster/cluster_data.h"
#include "document/carinova_doc.h"
#include "fuzz_checks.h"
#include "fuzz_input_file.h"
#include "model/fit_limits.h"
#include "platform/scripted_interaction.h"

namespace {

void RequireSoundSettings(int controlPoints, int iterations) {
    FuzzRequire(controlPoints >= kMinControlPoints && controlPoints <= kMaxControlPoints);
    FuzzRequire(iterations >= 0 && iterations <= kMaxFitIterations);
}

void RequireSound(const CApproxSpecimen& a) {
    RequireSoundSettings(a.ControlPointsCnt, a.ParamIterCount);
    RequireFinite(a.ApproxLower.ControlPoints);
    RequireFinite(a.ApproxUpper.ControlPoints);
    RequireFinite({a.MaxDiffOben, a.MaxDiffUnten, a.MeanDiffOben, a.MeanDiffUnten,
                   a.MaxDiffObenAtParam, a.MaxDiffUntenAtParam});
}

// Everything a record holds after an open, including the cluster data the reference
// recomputed: a number that is not finite must have failed the open instead.
void RequireSound(const CSpecimenRecord& record) {
    if (const CSpecimen* s = record.GetSpecimen()) {
        RequireFinite(s->Contour);
        RequireFinite(s->Centroid);
        RequireFinite(s->FirstEigenvect);
        RequireFinite(s->SecondEigenvect);
        RequireFinite(s->GetUpperHalf());
        RequireFinite(s->GetLowerHalf());
        RequireFinite({s->ScaleFactor});
    }
    if (const CApproxSpecimen* a = record.GetApproximation())
        RequireSound(*a);
    if (const CApproxSpecimen* a = record.GetClusterApproximation())
        RequireSound(*a);
    if (const CClusterData* d = record.GetClusterData()) {
        RequireFinite({d->MeanDelta, d->MaxDelta, d->SumDelta, d->SumDeltaQuadrat,
                       d->MeanDeltaQuadrat, d->Areatotal, d->Areadorsal, d->Areaventral});
        RequireFinite(d->DeltaVectorsUpper);
        RequireFinite(d->DeltaVectorsLower);
    }
}

} // namespace

// Opens the input as a document file the way File > Open does (validation, then reading into
// an emptied document) and, when that worked, checks every value it holds and saves the
// document again: whatever the reader accepted must be sound and writable.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CFuzzInputFile input(".cari");
    static const std::string saved = input.Sibling("saved.cari");
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    if (!doc.OnOpenDocument(input.Write(data, size)))
        return 0;
    const CClusterParameter& parameter = doc.GetClusterParameter();
    RequireSoundSettings(parameter.ControlPointsCnt, parameter.ParamIterCount);
    RequireFinite({parameter.ErrorVectorsScale});
    for (const auto& record : doc.GetSpecimenList())
        RequireSound(*record);
    if (const CSpecimenRecord* mean = parameter.GetMeanRecord())
        RequireSound(*mean);
    doc.OnSaveDocument(saved);
    return 0;
}
