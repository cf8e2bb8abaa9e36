// Saving and opening the whole document: the tree the writer builds, round trips of a document
// made from every sample format, and the reading rules for files written by hand.
#include "document/xml_document_writer.h"
#include "scratch_folder.h"
#include "support/hint_recorder.h"
#include "xml_test_support.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace {

using namespace xmltest;

class XmlDocument : public ::testing::Test {
protected:
    CScratchFolder folder;
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};

    std::string PathOf(const std::string& name) const { return (folder.Path() / name).string(); }

    // Opens a file into a fresh document, which the test then inspects.
    std::unique_ptr<CCarinovaDoc> Open(const std::string& path, CScriptedInteraction& with) {
        auto opened = std::make_unique<CCarinovaDoc>(with);
        EXPECT_TRUE(opened->OnOpenDocument(path)) << ::testing::PrintToString(with.MessageTexts());
        return opened;
    }

    std::unique_ptr<CCarinovaDoc> OpenText(const std::string& xml, CScriptedInteraction& with) {
        return Open(folder.Write("hand.xml", xml), with);
    }
};

// The names of an element's children; comments as "#text".
std::vector<std::string> ChildNames(pugi::xml_node element) {
    std::vector<std::string> names;
    for (pugi::xml_node child : element.children())
        names.push_back(child.type() == pugi::node_comment ? std::string("#") + child.value()
                                                           : std::string(child.name()));
    return names;
}

std::vector<std::string> ChildTexts(pugi::xml_node element) {
    std::vector<std::string> texts;
    for (pugi::xml_node child : element.children())
        if (child.type() == pugi::node_element)
            texts.push_back(child.child_value());
    return texts;
}

