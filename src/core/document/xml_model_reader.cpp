#include "cluster/cluster_data.h"
#include "cluster/cluster_parameter.h"
#include "document/xml_lookup.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "model/approx_specimen.h"
#include "model/fit_limits.h"
#include "model/specimen.h"

#include <algorithm>

// A value counts only when its element is the one of that name below the scope. Without it,
// texts, flags and points keep their values and numbers become 0.

namespace {

void ReadText(const CXmlLookup& lookup, const char* name, std::string& value) {
    std::string storage;
    if (const pugi::xml_node e = lookup.Unique(name))
        value.assign(TextContentView(e, storage));
}

void ReadBool(const CXmlLookup& lookup, const char* name, bool& value) {
    std::string storage;
    if (const pugi::xml_node e = lookup.Unique(name))
        ParseBoolValue(TextContentView(e, storage), value);
}

void ReadInt(const CXmlLookup& lookup, const char* name, int& value) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    value = e ? ParseIntValue(TextContentView(e, storage)) : 0;
}

void ReadUnsigned(const CXmlLookup& lookup, const char* name, std::uint32_t& value) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    value = e ? ParseUnsignedValue(TextContentView(e, storage)) : 0;
}

// Control-point count and correction iterations, held below the largest values the dialogs
// allow: beyond them a refit would fail for want of memory or run for hours. Values that are
// too small stay as they are; the fit refuses them with a message.
void ReadFitSettings(const CXmlLookup& lookup, int& controlPoints, int& iterations) {
    ReadInt(lookup, "ControlPointsCnt", controlPoints);
    ReadInt(lookup, "ParamIterCount", iterations);
    controlPoints = std::min(controlPoints, kMaxControlPoints);
    iterations = std::min(iterations, kMaxFitIterations);
}

void ReadFloat(const CXmlLookup& lookup, const char* name, float& value) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    value = e ? ParseFloatValue(TextContentView(e, storage)) : 0.0f;
}

void ReadPoint(const CXmlLookup& lookup, const char* name, FPoint& value) {
    std::string storage;
    if (const pugi::xml_node e = lookup.Unique(name))
        ParsePointValue(TextContentView(e, storage), value);
}

void ReadPointList(const CXmlLookup& lookup, const char* name, std::vector<FPoint>& points) {
    std::string storage;
    if (const pugi::xml_node e = lookup.Unique(name))
        ParsePointListValue(TextContentView(e, storage), points);
}

void ReadCurve(const CXmlSubtree& tree, std::size_t element, CBSpline& curve) {
    const CXmlLookup l(tree, element,
                       {"DrawSpline", "DrawControlPoints", "DrawControlPointsText",
                        "DrawControlPolygon", "ColorSpline", "SplinePenWidth", "ControlPoints"});
    ReadBool(l, "DrawSpline", curve.DrawSpline);
    ReadBool(l, "DrawControlPoints", curve.DrawControlPoints);
    ReadBool(l, "DrawControlPointsText", curve.DrawControlPointsText);
    ReadBool(l, "DrawControlPolygon", curve.DrawControlPolygon);
    ReadUnsigned(l, "ColorSpline", curve.ColorSpline);
    // Written as unsigned: read back modulo 2^32, so every int returns unchanged.
    std::uint32_t width = 0;
    ReadUnsigned(l, "SplinePenWidth", width);
    curve.SplinePenWidth = static_cast<int>(width);
    ReadPointList(l, "ControlPoints", curve.ControlPoints);
}

} // namespace

std::unique_ptr<CSpecimen> ReadSpecimen(const CXmlSubtree& tree, std::size_t element) {
    const CXmlLookup l(tree, element, {"PathName",       "ShortPathName",   "FileType",
                                       "ScaleFactor",    "ScaleSpecified",  "ApplyTransformation",
                                       "LineJoined",     "NumeratePoints",  "ColorContur",
                                       "SpecimenName",   "ImageFile",       "Comment",
                                       "Variables",      "Identifier",      "Locality",
                                       "Gender",         "Stage",           "Centroid",
                                       "FirstEigenvect", "SecondEigenvect", "Contour",
                                       "Landmarks"});
    auto s = std::make_unique<CSpecimen>();
    ReadText(l, "PathName", s->PathName);
    ReadText(l, "ShortPathName", s->ShortPathName);
    ReadText(l, "FileType", s->FileType);
    ReadFloat(l, "ScaleFactor", s->ScaleFactor);
    ReadBool(l, "ScaleSpecified", s->ScaleSpecified);
    ReadBool(l, "ApplyTransformation", s->ApplyTransformation);
    ReadBool(l, "LineJoined", s->LineJoined);
    ReadBool(l, "NumeratePoints", s->NumeratePoints);
    ReadUnsigned(l, "ColorContur", s->ColorContur);
    ReadText(l, "SpecimenName", s->SpecimenName);
    ReadText(l, "ImageFile", s->ImageFile);
    ReadText(l, "Comment", s->Comment);
    ReadText(l, "Variables", s->Variables);
    ReadText(l, "Identifier", s->Identifier);
    ReadText(l, "Locality", s->Locality);
    ReadText(l, "Gender", s->Gender);
    ReadText(l, "Stage", s->Stage);
    ReadPoint(l, "Centroid", s->Centroid);
    ReadPoint(l, "FirstEigenvect", s->FirstEigenvect);
    ReadPoint(l, "SecondEigenvect", s->SecondEigenvect);
    ReadPointList(l, "Contour", s->Contour);
    ReadPointList(l, "Landmarks", s->Landmarks);
    // The stored statistics are kept; only the halves are derived again.
    if (!s->Contour.empty())
        s->SplitOutline();
    return s;
}

