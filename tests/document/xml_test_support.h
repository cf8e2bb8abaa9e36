#pragma once

// Building documents for the document-file tests, writing small document files by hand, and
// comparing two documents field by field within the precision of the values' text form.

#include "document/carinova_doc.h"
#include "formats/specimen_file.h"
#include "formats/specimen_reader.h"
#include "platform/scripted_interaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

namespace xmltest {

inline std::string SamplePath(const std::string& name) {
    return std::string(CARINOVA_SAMPLES_DIR) + "/" + name;
}

// Every specimen of a sample file, added to the document as the Insert command does.
inline int AddSamples(CCarinovaDoc& doc, const std::string& name) {
    CSpecimenFile file = ReadSpecimenFile(SamplePath(name));
    EXPECT_FALSE(file.specimens.empty()) << file.Summary(name);
    for (auto& specimen : file.specimens)
        doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
    return static_cast<int>(file.specimens.size());
}

inline void AttachFit(CSpecimenRecord& record, int controlPoints) {
    auto approx = std::make_unique<CApproxSpecimen>();
    approx->ControlPointsCnt = controlPoints;
    std::string error;
    ASSERT_TRUE(approx->Fit(*record.GetSpecimen(), error)) << error;
    record.SetApproximation(std::move(approx));
}

// Ten specimens from the three sample formats, most of them approximated, four of them in a
// cluster with non-default settings, a mean specimen, and texts that XML must escape. The
// reference is the mean specimen or the third cluster member.
inline void BuildSampleDocument(CCarinovaDoc& doc, bool meanIsReference) {
    ASSERT_EQ(AddSamples(doc, "valves.tps"), 6);
    ASSERT_EQ(AddSamples(doc, "valves.msd"), 2);
    ASSERT_EQ(AddSamples(doc, "valves.txt"), 2);
    const auto& records = doc.GetSpecimenList();
    for (std::size_t i = 0; i < records.size(); ++i)
        if (i != 4)
            AttachFit(*records[i], 5 + static_cast<int>(i) % 4);
    CSpecimen& odd = *records[1]->GetSpecimen();
    odd.ShortPathName = "Valve \"A\" & <b> 'c' ]]> > Bärlapp Œ 貝殻";
    odd.Comment = "line one\nline two\ttab &amp; not an entity";
    odd.Locality = "  padded  ";
    odd.Stage = "   ";
    odd.Gender = "\t(tab) control";
    odd.NumeratePoints = true;
    odd.ColorContur = 0x00ABCDEF;
    records[7]->GetSpecimen()->SpecimenName = "<Specimen>no element</Specimen>";
    records[3]->GetApproximation()->MarkMaxError = true;
    records[3]->GetApproximation()->SetColor(0x123456);
    records[3]->GetApproximation()->SetSplinePenWidth(3);

    CClusterParameter& p = doc.GetClusterParameter();
    p.ControlPointsCnt = 6;
    p.ParamIterCount = 4;
    p.Normalize = CClusterParameter::NormalizeOuterPoints;
    p.ErrorVectorsScale = 2.5f;
    p.DrawReferenceSpecimenOnly = true;
    p.DrawMeanClusterSpecimen = false;
    p.ColorSpace = 0;
    p.PrintingPenWidthSpecimen = 3;
    for (std::size_t i : {0u, 2u, 6u, 8u, 9u})
        doc.InsertIntoCluster(records[i].get());
    ASSERT_EQ(doc.GetClusterList().size(), 5u);
    doc.CalculateMeanSpecimen();
    ASSERT_TRUE(doc.GetClusterParameter().HasMeanRecord());
    doc.SetReferenceRecord(meanIsReference ? doc.GetClusterParameter().GetMeanRecord()
                                           : doc.GetClusterList()[2]);
}

// Within half a unit of the last written decimal, plus the float's own rounding.
inline void ExpectNear(float expected, float actual, int decimals, const std::string& what) {
    if (std::isnan(expected)) {
        EXPECT_TRUE(std::isnan(actual)) << what;
        return;
    }
    const double tolerance = 0.5 * std::pow(10.0, -decimals) * 1.001 + std::fabs(expected) * 2.4e-7;
    EXPECT_NEAR(expected, actual, tolerance) << what;
}

inline void ExpectPointsNear(const std::vector<FPoint>& expected, const std::vector<FPoint>& actual,
                             int decimals, const std::string& what) {
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ExpectNear(expected[i].x, actual[i].x, decimals, what + " x" + std::to_string(i));
        ExpectNear(expected[i].y, actual[i].y, decimals, what + " y" + std::to_string(i));
    }
}