TEST_F(XmlDocument, AnEmptyDocumentHoldsTheRootItsCommentAndTheDefaultClusterValues) {
    const std::string path = PathOf("empty.cnv");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string bytes = CScratchFolder::ReadBytes(path);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", 0), 0u) << bytes;
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_string(bytes.c_str(), pugi::parse_default | pugi::parse_comments));
    const pugi::xml_node root = xml.document_element();
    EXPECT_STREQ(root.name(), "SpecimenRecordList");
    ASSERT_EQ(std::distance(root.attributes_begin(), root.attributes_end()), 2);
    EXPECT_STREQ(root.first_attribute().name(), "xmlns");
    const std::string ns = root.first_attribute().value();
    EXPECT_EQ(ns.rfind("http://", 0), 0u);
    EXPECT_EQ(ns.substr(ns.find('/', 7)), "/carinova/");
    EXPECT_STREQ(root.last_attribute().name(), "Version");
    EXPECT_STREQ(root.last_attribute().value(), "1");
    EXPECT_EQ(ChildNames(root),
              (std::vector<std::string>{"#Carinova specimen record list", "ClusterParameter"}));
    const pugi::xml_node values = root.child("ClusterParameter").child("ClusterParameterValues");
    EXPECT_EQ(ChildNames(values),
              (std::vector<std::string>{
                  "ApplyParamIteration", "DrawDeltaVectors", "DrawReferenceSpecimenOnly",
                  "DrawVectorNumbers", "Normalize", "ControlPointsCnt", "ParamIterCount",
                  "SpecimenColor", "ReferenceColor", "MeanSpecimenColor", "ErrorVectorsScale",
                  "PrintSpecimenList", "PrintingPenWidthSpecimen", "PrintingPenWidthDeltaVectors",
                  "ColorSpace", "DrawMeanClusterSpecimen"}));
    // Colours are 0x00BBGGRR in decimal: 192 * (1 + 256 + 65536), 255 * 65536, 176.
    EXPECT_EQ(ChildTexts(values), (std::vector<std::string>{
                                      "True", "True", "False", "True", "2", "8", "6", "12632256",
                                      "16711680", "176", "1.000000", "True", "1", "1", "1", "1"}));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(XmlDocument, EverySubtreeHasItsElementsAndCommentsInOrder) {
    BuildSampleDocument(doc, true);
    const std::string path = PathOf("tree.cnv");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    pugi::xml_document xml;
    ASSERT_TRUE(xml.load_file(path.c_str(), pugi::parse_default | pugi::parse_comments));
    const pugi::xml_node root = xml.document_element();
    const std::vector<pugi::xml_node> records(root.children("SpecimenRecord").begin(),
                                              root.children("SpecimenRecord").end());
    ASSERT_EQ(records.size(), 10u);
    // Record 0: approximated and a cluster member, not the reference.
    EXPECT_EQ(ChildNames(records[0]),
              (std::vector<std::string>{"Specimen", "ApproxSpecimen", "ApproxCluster",
                                        "ClusterData", "IsClusterReference"}));
    EXPECT_STREQ(records[0].child_value("IsClusterReference"), "False");
    // Record 4: neither approximated nor a member.
    EXPECT_EQ(ChildNames(records[4]), (std::vector<std::string>{"Specimen", "IsClusterReference"}));
    EXPECT_EQ(ChildNames(records[0].child("Specimen")),
              (std::vector<std::string>{"#File Daten",
                                        "PathName",
                                        "ShortPathName",
                                        "FileType",
                                        "ScaleFactor",
                                        "ScaleSpecified",
                                        "#Statics Daten",
                                        "ApplyTransformation",
                                        "#Graphics Daten",
                                        "LineJoined",
                                        "NumeratePoints",
                                        "ColorContur",
                                        "#Optionale Daten",
                                        "SpecimenName",
                                        "ImageFile",
                                        "Comment",
                                        "Variables",
                                        "Identifier",
                                        "Locality",
                                        "Gender",
                                        "Stage",
                                        "#Calculated Daten",
                                        "Centroid",
                                        "FirstEigenvect",
                                        "SecondEigenvect",
                                        "#Contour Daten",
                                        "Contour",
                                        "Landmarks"}));
    // A specimen without landmarks is written as documents always were.
    EXPECT_EQ(ChildNames(records[6].child("Specimen")).back(), "Contour");
    const pugi::xml_node approx = records[0].child("ApproxSpecimen");
    EXPECT_EQ(
        ChildNames(approx),
        (std::vector<std::string>{
            "#Parameter fuer Approximation", "ControlPointsCnt", "ApplyParamIteration",
            "ParamIterCount", "#Parameter fuer graphische Darstellung", "DrawError", "MarkMaxError",
            "DrawIndex", "#Berechnete B-Splines der oberen und unteren Haelfte", "ApproxLower",
            "ApproxUpper", "#Berechnete Fehler der Approximation", "ErrorValuesAreValid",
            "MaxDiffOben", "MaxDiffUnten", "MeanDiffOben", "MeanDiffUnten", "MaxDiffObenAtParam",
            "MaxDiffUntenAtParam"}));
    EXPECT_EQ(ChildNames(approx.child("ApproxLower")),
              (std::vector<std::string>{"DrawSpline", "DrawControlPoints", "DrawControlPointsText",
                                        "DrawControlPolygon", "ColorSpline", "SplinePenWidth",
                                        "ControlPoints"}));
    EXPECT_EQ(ChildNames(records[0].child("ClusterData")),
              (std::vector<std::string>{"MeanDelta", "MaxDelta", "SumDelta", "SumDeltaQuadrat",
                                        "MeanDeltaQuadrat", "Areatotal", "Areadorsal",
                                        "Areaventral", "DeltaVectorsUpper", "DeltaVectorsLower"}));
    const pugi::xml_node values = root.child("ClusterParameter").child("ClusterParameterValues");
    EXPECT_EQ(ChildNames(values).back(), "MeanClusterSpecimenRecord");
    const pugi::xml_node mean = values.child("MeanClusterSpecimenRecord");
    EXPECT_EQ(ChildNames(mean), (std::vector<std::string>{"Specimen", "ApproxCluster",
                                                          "ClusterData", "IsClusterReference"}));
    EXPECT_STREQ(mean.child_value("IsClusterReference"), "True");
    EXPECT_STREQ(mean.child("Specimen").child_value("ShortPathName"), "<Mean Specimen>");
    // The first contour point of the first TPS specimen, as the reader stored it.
    const FPoint first = doc.GetSpecimenList()[0]->GetSpecimen()->Contour[0];
    const std::string contour = records[0].child("Specimen").child_value("Contour");
    float x = 0, y = 0;
    ASSERT_EQ(std::sscanf(contour.c_str(), "%f %f", &x, &y), 2);
    EXPECT_NEAR(x, first.x, 0.0005);
    EXPECT_NEAR(y, first.y, 0.0005);
    EXPECT_EQ(ui.progressBegun, 1);
    EXPECT_EQ(ui.progressSteps, 10);
    EXPECT_EQ(ui.progressEnded, 1);
}

