#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"
#include "document/carinova_doc.h"
#include "fuzz_checks.h"
#include "model/approx_sheet.h"
#include "platform/scripted_interaction.h"

#include <cmath>
#include <cstring>

namespace {

// Takes bytes from the front of the input; zeros once it is used up.
class CByteSource {
public:
    CByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int16_t Int16() {
        const auto low = Byte();
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(Byte() << 8 | low));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// An outline: a point count, a power-of-two scale from tiny to near the float limit, then
// 16-bit coordinates. Scaled this way every value is finite, as a reader would store it.
std::unique_ptr<CSpecimen> MakeOutline(CByteSource& in) {
    auto specimen = std::make_unique<CSpecimen>();
    const int count = in.Byte() % 128;
    // 2^-120 to 2^111: a 16-bit coordinate times the largest scale stays below FLT_MAX.
    const float scale = std::ldexp(1.0f, static_cast<int>(in.Byte() % 232) - 120);
    for (int i = 0; i < count && !in.Empty(); ++i) {
        const float x = in.Int16() * scale;
        specimen->Contour.emplace_back(x, in.Int16() * scale);
    }
    specimen->NormalizeOrientation();
    specimen->CalculateStatistics();
    return specimen;
}

void SetClusterParameters(CByteSource& in, CClusterParameter& parameter) {
    parameter.ControlPointsCnt = in.Byte() % 24;
    parameter.ApplyParamIteration = in.Byte() % 2 != 0;
    parameter.ParamIterCount = in.Byte() % 8;
    parameter.Normalize = in.Byte() % 4;
}

std::vector<const CApproxSpecimen*> ClusterApproximations(const CCarinovaDoc& doc) {
    std::vector<const CApproxSpecimen*> list;
    for (const CSpecimenRecord* record : doc.GetClusterList())
        list.push_back(record->GetClusterApproximation());
    return list;
}

void CheckDocument(const CCarinovaDoc& doc) {
    for (const auto& record : doc.GetSpecimenList()) {
        RequireNoNaN(*record->GetSpecimen());
        if (record->GetApproximation())
            RequireNoNaN(*record->GetApproximation());
    }
    for (const CSpecimenRecord* record : doc.GetClusterList())
        if (record->GetClusterApproximation())
            RequireNoNaN(*record->GetClusterApproximation());
}

} // namespace

// The road of outlines from reading to comparison: insert, approximate with fuzzed settings,
// put into the cluster, compare with a reference and the mean, and build the pairwise tables.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CByteSource in(data, size);
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    SetClusterParameters(in, doc.GetClusterParameter());
    const int controlPoints = in.Byte() % 24;
    const int iterations = in.Byte() % 8;
    const int outlines = 1 + in.Byte() % 4;
    for (int i = 0; i < outlines; ++i)
        doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(MakeOutline(in)));

    for (const auto& record : doc.GetSpecimenList()) {
        ui.sheetEditors.push_back([&](CModalSheet& sheet) {
            auto& approx = dynamic_cast<CPropertySheetApprox&>(sheet);
            approx.m_nControlPoints = controlPoints;
            approx.m_nIterations = iterations;
            return true;
        });
        doc.ApproximateSpecimen(record.get());
        doc.InsertIntoCluster(record.get());
    }
    if (!doc.GetClusterList().empty())
        doc.SetReferenceRecord(doc.GetClusterList().front());
    doc.CalculateMeanSpecimen();
    CheckDocument(doc);

    const std::vector<const CApproxSpecimen*> list = ClusterApproximations(doc);
    (void)PairwiseRmsMatrix(list, doc.GetClusterParameter().ControlPointsCnt);
    (void)PairwiseSideAreas(list, CSplineSide::Dorsal);
    (void)PairwiseSideAreas(list, CSplineSide::Ventral);
    (void)PairwiseTotalAreas(list);
    return 0;
}
