#include "cluster/cluster_data.h"
#include "cluster/cluster_parameter.h"
#include "document/document_damage.h"
#include "document/xml_lookup.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "model/approx_specimen.h"
#include "model/coordinate_limit.h"
#include "model/fit_limits.h"
#include "model/specimen.h"

#include <algorithm>
#include <charconv>
#include <cmath>

// A value counts only when its element is the one of that name below the scope. Without it,
// texts, flags and points keep their values and numbers become 0. A number that is not finite
// as stored, a coordinate beyond kMaxCoordinateMagnitude and a count outside the range the
// dialogs allow damage the document: no later computation could make sense of them.

namespace {

[[noreturn]] void Damaged(pugi::xml_node element, const std::string& problem) {
    throw CDocumentDamage(element.name(), element.offset_debug(), problem);
}

// The value as the message shows it: enough to recognise, not a whole contour.
std::string Shown(std::string_view text) {
    constexpr std::size_t kShownChars = 24;
    const std::size_t start = std::min(text.find_first_not_of(" \t\r\n"), text.size());
    text.remove_prefix(start);
    return "(" + std::string(text.substr(0, kShownChars)) +
           (text.size() > kShownChars ? "...)" : ")");
}

std::string Shown(FPoint p) {
    char buffer[64];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, p.x).ptr;
    *end++ = ' ';
    end = std::to_chars(end, buffer + sizeof buffer, p.y).ptr;
    return "(" + std::string(buffer, end) + ")";
}

// Null for a coordinate that may be stored, else what is wrong with it.
const char* CoordinateProblem(FPoint p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return "is not a finite number ";
    if (std::fabs(p.x) > kMaxCoordinateMagnitude || std::fabs(p.y) > kMaxCoordinateMagnitude)
        return "lies beyond 1e15 ";
    return nullptr;
}

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

// A count the dialogs hold to [min, max]: beyond it a refit would fail for want of memory or
// run for hours, below it the tables have no rows. A missing count reads as 0 like any number.
void ReadCount(const CXmlLookup& lookup, const char* name, int& value, int min, int max) {
    ReadInt(lookup, name, value);
    if (value >= min && value <= max)
        return;
    const std::string range = std::to_string(min) + " to " + std::to_string(max);
    if (const pugi::xml_node e = lookup.Unique(name))
        Damaged(e, "is " + std::to_string(value) + ", outside " + range);
    Damaged(lookup.Scope(), "has no single " + std::string(name) + " from " + range);
}

void ReadFitSettings(const CXmlLookup& lookup, int& controlPoints, int& iterations) {
    ReadCount(lookup, "ControlPointsCnt", controlPoints, kMinControlPoints, kMaxControlPoints);
    ReadCount(lookup, "ParamIterCount", iterations, 0, kMaxFitIterations);
}

void ReadFloat(const CXmlLookup& lookup, const char* name, float& value) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    if (!e) {
        value = 0.0f;
        return;
    }
    const std::string_view text = TextContentView(e, storage);
    value = ParseFloatValue(text);
    if (!std::isfinite(value))
        Damaged(e, "is not a finite number " + Shown(text));
}

void ReadPoint(const CXmlLookup& lookup, const char* name, FPoint& value) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    if (!e)
        return;
    const std::string_view text = TextContentView(e, storage);
    ParsePointValue(text, value);
    if (const char* problem = CoordinateProblem(value))
        Damaged(e, problem + Shown(text));
}

void ReadPointList(const CXmlLookup& lookup, const char* name, std::vector<FPoint>& points) {
    std::string storage;
    const pugi::xml_node e = lookup.Unique(name);
    if (!e)
        return;
    const std::size_t first = points.size();
    ParsePointListValue(TextContentView(e, storage), points);
    for (std::size_t i = first; i < points.size(); ++i)
        if (const char* problem = CoordinateProblem(points[i]))
            Damaged(e, "point " + std::to_string(i - first + 1) + " " + problem + Shown(points[i]));
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