// Saved, opened and saved again: the same bytes, and every field as it was within the
// precision of its text. With the mean as the reference, opening recomputes only the mean's
// comparison with itself, so the stored values of all other members come back as written.
TEST_F(XmlDocument, ARoundTripGivesTheSameFileAndTheSameFields) {
    BuildSampleDocument(doc, true);
    const std::string first = PathOf("first.cnv");
    ASSERT_TRUE(doc.OnSaveDocument(first));
    CScriptedInteraction ui2;
    const std::unique_ptr<CCarinovaDoc> reopened = Open(first, ui2);
    const std::string second = PathOf("second.cnv");
    ASSERT_TRUE(reopened->OnSaveDocument(second));
    EXPECT_EQ(CScratchFolder::ReadBytes(first), CScratchFolder::ReadBytes(second));
    EXPECT_TRUE(ui2.messages.empty()) << ::testing::PrintToString(ui2.MessageTexts());

    const auto& a = doc.GetSpecimenList();
    const auto& b = reopened->GetSpecimenList();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        ExpectSameRecord(*a[i], *b[i], true);
    ExpectSameClusterValues(doc.GetClusterParameter(), reopened->GetClusterParameter());
    const CSpecimenRecord* meanA = doc.GetClusterParameter().GetMeanRecord();
    const CSpecimenRecord* meanB = reopened->GetClusterParameter().GetMeanRecord();
    ASSERT_NE(meanB, nullptr);
    ExpectSameRecord(*meanA, *meanB, true);
    EXPECT_EQ(reopened->GetReferenceRecord(), meanB);
    // The mean is read before the records, so it leads the cluster list.
    std::vector<const CSpecimenRecord*> members(reopened->GetClusterList().begin(),
                                                reopened->GetClusterList().end());
    ASSERT_EQ(members.size(), 6u);
    EXPECT_EQ(members[0], meanB);
    for (std::size_t k = 1, i = 0; i < b.size(); ++i)
        if (b[i]->HasClusterApproximation()) {
            EXPECT_EQ(members[k++], b[i].get());
        }
    // The mean's own fitting settings do not hide the cluster's.
    EXPECT_EQ(meanB->GetClusterApproximation()->ControlPointsCnt, 8);
    EXPECT_EQ(reopened->GetClusterParameter().ControlPointsCnt, 6);
    EXPECT_EQ(reopened->GetClusterParameter().ParamIterCount, 4);
    EXPECT_FALSE(reopened->IsModified());
    ExpectConsistent(*reopened);
}

// With an ordinary member as the reference, the members up to it are compared with the
// reference again from the control points as read; the file is stable from the second save on.
TEST_F(XmlDocument, AReferenceMemberIsComparedAgainOnOpeningAndTheFileThenStaysStable) {
    BuildSampleDocument(doc, false);
    const std::string first = PathOf("first.cnv");
    ASSERT_TRUE(doc.OnSaveDocument(first));
    CScriptedInteraction ui2, ui3;
    const std::unique_ptr<CCarinovaDoc> second = Open(first, ui2);
    ASSERT_TRUE(second->OnSaveDocument(PathOf("second.cnv")));
    const std::unique_ptr<CCarinovaDoc> third = Open(PathOf("second.cnv"), ui3);
    ASSERT_TRUE(third->OnSaveDocument(PathOf("third.cnv")));
    EXPECT_EQ(CScratchFolder::ReadBytes(PathOf("second.cnv")),
              CScratchFolder::ReadBytes(PathOf("third.cnv")));

    const CSpecimenRecord* reference = second->GetReferenceRecord();
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(reference->GetSpecimen()->ShortPathName,
              doc.GetReferenceRecord()->GetSpecimen()->ShortPathName);
    EXPECT_EQ(reference->GetClusterApproximation()->GetColor(),
              doc.GetClusterParameter().ReferenceColor);
    // The reference compared with itself, recomputed: nothing but the float minimum.
    EXPECT_EQ(reference->GetClusterData()->MeanDelta, 0.0f);
    EXPECT_EQ(reference->GetClusterData()->MaxDelta, std::numeric_limits<float>::min());
    const auto& a = doc.GetSpecimenList();
    const auto& b = second->GetSpecimenList();
    for (std::size_t i = 0; i < a.size(); ++i) {
        ExpectSameRecord(*a[i], *b[i], false);
        if (a[i]->HasClusterData()) {
            EXPECT_NEAR(a[i]->GetClusterData()->MeanDelta, b[i]->GetClusterData()->MeanDelta, 0.01);
        }
    }
    ExpectConsistent(*second);
}

