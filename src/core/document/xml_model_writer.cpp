#include "cluster/cluster_data.h"
#include "cluster/cluster_parameter.h"
#include "document/xml_dom_error.h"
#include "document/xml_model_io.h"
#include "document/xml_values.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "platform/text_encoding.h"

#include <string>

namespace {

void Check(bool done) {
    // The tree's allocator reports exhaustion by failing the call instead of throwing.
    if (!done)
        throw CXmlDomError(CXmlDomError::kOutOfMemory, "Carinova document writer",
                           "Out of memory while building the document.");
}

void WriteText(pugi::xml_node parent, const char* name, const std::string& text) {
    pugi::xml_node textNode = AppendElement(parent, name).append_child(pugi::node_pcdata);
    Check(textNode && textNode.set_value(text.data(), text.size()));
}

// Texts of the model may come from anywhere (files of other programs, old documents): they
// are written as XML 1.0 allows, so that every document is well-formed.
void WriteString(pugi::xml_node parent, const char* name, const std::string& text) {
    WriteText(parent, name, XmlSafeText(text));
}

void WriteInt(pugi::xml_node parent, const char* name, int value) {
    WriteText(parent, name, FormatIntValue(value));
}

void WriteUnsigned(pugi::xml_node parent, const char* name, std::uint32_t value) {
    WriteText(parent, name, FormatUnsignedValue(value));
}

void WriteFloat(pugi::xml_node parent, const char* name, float value) {
    WriteText(parent, name, FormatFloatValue(value));
}

void WritePoint(pugi::xml_node parent, const char* name, FPoint value) {
    WriteText(parent, name, FormatPointValue(value));
}

void WritePointList(pugi::xml_node parent, const char* name, const std::vector<FPoint>& points) {
    WriteText(parent, name, FormatPointListValue(points));
}

void WriteComment(pugi::xml_node parent, const char* text) {
    pugi::xml_node comment = parent.append_child(pugi::node_comment);
    Check(comment && comment.set_value(text));
}

void WriteCurve(pugi::xml_node parent, const char* name, const CBSpline& curve) {
    pugi::xml_node e = AppendElement(parent, name);
    WriteBool(e, "DrawSpline", curve.DrawSpline);
    WriteBool(e, "DrawControlPoints", curve.DrawControlPoints);
    WriteBool(e, "DrawControlPointsText", curve.DrawControlPointsText);
    WriteBool(e, "DrawControlPolygon", curve.DrawControlPolygon);
    WriteUnsigned(e, "ColorSpline", curve.ColorSpline);
    WriteUnsigned(e, "SplinePenWidth", static_cast<std::uint32_t>(curve.SplinePenWidth));
    WritePointList(e, "ControlPoints", curve.ControlPoints);
}

} // namespace

pugi::xml_node AppendElement(pugi::xml_node parent, const char* name) {
    pugi::xml_node element = parent.append_child(name);
    Check(element);
    return element;
}

void WriteBool(pugi::xml_node parent, const char* name, bool value) {
    WriteText(parent, name, FormatBoolValue(value));
}

void WriteSpecimen(pugi::xml_node parent, const CSpecimen& s) {
    pugi::xml_node e = AppendElement(parent, "Specimen");
    WriteComment(e, "File Daten");
    WriteString(e, "PathName", s.PathName);
    WriteString(e, "ShortPathName", s.ShortPathName);
    WriteString(e, "FileType", s.FileType);
    WriteFloat(e, "ScaleFactor", s.ScaleFactor);
    WriteBool(e, "ScaleSpecified", s.ScaleSpecified);
    WriteComment(e, "Statics Daten");
    WriteBool(e, "ApplyTransformation", s.ApplyTransformation);
    WriteComment(e, "Graphics Daten");
    WriteBool(e, "LineJoined", s.LineJoined);
    WriteBool(e, "NumeratePoints", s.NumeratePoints);
    WriteUnsigned(e, "ColorContur", s.ColorContur);
    WriteComment(e, "Optionale Daten");
    WriteString(e, "SpecimenName", s.SpecimenName);
    WriteString(e, "ImageFile", s.ImageFile);
    WriteString(e, "Comment", s.Comment);
    WriteString(e, "Variables", s.Variables);
    WriteString(e, "Identifier", s.Identifier);
    WriteString(e, "Locality", s.Locality);
    WriteString(e, "Gender", s.Gender);
    WriteString(e, "Stage", s.Stage);
    WriteComment(e, "Calculated Daten");
    WritePoint(e, "Centroid", s.Centroid);
    WritePoint(e, "FirstEigenvect", s.FirstEigenvect);
    WritePoint(e, "SecondEigenvect", s.SecondEigenvect);
    WriteComment(e, "Contour Daten");
    WritePointList(e, "Contour", s.Contour);
    // Landmarks came later: a document without them is written as before.
    if (!s.Landmarks.empty())
        WritePointList(e, "Landmarks", s.Landmarks);
}

