#pragma once

#include "cluster/cluster_comparison.h"
#include "cluster/spline_areas.h"
#include "document/carinova_doc.h"
#include "formats/reader_factory.h"
#include "model/approx_specimen.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

// The whole road of a file through a document: Insert as the document reads, then every
// specimen approximated, put into the cluster, compared with the first member and the mean,
// and the pairwise tables. Failures along the way end in messages, never in a crash.
class CHostileRoad {
public:
    CHostileRoad() : doc_(ui_) {}

    // Inserts the file's specimens; returns how many were read.
    std::size_t Insert(const std::string& path) {
        const std::size_t before = doc_.GetSpecimenList().size();
        ui_.fileDialogResults.push_back({CFileDialogResult::Accepted, {path}});
        doc_.OnSpecimenInsert();
        return doc_.GetSpecimenList().size() - before;
    }

    void SetNormalize(int mode) { doc_.GetClusterParameter().Normalize = mode; }

    void ApproximateAndCluster() {
        for (const auto& record : doc_.GetSpecimenList()) {
            ui_.sheetEditors.push_back([](CModalSheet&) { return true; });
            doc_.ApproximateSpecimen(record.get());
            doc_.InsertIntoCluster(record.get());
        }
        if (!doc_.GetClusterList().empty())
            doc_.SetReferenceRecord(doc_.GetClusterList().front());
        doc_.CalculateMeanSpecimen();
        std::vector<const CApproxSpecimen*> list;
        for (const CSpecimenRecord* record : doc_.GetClusterList())
            list.push_back(record->GetClusterApproximation());
        tables_ = PairwiseRmsMatrix(list, doc_.GetClusterParameter().ControlPointsCnt);
        for (const CSplineSide side : {CSplineSide::Dorsal, CSplineSide::Ventral}) {
            const std::vector<float> areas = PairwiseSideAreas(list, side);
            tables_.insert(tables_.end(), areas.begin(), areas.end());
        }
        const std::vector<float> totals = PairwiseTotalAreas(list);
        tables_.insert(tables_.end(), totals.begin(), totals.end());
    }

    // Every number the document stores or the tables show is a number.
    void ExpectNoNaN() const {
        for (const auto& record : doc_.GetSpecimenList())
            ExpectNoNaN(*record);
        for (const CSpecimenRecord* record : doc_.GetClusterList())
            ExpectNoNaN(*record);
        for (const float v : tables_)
            EXPECT_FALSE(std::isnan(v));
    }

    const CCarinovaDoc& Doc() const { return doc_; }
    const CScriptedInteraction& Ui() const { return ui_; }

private:
    static void ExpectNoNaN(const std::vector<FPoint>& points, const char* what) {
        for (const FPoint& p : points)
            EXPECT_TRUE(!std::isnan(p.x) && !std::isnan(p.y)) << what;
    }

    static void ExpectNoNaN(const CApproxSpecimen& a) {
        ExpectNoNaN(a.ApproxLower.ControlPoints, "ventral control points");
        ExpectNoNaN(a.ApproxUpper.ControlPoints, "dorsal control points");
        for (const float v : {a.MaxDiffOben, a.MaxDiffUnten, a.MeanDiffOben, a.MeanDiffUnten,
                              a.MaxDiffObenAtParam, a.MaxDiffUntenAtParam})
            EXPECT_FALSE(std::isnan(v)) << "approximation error";
    }

    static void ExpectNoNaN(const CSpecimenRecord& record) {
        const CSpecimen& s = *record.GetSpecimen();
        ExpectNoNaN(s.Contour, "contour");
        ExpectNoNaN({s.Centroid, s.FirstEigenvect, s.SecondEigenvect}, "statistics");
        ExpectNoNaN(s.GetUpperHalf(), "dorsal half");
        ExpectNoNaN(s.GetLowerHalf(), "ventral half");
        EXPECT_FALSE(std::isnan(s.ScaleFactor));
        if (record.GetApproximation())
            ExpectNoNaN(*record.GetApproximation());
        if (record.GetClusterApproximation())
            ExpectNoNaN(*record.GetClusterApproximation());
        if (const CClusterData* d = record.GetClusterData()) {
            for (const float v : {d->MeanDelta, d->MaxDelta, d->SumDelta, d->SumDeltaQuadrat,
                                  d->MeanDeltaQuadrat, d->Areatotal, d->Areadorsal, d->Areaventral})
                EXPECT_FALSE(std::isnan(v)) << "cluster data";
            ExpectNoNaN(d->DeltaVectorsUpper, "delta vectors");
            ExpectNoNaN(d->DeltaVectorsLower, "delta vectors");
        }
    }

    CScriptedInteraction ui_;
    CCarinovaDoc doc_;
    std::vector<float> tables_;
};