TEST_F(XmlDocument, OpeningSendsTheHintsOfTheOperationsInFileOrderWithProgress) {
    const std::string xml = DocumentXml(
        Element("SpecimenRecord", SpecimenXml("plain") + FlagXml(false)) +
        Element("SpecimenRecord",
                SpecimenXml("fitted") +
                    ApproxXml("ApproxSpecimen", "-10 0 0 -5 5 -4 10 0 ", "10 0 5 4 0 5 -10 0 ")) +
        Element("SpecimenRecord",
                SpecimenXml("member") +
                    ApproxXml("ApproxCluster", "-10 0 0 -5 5 -4 10 0 ", "10 0 5 4 0 5 -10 0 ") +
                    ClusterDataXml(0) + FlagXml(true)) +
        Element("ClusterParameter",
                Element("ClusterParameterValues",
                        Element("ControlPointsCnt", "3") +
                        Element("MeanClusterSpecimenRecord",
                                SpecimenXml("&lt;Mean Specimen&gt;", "") +
                                    ApproxXml("ApproxCluster", "-9 0 0 -4 5 -4 9 0 ",
                                              "9 0 5 4 0 4 -9 0 ") +
                                    ClusterDataXml(0) + FlagXml(false)))));
    CScriptedInteraction ui2;
    auto opened = std::make_unique<CCarinovaDoc>(ui2);
    CHintRecorder view(*opened);
    ASSERT_TRUE(opened->OnOpenDocument(folder.Write("hints.xml", xml)));
    const auto& records = opened->GetSpecimenList();
    ASSERT_EQ(records.size(), 3u);
    const CSpecimenRecord* mean = opened->GetClusterParameter().GetMeanRecord();
    ASSERT_NE(mean, nullptr);
    const std::vector<std::pair<int, CObject*>> expected{
        {hintMeanCalculated, const_cast<CSpecimenRecord*>(mean)},
        {hintRecordAdded, records[0].get()},
        {hintRecordAdded, records[1].get()},
        {hintApproxCalculated, records[1].get()},
        {hintRecordAdded, records[2].get()},
        {hintClusterInserted, records[2].get()},
        {hintReferenceChanged, records[2].get()}};
    EXPECT_EQ(view.received, expected);
    EXPECT_EQ(ui2.progressBegun, 1);
    EXPECT_EQ(ui2.progressSteps, 3);
    EXPECT_EQ(ui2.progressEnded, 1);
    EXPECT_EQ(ui2.waitCursorShown, 1);
    EXPECT_EQ(ui2.waitCursorDepth, 0);
    EXPECT_FALSE(opened->IsModified());
    // The loaded statistics are kept and the halves derived from them.
    const CSpecimen& s = *records[0]->GetSpecimen();
    EXPECT_EQ(s.FirstEigenvect, FPoint(1, 0));
    EXPECT_FALSE(s.GetUpperHalf().empty());
    EXPECT_FALSE(s.GetLowerHalf().empty());
}