inline void ExpectSameSpecimen(const CSpecimen& a, const CSpecimen& b) {
    const std::string w = "specimen " + a.ShortPathName;
    EXPECT_EQ(a.PathName, b.PathName) << w;
    EXPECT_EQ(a.ShortPathName, b.ShortPathName) << w;
    EXPECT_EQ(a.FileType, b.FileType) << w;
    ExpectNear(a.ScaleFactor, b.ScaleFactor, 6, w + " ScaleFactor");
    EXPECT_EQ(a.ScaleSpecified, b.ScaleSpecified) << w;
    EXPECT_EQ(a.ApplyTransformation, b.ApplyTransformation) << w;
    EXPECT_EQ(a.LineJoined, b.LineJoined) << w;
    EXPECT_EQ(a.NumeratePoints, b.NumeratePoints) << w;
    EXPECT_EQ(a.NumerationStep, b.NumerationStep) << w;
    EXPECT_EQ(a.ColorContur, b.ColorContur) << w;
    EXPECT_EQ(a.SpecimenName, b.SpecimenName) << w;
    EXPECT_EQ(a.ImageFile, b.ImageFile) << w;
    EXPECT_EQ(a.Comment, b.Comment) << w;
    EXPECT_EQ(a.Variables, b.Variables) << w;
    EXPECT_EQ(a.Identifier, b.Identifier) << w;
    EXPECT_EQ(a.Locality, b.Locality) << w;
    EXPECT_EQ(a.Gender, b.Gender) << w;
    EXPECT_EQ(a.Stage, b.Stage) << w;
    ExpectPointsNear({a.Centroid, a.FirstEigenvect, a.SecondEigenvect},
                     {b.Centroid, b.FirstEigenvect, b.SecondEigenvect}, 4, w + " statistics");
    ExpectPointsNear(a.Contour, b.Contour, 3, w + " contour");
    ExpectPointsNear(a.Landmarks, b.Landmarks, 3, w + " landmarks");
    EXPECT_EQ(a.GetUpperHalf().empty(), b.GetUpperHalf().empty()) << w;
    EXPECT_EQ(a.GetLowerHalf().empty(), b.GetLowerHalf().empty()) << w;
}

inline void ExpectSameCurve(const CBSpline& a, const CBSpline& b, const std::string& w) {
    EXPECT_EQ(a.DrawSpline, b.DrawSpline) << w;
    EXPECT_EQ(a.DrawControlPoints, b.DrawControlPoints) << w;
    EXPECT_EQ(a.DrawControlPointsText, b.DrawControlPointsText) << w;
    EXPECT_EQ(a.DrawControlPolygon, b.DrawControlPolygon) << w;
    EXPECT_EQ(a.SplinePenWidth, b.SplinePenWidth) << w;
    EXPECT_EQ(a.ColorSpline, b.ColorSpline) << w;
    ExpectPointsNear(a.ControlPoints, b.ControlPoints, 3, w + " control points");
}

