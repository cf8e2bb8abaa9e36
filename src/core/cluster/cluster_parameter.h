#pragma once

#include "cluster/specimen_record.h"
#include "platform/gdi_types.h"

#include <memory>

// The cluster settings: how members are approximated and normalised, how the cluster views
// draw and print, and the slot that owns the computed mean specimen record.
class CClusterParameter {
public:
    enum NormalizeMode {
        NormalizeNone = 0,
        NormalizeOuterPoints = 1,
        NormalizeArea = 2,
        NormalizeCentroidSize = 3
    };

    int ControlPointsCnt = 8;
    int ParamIterCount = 6;
    bool ApplyParamIteration = true;
    int Normalize = NormalizeArea;
    ColorRef SpecimenColor = RGB(192, 192, 192);
    ColorRef ReferenceColor = RGB(0, 0, 255);
    ColorRef MeanSpecimenColor = RGB(176, 0, 0);
    bool DrawDeltaVectors = true;
    bool DrawReferenceSpecimenOnly = false;
    bool DrawVectorNumbers = true;
    float ErrorVectorsScale = 1.0f;
    bool PrintSpecimenList = true;
    int PrintingPenWidthSpecimen = 1;
    int PrintingPenWidthDeltaVectors = 1;
    int ColorSpace = 1;
    bool DrawMeanClusterSpecimen = true;

    // Back to the defaults. The mean record must have been taken out before (the document
    // removes it from the cluster first); a record still in the slot is released here.
    void ResetToDefaults() { *this = CClusterParameter(); }

    void SetMeanRecord(std::unique_ptr<CSpecimenRecord> record) { meanRecord_ = std::move(record); }
    std::unique_ptr<CSpecimenRecord> TakeMeanRecord() { return std::move(meanRecord_); }
    bool HasMeanRecord() const { return meanRecord_ != nullptr; }
    CSpecimenRecord* GetMeanRecord() const { return meanRecord_.get(); }

    CClusterParameter() = default;
    CClusterParameter(CClusterParameter&&) = default;
    CClusterParameter& operator=(CClusterParameter&&) = default;

private:
    std::unique_ptr<CSpecimenRecord> meanRecord_;
};