// Text values: missing or doubled elements leave texts, flags and points alone and make
// numbers 0; flags read only "true" or "false" in any case.
TEST_F(XmlDocument, ValuesFollowTheLookupAndEncodingRules) {
    const std::string specimen =
        Element("Specimen",
                Element("ShortPathName", "one") + Element("ShortPathName", "two") +
                    Element("PathName", "/data/a &amp; b.tps") + Element("ScaleSpecified", "true") +
                    Element("NumeratePoints", "1") + Element("ApplyTransformation", "0") +
                    Element("LineJoined", "fAlSe") + Element("ColorContur", "-1") +
                    Element("Centroid", "1.5 junk") + Element("FirstEigenvect", "0.6 0.8") +
                    Element("Identifier", "<![CDATA[a <raw> ]]>" + Element("x", "b") + "c") +
                    Element("Contour", "0 -5 10 0 0 5 -10 0 "));
    const std::string approx =
        Element("ApproxSpecimen", Element("ControlPointsCnt", "4") +
                                      Element("DrawIndex", "FALSE") + Element("MaxDiffOben", "5") +
                                      CurveXml("ApproxLower", "1 2 ") +
                                      Element("ErrorValuesAreValid", "True"));
    CScriptedInteraction ui2;
    const auto opened = OpenText(DocumentXml(Element("SpecimenRecord", specimen + approx)), ui2);
    ASSERT_EQ(opened->GetSpecimenList().size(), 1u);
    const CSpecimen& s = *opened->GetSpecimenList()[0]->GetSpecimen();
    EXPECT_EQ(s.ShortPathName, "");
    EXPECT_EQ(s.PathName, "/data/a & b.tps");
    EXPECT_TRUE(s.ScaleSpecified);
    EXPECT_FALSE(s.NumeratePoints);
    EXPECT_TRUE(s.ApplyTransformation);
    EXPECT_FALSE(s.LineJoined);
    EXPECT_EQ(s.ColorContur, 0xFFFFFFFFu);
    EXPECT_EQ(s.ScaleFactor, 0.0f); // missing float
    EXPECT_EQ(s.Centroid, FPoint(1.5f, 0.0f));
    EXPECT_EQ(s.FirstEigenvect, FPoint(0.6f, 0.8f));
    EXPECT_EQ(s.Identifier, "a <raw> bc");
    EXPECT_EQ(s.Contour.size(), 4u);
    // Without ApproxUpper the approximation stops after its display flags but is attached.
    const CApproxSpecimen* a = opened->GetSpecimenList()[0]->GetApproximation();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->ControlPointsCnt, 4);
    EXPECT_EQ(a->ParamIterCount, 0); // missing int
    EXPECT_TRUE(a->ApplyParamIteration);
    EXPECT_FALSE(a->DrawIndex);
    EXPECT_TRUE(a->ApproxLower.ControlPoints.empty());
    EXPECT_EQ(a->MaxDiffOben, 0.0f);
    EXPECT_FALSE(a->ErrorValuesAreValid);
}

TEST_F(XmlDocument, RecordsWithoutASpecimenOrWithDoubledPartsKeepWhatCameBefore) {
    const std::string lower = "-10 0 0 -5 5 -4 10 0 ";
    const std::string upper = "10 0 5 4 0 5 -10 0 ";
    const std::string body =
        Element("SpecimenRecord", ApproxXml("ApproxSpecimen", lower, upper)) +
        Element("SpecimenRecord", SpecimenXml("two approximations") +
                                      ApproxXml("ApproxSpecimen", lower, upper) +
                                      ApproxXml("ApproxSpecimen", lower, upper) +
                                      ApproxXml("ApproxCluster", lower, upper) + FlagXml(true)) +
        Element("SpecimenRecord",
                SpecimenXml("member without data") + ApproxXml("ApproxCluster", lower, upper)) +
        Element("SpecimenRecord", SpecimenXml("two data") +
                                      ApproxXml("ApproxCluster", lower, upper) + ClusterDataXml(3) +
                                      ClusterDataXml(4) + FlagXml(true)) +
        Element("SpecimenRecord", SpecimenXml("not a member") + FlagXml(true));
    CScriptedInteraction ui2;
    const auto opened = OpenText(DocumentXml(body), ui2);
    const auto& records = opened->GetSpecimenList();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0]->GetSpecimen()->ShortPathName, "two approximations");
    EXPECT_FALSE(records[0]->HasApproximation());
    EXPECT_FALSE(records[0]->HasClusterApproximation());
    // A member without stored data gets empty data.
    ASSERT_TRUE(records[1]->HasClusterData());
    EXPECT_EQ(records[1]->GetClusterData()->MeanDelta, 0.0f);
    EXPECT_TRUE(records[1]->GetClusterData()->DeltaVectorsUpper.empty());
    // Doubled ClusterData: a member with empty data, and its flag is not read.
    ASSERT_TRUE(records[2]->HasClusterData());
    EXPECT_EQ(records[2]->GetClusterData()->MeanDelta, 0.0f);
    // The flag of a record outside the cluster is not honoured: the reference must be a member.
    EXPECT_EQ(opened->GetReferenceRecord(), nullptr);
    EXPECT_EQ(opened->GetClusterList().size(), 2u);
    ExpectConsistent(*opened);
    opened->DeleteSpecimenRecord(records[3].get());
    ExpectConsistent(*opened);
}