inline void ExpectSameApproximation(const CApproxSpecimen& a, const CApproxSpecimen& b,
                                    const std::string& w) {
    EXPECT_EQ(a.ControlPointsCnt, b.ControlPointsCnt) << w;
    EXPECT_EQ(a.ApplyParamIteration, b.ApplyParamIteration) << w;
    EXPECT_EQ(a.ParamIterCount, b.ParamIterCount) << w;
    EXPECT_EQ(a.DrawError, b.DrawError) << w;
    EXPECT_EQ(a.MarkMaxError, b.MarkMaxError) << w;
    EXPECT_EQ(a.DrawIndex, b.DrawIndex) << w;
    ExpectSameCurve(a.ApproxLower, b.ApproxLower, w + " lower");
    ExpectSameCurve(a.ApproxUpper, b.ApproxUpper, w + " upper");
    EXPECT_EQ(a.ErrorValuesAreValid, b.ErrorValuesAreValid) << w;
    ExpectNear(a.MaxDiffOben, b.MaxDiffOben, 6, w + " MaxDiffOben");
    ExpectNear(a.MaxDiffUnten, b.MaxDiffUnten, 6, w + " MaxDiffUnten");
    ExpectNear(a.MeanDiffOben, b.MeanDiffOben, 6, w + " MeanDiffOben");
    ExpectNear(a.MeanDiffUnten, b.MeanDiffUnten, 6, w + " MeanDiffUnten");
    ExpectNear(a.MaxDiffObenAtParam, b.MaxDiffObenAtParam, 6, w + " MaxDiffObenAtParam");
    ExpectNear(a.MaxDiffUntenAtParam, b.MaxDiffUntenAtParam, 6, w + " MaxDiffUntenAtParam");
}

inline void ExpectSameClusterData(const CClusterData& a, const CClusterData& b,
                                  const std::string& w) {
    ExpectNear(a.MeanDelta, b.MeanDelta, 6, w + " MeanDelta");
    ExpectNear(a.MaxDelta, b.MaxDelta, 6, w + " MaxDelta");
    ExpectNear(a.SumDelta, b.SumDelta, 6, w + " SumDelta");
    ExpectNear(a.SumDeltaQuadrat, b.SumDeltaQuadrat, 6, w + " SumDeltaQuadrat");
    ExpectNear(a.MeanDeltaQuadrat, b.MeanDeltaQuadrat, 6, w + " MeanDeltaQuadrat");
    ExpectNear(a.Areatotal, b.Areatotal, 6, w + " Areatotal");
    ExpectNear(a.Areadorsal, b.Areadorsal, 6, w + " Areadorsal");
    ExpectNear(a.Areaventral, b.Areaventral, 6, w + " Areaventral");
    ExpectPointsNear(a.DeltaVectorsUpper, b.DeltaVectorsUpper, 3, w + " upper deltas");
    ExpectPointsNear(a.DeltaVectorsLower, b.DeltaVectorsLower, 3, w + " lower deltas");
}

inline void ExpectSameClusterValues(const CClusterParameter& a, const CClusterParameter& b) {
    EXPECT_EQ(a.ControlPointsCnt, b.ControlPointsCnt);
    EXPECT_EQ(a.ParamIterCount, b.ParamIterCount);
    EXPECT_EQ(a.ApplyParamIteration, b.ApplyParamIteration);
    EXPECT_EQ(a.Normalize, b.Normalize);
    EXPECT_EQ(a.SpecimenColor, b.SpecimenColor);
    EXPECT_EQ(a.ReferenceColor, b.ReferenceColor);
    EXPECT_EQ(a.MeanSpecimenColor, b.MeanSpecimenColor);
    EXPECT_EQ(a.DrawDeltaVectors, b.DrawDeltaVectors);
    EXPECT_EQ(a.DrawReferenceSpecimenOnly, b.DrawReferenceSpecimenOnly);
    EXPECT_EQ(a.DrawVectorNumbers, b.DrawVectorNumbers);
    EXPECT_EQ(a.ErrorVectorsScale, b.ErrorVectorsScale);
    EXPECT_EQ(a.PrintSpecimenList, b.PrintSpecimenList);
    EXPECT_EQ(a.PrintingPenWidthSpecimen, b.PrintingPenWidthSpecimen);
    EXPECT_EQ(a.PrintingPenWidthDeltaVectors, b.PrintingPenWidthDeltaVectors);
    EXPECT_EQ(a.ColorSpace, b.ColorSpace);
    EXPECT_EQ(a.DrawMeanClusterSpecimen, b.DrawMeanClusterSpecimen);
}