void WriteApproximation(pugi::xml_node parent, const char* name, const CApproxSpecimen& a) {
    pugi::xml_node e = AppendElement(parent, name);
    WriteComment(e, "Parameter fuer Approximation");
    WriteInt(e, "ControlPointsCnt", a.ControlPointsCnt);
    WriteBool(e, "ApplyParamIteration", a.ApplyParamIteration);
    WriteInt(e, "ParamIterCount", a.ParamIterCount);
    WriteComment(e, "Parameter fuer graphische Darstellung");
    WriteBool(e, "DrawError", a.DrawError);
    WriteBool(e, "MarkMaxError", a.MarkMaxError);
    WriteBool(e, "DrawIndex", a.DrawIndex);
    WriteComment(e, "Berechnete B-Splines der oberen und unteren Haelfte");
    WriteCurve(e, "ApproxLower", a.ApproxLower);
    WriteCurve(e, "ApproxUpper", a.ApproxUpper);
    WriteComment(e, "Berechnete Fehler der Approximation");
    WriteBool(e, "ErrorValuesAreValid", a.ErrorValuesAreValid);
    WriteFloat(e, "MaxDiffOben", a.MaxDiffOben);
    WriteFloat(e, "MaxDiffUnten", a.MaxDiffUnten);
    WriteFloat(e, "MeanDiffOben", a.MeanDiffOben);
    WriteFloat(e, "MeanDiffUnten", a.MeanDiffUnten);
    WriteFloat(e, "MaxDiffObenAtParam", a.MaxDiffObenAtParam);
    WriteFloat(e, "MaxDiffUntenAtParam", a.MaxDiffUntenAtParam);
}

void WriteClusterData(pugi::xml_node parent, const CClusterData& d) {
    pugi::xml_node e = AppendElement(parent, "ClusterData");
    WriteFloat(e, "MeanDelta", d.MeanDelta);
    WriteFloat(e, "MaxDelta", d.MaxDelta);
    WriteFloat(e, "SumDelta", d.SumDelta);
    WriteFloat(e, "SumDeltaQuadrat", d.SumDeltaQuadrat);
    WriteFloat(e, "MeanDeltaQuadrat", d.MeanDeltaQuadrat);
    WriteFloat(e, "Areatotal", d.Areatotal);
    WriteFloat(e, "Areadorsal", d.Areadorsal);
    WriteFloat(e, "Areaventral", d.Areaventral);
    WritePointList(e, "DeltaVectorsUpper", d.DeltaVectorsUpper);
    WritePointList(e, "DeltaVectorsLower", d.DeltaVectorsLower);
}

pugi::xml_node WriteClusterParameter(pugi::xml_node parent, const CClusterParameter& p) {
    pugi::xml_node e =
        AppendElement(AppendElement(parent, "ClusterParameter"), "ClusterParameterValues");
    WriteBool(e, "ApplyParamIteration", p.ApplyParamIteration);
    WriteBool(e, "DrawDeltaVectors", p.DrawDeltaVectors);
    WriteBool(e, "DrawReferenceSpecimenOnly", p.DrawReferenceSpecimenOnly);
    WriteBool(e, "DrawVectorNumbers", p.DrawVectorNumbers);
    WriteInt(e, "Normalize", p.Normalize);
    WriteInt(e, "ControlPointsCnt", p.ControlPointsCnt);
    WriteInt(e, "ParamIterCount", p.ParamIterCount);
    WriteUnsigned(e, "SpecimenColor", p.SpecimenColor);
    WriteUnsigned(e, "ReferenceColor", p.ReferenceColor);
    WriteUnsigned(e, "MeanSpecimenColor", p.MeanSpecimenColor);
    WriteFloat(e, "ErrorVectorsScale", p.ErrorVectorsScale);
    WriteBool(e, "PrintSpecimenList", p.PrintSpecimenList);
    WriteInt(e, "PrintingPenWidthSpecimen", p.PrintingPenWidthSpecimen);
    WriteInt(e, "PrintingPenWidthDeltaVectors", p.PrintingPenWidthDeltaVectors);
    WriteInt(e, "ColorSpace", p.ColorSpace);
    WriteInt(e, "DrawMeanClusterSpecimen", p.DrawMeanClusterSpecimen ? 1 : 0);
    return e;
}