// Stored comparison values are sentinels; the reference on the third record recomputes the
// members read so far and the mean, and leaves the later ones as stored. The curves are simple
// polygons; each member is the reference moved by a known offset, so the deltas are known.
TEST_F(XmlDocument, AReferenceOnTheThirdRecordRecomputesTheMembersReadSoFarAndTheMean) {
    const auto shifted = [](float dx, float dy, bool upper) {
        const std::vector<FPoint> lower{{-10, 0}, {-4, -5}, {4, -5}, {10, 0}};
        std::string text;
        for (std::size_t i = 0; i < lower.size(); ++i) {
            const FPoint p = upper ? FPoint(-lower[i].x, -lower[i].y) : lower[i];
            text += std::to_string(p.x + dx) + " " + std::to_string(p.y + dy) + " ";
        }
        return text;
    };
    const auto member = [&](const std::string& name, float dx, float dy, bool reference) {
        return Element("SpecimenRecord", SpecimenXml(name) +
                                             ApproxXml("ApproxCluster", shifted(dx, dy, false),
                                                       shifted(dx, dy, true)) +
                                             ClusterDataXml(777) + FlagXml(reference));
    };
    const std::string meanRecord =
        Element("MeanClusterSpecimenRecord",
                SpecimenXml("&lt;Mean Specimen&gt;", "") +
                    ApproxXml("ApproxCluster", shifted(0, 2, false), shifted(0, 2, true)) +
                    ClusterDataXml(777) + FlagXml(false));
    const std::string body =
        member("m1", 3, 4, false) + member("m2", 6, 8, false) + member("ref", 0, 0, true) +
        member("m4", 1, 0, false) + member("m5", 2, 0, false) +
        Element("ClusterParameter",
                Element("ClusterParameterValues", Element("ControlPointsCnt", "3") + meanRecord));
    CScriptedInteraction ui2;
    const auto opened = OpenText(DocumentXml(body), ui2);
    const auto& r = opened->GetSpecimenList();
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(opened->GetReferenceRecord(), r[2].get());
    // Every delta of m1 has length 5, of m2 length 10, of the mean length 2; the six distinct
    // control points (three per curve) count in the sums.
    EXPECT_FLOAT_EQ(r[0]->GetClusterData()->MeanDelta, 5.0f);
    EXPECT_FLOAT_EQ(r[0]->GetClusterData()->SumDelta, 30.0f);
    EXPECT_FLOAT_EQ(r[0]->GetClusterData()->MaxDelta, 5.0f);
    EXPECT_FLOAT_EQ(r[0]->GetClusterData()->SumDeltaQuadrat, 150.0f);
    EXPECT_FLOAT_EQ(r[1]->GetClusterData()->MeanDelta, 10.0f);
    EXPECT_EQ(r[2]->GetClusterData()->MeanDelta, 0.0f);
    ASSERT_EQ(r[1]->GetClusterData()->DeltaVectorsLower.size(), 4u);
    EXPECT_EQ(r[1]->GetClusterData()->DeltaVectorsLower[3], FPoint(6, 8));
    EXPECT_FLOAT_EQ(opened->GetClusterParameter().GetMeanRecord()->GetClusterData()->MeanDelta,
                    2.0f);
    EXPECT_EQ(r[3]->GetClusterData()->MeanDelta, 777.0f);
    EXPECT_EQ(r[4]->GetClusterData()->MeanDelta, 777.0f);
    EXPECT_TRUE(r[3]->GetClusterData()->DeltaVectorsLower.empty());
}

TEST_F(XmlDocument, OfSeveralReferenceFlagsTheLastOneHoldsAndTheOthersGetTheirMemberColour) {
    const std::string lower = "-10 0 0 -5 5 -4 10 0 ";
    const std::string upper = "10 0 5 4 0 5 -10 0 ";
    std::string body;
    for (int i = 0; i < 4; ++i)
        body += Element("SpecimenRecord", SpecimenXml("m" + std::to_string(i)) +
                                              ApproxXml("ApproxCluster", lower, upper) +
                                              ClusterDataXml(777) + FlagXml(i != 3));
    CScriptedInteraction ui2;
    const auto opened = OpenText(DocumentXml(body), ui2);
    const auto& r = opened->GetSpecimenList();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(opened->GetReferenceRecord(), r[2].get());
    const CClusterParameter& p = opened->GetClusterParameter();
    EXPECT_EQ(r[0]->GetClusterApproximation()->GetColor(), p.SpecimenColor);
    EXPECT_EQ(r[1]->GetClusterApproximation()->GetColor(), p.SpecimenColor);
    EXPECT_EQ(r[2]->GetClusterApproximation()->GetColor(), p.ReferenceColor);
    // A member that was never the reference keeps its stored colour (missing: 0).
    EXPECT_EQ(r[3]->GetClusterApproximation()->GetColor(), 0u);
    // Every member up to the last reference is compared with it (all curves are equal).
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(r[i]->GetClusterData()->MeanDelta, 0.0f) << i;
    EXPECT_EQ(r[3]->GetClusterData()->MeanDelta, 777.0f);
}