void ReadApproximation(const CXmlSubtree& tree, std::size_t element, CApproxSpecimen& a) {
    const CXmlLookup l(tree, element,
                       {"ControlPointsCnt", "ApplyParamIteration", "ParamIterCount", "DrawError",
                        "MarkMaxError", "DrawIndex", "ApproxLower", "ApproxUpper",
                        "ErrorValuesAreValid", "MaxDiffOben", "MaxDiffUnten", "MeanDiffOben",
                        "MeanDiffUnten", "MaxDiffObenAtParam", "MaxDiffUntenAtParam"});
    ReadFitSettings(l, a.ControlPointsCnt, a.ParamIterCount);
    ReadBool(l, "ApplyParamIteration", a.ApplyParamIteration);
    ReadBool(l, "DrawError", a.DrawError);
    ReadBool(l, "MarkMaxError", a.MarkMaxError);
    ReadBool(l, "DrawIndex", a.DrawIndex);
    const std::size_t lower = l.UniqueAt("ApproxLower");
    const std::size_t upper = l.UniqueAt("ApproxUpper");
    if (lower == CXmlLookup::kNone || upper == CXmlLookup::kNone)
        return;
    ReadCurve(tree, lower, a.ApproxLower);
    ReadCurve(tree, upper, a.ApproxUpper);
    ReadBool(l, "ErrorValuesAreValid", a.ErrorValuesAreValid);
    ReadFloat(l, "MaxDiffOben", a.MaxDiffOben);
    ReadFloat(l, "MaxDiffUnten", a.MaxDiffUnten);
    ReadFloat(l, "MeanDiffOben", a.MeanDiffOben);
    ReadFloat(l, "MeanDiffUnten", a.MeanDiffUnten);
    ReadFloat(l, "MaxDiffObenAtParam", a.MaxDiffObenAtParam);
    ReadFloat(l, "MaxDiffUntenAtParam", a.MaxDiffUntenAtParam);
}

void ReadClusterData(const CXmlSubtree& tree, std::size_t element, CClusterData& d) {
    const CXmlLookup l(tree, element,
                       {"MeanDelta", "MaxDelta", "SumDelta", "SumDeltaQuadrat", "MeanDeltaQuadrat",
                        "Areatotal", "Areadorsal", "Areaventral", "DeltaVectorsUpper",
                        "DeltaVectorsLower"});
    ReadFloat(l, "MeanDelta", d.MeanDelta);
    ReadFloat(l, "MaxDelta", d.MaxDelta);
    ReadFloat(l, "SumDelta", d.SumDelta);
    ReadFloat(l, "SumDeltaQuadrat", d.SumDeltaQuadrat);
    ReadFloat(l, "MeanDeltaQuadrat", d.MeanDeltaQuadrat);
    ReadFloat(l, "Areatotal", d.Areatotal);
    ReadFloat(l, "Areadorsal", d.Areadorsal);
    ReadFloat(l, "Areaventral", d.Areaventral);
    ReadPointList(l, "DeltaVectorsUpper", d.DeltaVectorsUpper);
    ReadPointList(l, "DeltaVectorsLower", d.DeltaVectorsLower);
}

void ReadClusterParameterValues(const CXmlSubtree& tree, std::size_t element,
                                CClusterParameter& p) {
    // The mean record has its own ControlPointsCnt and iteration settings below this element.
    const CXmlLookup l(tree, element,
                       {"ApplyParamIteration", "DrawDeltaVectors", "DrawReferenceSpecimenOnly",
                        "DrawVectorNumbers", "Normalize", "ControlPointsCnt", "ParamIterCount",
                        "SpecimenColor", "ReferenceColor", "MeanSpecimenColor", "ErrorVectorsScale",
                        "PrintSpecimenList", "PrintingPenWidthSpecimen",
                        "PrintingPenWidthDeltaVectors", "ColorSpace", "DrawMeanClusterSpecimen"},
                       "MeanClusterSpecimenRecord");
    ReadBool(l, "ApplyParamIteration", p.ApplyParamIteration);
    ReadBool(l, "DrawDeltaVectors", p.DrawDeltaVectors);
    ReadBool(l, "DrawReferenceSpecimenOnly", p.DrawReferenceSpecimenOnly);
    ReadBool(l, "DrawVectorNumbers", p.DrawVectorNumbers);
    ReadInt(l, "Normalize", p.Normalize);
    ReadFitSettings(l, p.ControlPointsCnt, p.ParamIterCount);
    ReadUnsigned(l, "SpecimenColor", p.SpecimenColor);
    ReadUnsigned(l, "ReferenceColor", p.ReferenceColor);
    ReadUnsigned(l, "MeanSpecimenColor", p.MeanSpecimenColor);
    ReadFloat(l, "ErrorVectorsScale", p.ErrorVectorsScale);
    ReadBool(l, "PrintSpecimenList", p.PrintSpecimenList);
    ReadInt(l, "PrintingPenWidthSpecimen", p.PrintingPenWidthSpecimen);
    ReadInt(l, "PrintingPenWidthDeltaVectors", p.PrintingPenWidthDeltaVectors);
    ReadInt(l, "ColorSpace", p.ColorSpace);
    int drawMean = 0;
    ReadInt(l, "DrawMeanClusterSpecimen", drawMean);
    p.DrawMeanClusterSpecimen = drawMean != 0;
}