// A record's cluster parts; `compareData` is off where the data were recomputed on loading.
inline void ExpectSameRecord(const CSpecimenRecord& a, const CSpecimenRecord& b, bool compareData) {
    ASSERT_EQ(a.HasSpecimen(), b.HasSpecimen());
    ExpectSameSpecimen(*a.GetSpecimen(), *b.GetSpecimen());
    const std::string w = a.GetSpecimen()->ShortPathName;
    ASSERT_EQ(a.HasApproximation(), b.HasApproximation()) << w;
    if (a.HasApproximation())
        ExpectSameApproximation(*a.GetApproximation(), *b.GetApproximation(), w + " approx");
    ASSERT_EQ(a.HasClusterApproximation(), b.HasClusterApproximation()) << w;
    if (a.HasClusterApproximation())
        ExpectSameApproximation(*a.GetClusterApproximation(), *b.GetClusterApproximation(),
                                w + " cluster approx");
    ASSERT_EQ(a.HasClusterData(), b.HasClusterData()) << w;
    if (a.HasClusterData() && compareData)
        ExpectSameClusterData(*a.GetClusterData(), *b.GetClusterData(), w + " cluster data");
}

inline bool Contains(const std::vector<CSpecimenRecord*>& list, const CSpecimenRecord* r) {
    return std::find(list.begin(), list.end(), r) != list.end();
}

// Nothing points at a record the document does not own, and every member is complete.
inline void ExpectConsistent(const CCarinovaDoc& doc) {
    const CSpecimenRecord* mean = doc.GetClusterParameter().GetMeanRecord();
    std::set<const CSpecimenRecord*> seen;
    for (const CSpecimenRecord* member : doc.GetClusterList()) {
        EXPECT_TRUE(seen.insert(member).second) << "a member is listed twice";
        EXPECT_TRUE(member == mean || doc.ContainsRecord(member)) << "a member is not owned";
        EXPECT_TRUE(member->HasClusterApproximation() && member->HasClusterData());
    }
    if (mean) {
        EXPECT_TRUE(Contains(doc.GetClusterList(), mean));
    }
    if (const CSpecimenRecord* ref = doc.GetReferenceRecord()) {
        EXPECT_TRUE(Contains(doc.GetClusterList(), ref)) << "the reference is not a member";
    }
    for (const auto& record : doc.GetSpecimenList())
        EXPECT_EQ(record->HasClusterApproximation(), Contains(doc.GetClusterList(), record.get()));
    if (const CSpecimenRecord* s = doc.GetSelectedRecord()) {
        EXPECT_TRUE(doc.ContainsRecord(s));
    }
    if (const CSpecimenRecord* s = doc.GetClusterSelection()) {
        EXPECT_TRUE(Contains(doc.GetClusterList(), s));
    }
}

// Small document files written by hand.
inline std::string Element(const std::string& name, const std::string& content) {
    return "<" + name + ">" + content + "</" + name + ">";
}

inline std::string SpecimenXml(const std::string& name,
                               const std::string& contour = "0 -5 10 0 0 5 -10 0 ") {
    return Element("Specimen", Element("ShortPathName", name) + Element("Centroid", "0 0") +
                                   Element("FirstEigenvect", "1 0") +
                                   Element("SecondEigenvect", "0 1") + Element("Contour", contour));
}

inline std::string CurveXml(const std::string& name, const std::string& points) {
    return Element(name, Element("ControlPoints", points));
}

inline std::string ApproxXml(const std::string& name, const std::string& lower,
                             const std::string& upper, int count = 3) {
    return Element(name, Element("ControlPointsCnt", std::to_string(count)) +
                             CurveXml("ApproxLower", lower) + CurveXml("ApproxUpper", upper));
}

inline std::string ClusterDataXml(float meanDelta) {
    return Element("ClusterData", Element("MeanDelta", std::to_string(meanDelta)) +
                                      Element("MaxDelta", std::to_string(meanDelta)));
}

inline std::string FlagXml(bool value) {
    return Element("IsClusterReference", value ? "True" : "False");
}

inline std::string DocumentXml(const std::string& body) {
    return "<?xml version=\"1.0\"?><SpecimenRecordList Version=\"1\">" + body +
           "</SpecimenRecordList>";
}

} // namespace xmltest