TEST_F(XmlDocument, AMeanRecordLackingARequiredPartIsDroppedEntirely) {
    const std::string lower = "-10 0 0 -5 5 -4 10 0 ";
    const std::string upper = "10 0 5 4 0 5 -10 0 ";
    for (const std::string& mean :
         {SpecimenXml("&lt;Mean Specimen&gt;", "") + ApproxXml("ApproxCluster", lower, upper) +
              FlagXml(true),
          SpecimenXml("&lt;Mean Specimen&gt;", "") + ClusterDataXml(1) + FlagXml(true),
          ApproxXml("ApproxCluster", lower, upper) + ClusterDataXml(1) + FlagXml(true)}) {
        const std::string body =
            Element("SpecimenRecord", SpecimenXml("member") +
                                          ApproxXml("ApproxCluster", lower, upper) +
                                          ClusterDataXml(5)) +
            Element("ClusterParameter", Element("ClusterParameterValues",
                                                Element("ControlPointsCnt", "3") +
                                                    Element("MeanClusterSpecimenRecord", mean)));
        CScriptedInteraction ui2;
        const auto opened = OpenText(DocumentXml(body), ui2);
        EXPECT_FALSE(opened->GetClusterParameter().HasMeanRecord());
        EXPECT_EQ(opened->GetReferenceRecord(), nullptr);
        EXPECT_EQ(opened->GetClusterList().size(), 1u);
        EXPECT_EQ(opened->GetClusterParameter().ControlPointsCnt, 3);
        ExpectConsistent(*opened);
    }
}

TEST_F(XmlDocument, ClusterParametersAreReadOnlyFromExactlyOneParameterElement) {
    const std::string values =
        Element("ClusterParameterValues", Element("ControlPointsCnt", "12") +
                                              Element("DrawMeanClusterSpecimen", "0") +
                                              Element("ErrorVectorsScale", "0.25"));
    CScriptedInteraction ui2, ui3;
    const auto one = OpenText(DocumentXml(Element("ClusterParameter", values)), ui2);
    EXPECT_EQ(one->GetClusterParameter().ControlPointsCnt, 12);
    EXPECT_FALSE(one->GetClusterParameter().DrawMeanClusterSpecimen);
    EXPECT_EQ(one->GetClusterParameter().ErrorVectorsScale, 0.25f);
    EXPECT_EQ(one->GetClusterParameter().ParamIterCount, 0);  // missing int
    EXPECT_TRUE(one->GetClusterParameter().DrawDeltaVectors); // missing flag
    const auto two = OpenText(
        DocumentXml(Element("ClusterParameter", values) + Element("ClusterParameter", values)),
        ui3);
    EXPECT_EQ(two->GetClusterParameter().ControlPointsCnt, 8);
    EXPECT_EQ(two->GetClusterParameter().ErrorVectorsScale, 1.0f);
}

TEST_F(XmlDocument, TheRootIsFoundAnywhereButMustBeUnique) {
    const std::string record = Element("SpecimenRecord", SpecimenXml("deep"));
    CScriptedInteraction ui2;
    const auto wrapped =
        OpenText("<Wrapper><Inner>" + DocumentXml(record).substr(21) + "</Inner></Wrapper>", ui2);
    EXPECT_EQ(wrapped->GetSpecimenList().size(), 1u);

    struct Case {
        const char* name;
        std::string text;
        std::string reason; // after the file's path
    };
    const std::vector<Case> invalid{
        {"no root", "<Other>" + record + "</Other>", ": no SpecimenRecordList element"},
        {"two roots",
         "<W>" + DocumentXml(record).substr(21) + DocumentXml(record).substr(21) + "</W>",
         ": more than one SpecimenRecordList element"},
        {"empty file", "", ", line 1: No document element found"},
        {"not XML", "SpecimenRecordList", ", line 1: No document element found"},
        {"broken on line 3", "<SpecimenRecordList>\n<SpecimenRecord>\n<Specimen></Specimen\n",
         ", line 3: Error parsing end element tag"},
    };
    for (const Case& c : invalid) {
        CScriptedInteraction uiCase;
        CCarinovaDoc target(uiCase);
        BuildSampleDocument(target, true);
        target.SetSelectedRecord(target.GetSpecimenList()[1].get());
        target.SetPathName(PathOf("previous.cnv"));
        uiCase.messages.clear();
        EXPECT_FALSE(target.OpenDocumentFile(folder.Write("invalid.xml", c.text))) << c.name;
        ASSERT_EQ(uiCase.messages.size(), 1u) << c.name;
        EXPECT_EQ(uiCase.messages[0].text, "Trying to open invalid Carinova document.\n" +
                                               PathOf("invalid.xml") + c.reason);
        EXPECT_EQ(uiCase.messages[0].caption, "Carinova failure");
        EXPECT_EQ(uiCase.messages[0].icon, MsgIcon::Stop);
        EXPECT_TRUE(target.GetSpecimenList().empty()) << c.name;
        EXPECT_FALSE(target.GetClusterParameter().HasMeanRecord());
        EXPECT_EQ(target.GetPathName(), "");
        EXPECT_EQ(target.GetTitle(), "Untitled");
        EXPECT_FALSE(target.IsModified());
        ExpectConsistent(target);
    }
}

// A view that fails on the n-th hint it is sent makes the reading fail half way.
class CFailingView : public CView {
public:
    CFailingView(CDocument& doc, int failAt, bool outOfMemory)
        : doc_(doc), failAt_(failAt), outOfMemory_(outOfMemory) {
        doc_.AddView(this);
    }
    ~CFailingView() override { doc_.RemoveView(this); }
    void OnUpdate(CView*, int, CObject*) override {
        if (++count_ != failAt_)
            return;
        if (outOfMemory_)
            throw std::bad_alloc();
        throw std::runtime_error("view failed");
    }

private:
    CDocument& doc_;
    int failAt_;
    bool outOfMemory_;
    int count_ = 0;
};

TEST_F(XmlDocument, AnOpenFailingHalfWayLeavesNothingHalfLoaded) {
    BuildSampleDocument(doc, false);
    const std::string path = PathOf("doc.cnv");
    ASSERT_TRUE(doc.OnSaveDocument(path));
    for (const bool outOfMemory : {false, true}) {
        for (const int failAt : {1, 5, 14, 18}) {
            CScriptedInteraction uiCase;
            CCarinovaDoc target(uiCase);
            CFailingView view(target, failAt, outOfMemory);
            std::ostringstream report;
            std::streambuf* const saved = std::clog.rdbuf(report.rdbuf());
            EXPECT_FALSE(target.OnOpenDocument(path));
            std::clog.rdbuf(saved);
            EXPECT_EQ(report.str().rfind(outOfMemory ? "Error:\nCode = 8007000e\n" : "", 0), 0u);
            EXPECT_EQ(uiCase.MessageTexts(),
                      (std::vector<std::string>{outOfMemory ? "_com_error exception occurred"
                                                            : "Unknown exception occurred",
                                                "Failed to open Carinova document."}));
            EXPECT_TRUE(target.GetSpecimenList().empty());
            EXPECT_TRUE(target.GetClusterList().empty());
            EXPECT_EQ(target.GetReferenceRecord(), nullptr);
            EXPECT_FALSE(target.GetClusterParameter().HasMeanRecord());
            EXPECT_TRUE(target.IsModified());
            EXPECT_EQ(uiCase.progressBegun, uiCase.progressEnded);
            EXPECT_EQ(uiCase.waitCursorDepth, 0);
            ExpectConsistent(target);
        }
    }
}

TEST_F(XmlDocument, SavingAndOpeningThroughTheFrameworkSetThePath) {
    BuildSampleDocument(doc, true);
    const std::string path = PathOf("named.cnv");
    EXPECT_TRUE(doc.IsModified());
    ASSERT_TRUE(doc.DoSave(path));
    EXPECT_EQ(doc.GetPathName(), path);
    EXPECT_EQ(doc.GetTitle(), "named.cnv");
    EXPECT_FALSE(doc.IsModified());
    CScriptedInteraction ui2;
    CCarinovaDoc other(ui2);
    ASSERT_TRUE(other.OpenDocumentFile(path));
    EXPECT_EQ(other.GetPathName(), path);
    EXPECT_EQ(other.GetSpecimenList().size(), 10u);
    // Opening again replaces the contents instead of adding to them.
    ASSERT_TRUE(other.OpenDocumentFile(path));
    EXPECT_EQ(other.GetSpecimenList().size(), 10u);
    EXPECT_EQ(other.GetClusterList().size(), 6u);
    ExpectConsistent(other);
}

} // namespace
