// A document file whose numbers no document can hold (not finite, coordinates beyond any
// outline, counts outside the dialogs' range) fails to open as a whole, with a message that
// names the element and its line. The cases are made from a document as the program writes it:
// every numeric element, in every place of the tree it occurs, gets a bad value in turn.
#include "cluster/cluster_parameter.h"
#include "scratch_folder.h"
#include "support/hint_recorder.h"
#include "xml_test_support.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

using namespace xmltest;

enum class Kind { Number, Point, PointList };

// The float-valued elements of the file format.
const std::map<std::string, Kind>& NumericElements() {
    static const std::map<std::string, Kind> elements{{"ScaleFactor", Kind::Number},
                                                      {"MaxDiffOben", Kind::Number},
                                                      {"MaxDiffUnten", Kind::Number},
                                                      {"MeanDiffOben", Kind::Number},
                                                      {"MeanDiffUnten", Kind::Number},
                                                      {"MaxDiffObenAtParam", Kind::Number},
                                                      {"MaxDiffUntenAtParam", Kind::Number},
                                                      {"MeanDelta", Kind::Number},
                                                      {"MaxDelta", Kind::Number},
                                                      {"SumDelta", Kind::Number},
                                                      {"SumDeltaQuadrat", Kind::Number},
                                                      {"MeanDeltaQuadrat", Kind::Number},
                                                      {"Areatotal", Kind::Number},
                                                      {"Areadorsal", Kind::Number},
                                                      {"Areaventral", Kind::Number},
                                                      {"ErrorVectorsScale", Kind::Number},
                                                      {"Centroid", Kind::Point},
                                                      {"FirstEigenvect", Kind::Point},
                                                      {"SecondEigenvect", Kind::Point},
                                                      {"Contour", Kind::PointList},
                                                      {"ControlPoints", Kind::PointList},
                                                      {"DeltaVectorsUpper", Kind::PointList},
                                                      {"DeltaVectorsLower", Kind::PointList}};
    return elements;
}

// One element of the written file: where its value lies in the text.
struct SSite {
    std::string name;
    std::string place; // its ancestors' names
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
    int line = 0;
};

// The element's start tag is found in the text itself: the k-th "<name>" is the k-th element of
// that name in document order.
std::vector<SSite> SitesOf(const std::string& text, const std::vector<std::string>& names) {
    pugi::xml_document xml;
    EXPECT_TRUE(xml.load_string(text.c_str()));
    std::map<std::string, SSite> lastPerPlace;
    std::map<std::string, std::size_t> searchFrom;
    struct Walker : pugi::xml_tree_walker {
        std::vector<std::pair<std::string, std::string>> found; // name, place
        const std::vector<std::string>* names = nullptr;
        bool for_each(pugi::xml_node& node) override {
            if (std::find(names->begin(), names->end(), node.name()) == names->end())
                return true;
            std::string place;
            for (pugi::xml_node a = node.parent(); a.parent(); a = a.parent())
                place = std::string(a.name()) + "/" + place;
            found.emplace_back(node.name(), place);
            return true;
        }
    } walker;
    walker.names = &names;
    xml.traverse(walker);
    for (const auto& [name, place] : walker.found) {
        const std::string open = "<" + name + ">";
        const std::size_t at = text.find(open, searchFrom[name]);
        EXPECT_NE(at, std::string::npos) << name;
        searchFrom[name] = at + 1;
        SSite site{name, place, at + open.size(), text.find("</" + name + ">", at), 1};
        site.line += static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
        lastPerPlace[place + name] = site;
    }
    std::vector<SSite> sites;
    for (const auto& entry : lastPerPlace)
        sites.push_back(entry.second);
    return sites;
}

// A document with every kind of element: records from the three sample formats, fits, a
// cluster, its mean and a reference.
const std::string& WrittenDocument() {
    static const std::string text = [] {
        CScratchFolder folder;
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        BuildSampleDocument(doc, false);
        const std::string path = (folder.Path() / "written.cnv").string();
        EXPECT_TRUE(doc.OnSaveDocument(path));
        return CScratchFolder::ReadBytes(path);
    }();
    return text;
}

class DamagedDocument : public ::testing::Test {
protected:
    CScratchFolder folder;

    // Opens the text into a fresh document and returns the messages; the document must have
    // stayed empty with its default settings, and its views have heard nothing.
    std::vector<std::string> OpenDamaged(const std::string& text, std::string& path) {
        path = folder.Write("damaged.cnv", text);
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        CHintRecorder view(doc);
        EXPECT_FALSE(doc.OnOpenDocument(path));
        EXPECT_TRUE(doc.GetSpecimenList().empty());
        EXPECT_TRUE(doc.GetClusterList().empty());
        EXPECT_FALSE(doc.GetClusterParameter().HasMeanRecord());
        ExpectSameClusterValues(doc.GetClusterParameter(), CClusterParameter());
        EXPECT_TRUE(view.received.empty());
        return ui.MessageTexts();
    }

    bool Opens(const std::string& text) {
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        return doc.OnOpenDocument(folder.Write("sound.cnv", text));
    }
};

struct SBadValue {
    const char* text;
    bool damagesNumbers;     // as a plain float
    bool damagesCoordinates; // as a coordinate
};

class NonFiniteValues : public DamagedDocument, public ::testing::WithParamInterface<SBadValue> {};

// The value replaces a whole number, the x of a point, or the y of the middle point of a list.
TEST_P(NonFiniteValues, InEveryNumericElementDamageTheDocument) {
    const SBadValue bad = GetParam();
    const std::string& text = WrittenDocument();
    std::vector<std::string> names;
    for (const auto& entry : NumericElements())
        names.push_back(entry.first);
    const std::vector<SSite> sites = SitesOf(text, names);
    ASSERT_GE(sites.size(), 40u);
    int tested = 0;
    for (const SSite& site : sites) {
        const std::string value = text.substr(site.valueBegin, site.valueEnd - site.valueBegin);
        const Kind kind = NumericElements().at(site.name);
        std::string damaged = value;
        std::string detail; // what the message says after the name
        if (kind == Kind::Number) {
            damaged = bad.text;
        } else if (kind == Kind::Point) {
            damaged = std::string(bad.text) + value.substr(value.find(' '));
        } else {
            std::vector<std::size_t> spaces;
            for (std::size_t i = 0; i < value.size(); ++i)
                if (value[i] == ' ')
                    spaces.push_back(i);
            const std::size_t points = spaces.size() / 2;
            if (points == 0)
                continue;
            const std::size_t k = points / 2; // 0-based point whose y is replaced
            const std::size_t yBegin = spaces[2 * k] + 1;
            damaged = value.substr(0, yBegin) + bad.text + value.substr(spaces[2 * k + 1]);
            detail = "point " + std::to_string(k + 1) + " ";
        }
        const bool isDamage = kind == Kind::Number ? bad.damagesNumbers : bad.damagesCoordinates;
        const std::string file =
            text.substr(0, site.valueBegin) + damaged + text.substr(site.valueEnd);
        const std::string what = site.place + site.name + " = " + damaged.substr(0, 60);
        ++tested;
        if (!isDamage) {
            EXPECT_TRUE(Opens(file)) << what;
            continue;
        }
        std::string path;
        const std::vector<std::string> messages = OpenDamaged(file, path);
        ASSERT_EQ(messages.size(), 1u) << what;
        const bool finite = std::isfinite(std::strtof(bad.text, nullptr));
        const std::string expected = "Failed to open Carinova document.\n" + path + ", line " +
                                     std::to_string(site.line) + ": " + site.name + " " + detail +
                                     (finite ? "lies beyond 1e15" : "is not a finite number");
        EXPECT_EQ(messages[0].substr(0, expected.size()), expected) << what << "\n" << messages[0];
    }
    EXPECT_GE(tested, 40);
}

INSTANTIATE_TEST_SUITE_P(
    Values, NonFiniteValues,
    ::testing::Values(SBadValue{"nan", true, true}, SBadValue{"-inf", true, true},
                      SBadValue{"infinity", true, true}, SBadValue{"1e39", true, true},
                      SBadValue{"0x1p200", true, true}, SBadValue{"3e38", false, true},
                      SBadValue{"-2e15", false, true}, SBadValue{"1e15", false, false}),
    [](const ::testing::TestParamInfo<SBadValue>& info) {
        std::string name;
        for (const char c : std::string(info.param.text))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

struct SCountCase {
    const char* name;
    const char* value; // nullptr: the element is left out
    const char* problem;
};

class CountsOutsideTheDialogs : public DamagedDocument,
                                public ::testing::WithParamInterface<SCountCase> {};

// In the cluster settings, the mean's approximation and every record's approximations.
TEST_P(CountsOutsideTheDialogs, DamageTheDocument) {
    const SCountCase c = GetParam();
    const std::string& text = WrittenDocument();
    const std::vector<SSite> sites = SitesOf(text, {c.name});
    ASSERT_EQ(sites.size(), 4u); // ApproxSpecimen, ApproxCluster, the mean's, the cluster's
    for (const SSite& site : sites) {
        std::string file;
        std::string expected;
        if (c.value) {
            file = text.substr(0, site.valueBegin) + c.value + text.substr(site.valueEnd);
            expected = ", line " + std::to_string(site.line) + ": " + c.name + " " + c.problem;
        } else {
            // Without the element its parent is named, on the parent's line.
            const std::size_t open = text.rfind('<', site.valueBegin);
            const std::size_t close = text.find('>', site.valueEnd) + 1;
            file = text.substr(0, open) + text.substr(close);
            const std::string parent = site.place.substr(0, site.place.size() - 1);
            const std::string parentName = parent.substr(parent.rfind('/') + 1);
            const std::size_t parentAt = text.rfind("<" + parentName + ">", open);
            const auto line = 1 + std::count(text.begin(), text.begin() + parentAt, '\n');
            expected = ", line " + std::to_string(line) + ": " + parentName + " " + c.problem;
        }
        std::string path;
        const std::vector<std::string> messages = OpenDamaged(file, path);
        EXPECT_EQ(messages,
                  std::vector<std::string>{"Failed to open Carinova document.\n" + path + expected})
            << site.place;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountsOutsideTheDialogs,
    ::testing::Values(
        SCountCase{"ControlPointsCnt", "0", "is 0, outside 3 to 30"},
        SCountCase{"ControlPointsCnt", "-7", "is -7, outside 3 to 30"},
        SCountCase{"ControlPointsCnt", "2", "is 2, outside 3 to 30"},
        SCountCase{"ControlPointsCnt", "31", "is 31, outside 3 to 30"},
        SCountCase{"ControlPointsCnt", "99999999999", "is 2147483647, outside 3 to 30"},
        SCountCase{"ControlPointsCnt", nullptr, "has no single ControlPointsCnt from 3 to 30"},
        SCountCase{"ParamIterCount", "-1", "is -1, outside 0 to 6000"},
        SCountCase{"ParamIterCount", "6001", "is 6001, outside 0 to 6000"}),
    [](const ::testing::TestParamInfo<SCountCase>& info) {
        return std::string(info.param.name) + "_" +
               (info.param.value
                    ? (info.param.value[0] == '-' ? std::string("minus") + (info.param.value + 1)
                                                  : std::string(info.param.value))
                    : std::string("missing"));
    });

// The ends of the ranges are what the dialogs allow, so files the program wrote stay readable.
TEST_F(DamagedDocument, TheEndsOfTheCountRangesAreSound) {
    const std::string& text = WrittenDocument();
    for (const auto& [name, value] :
         std::vector<std::pair<std::string, std::string>>{{"ControlPointsCnt", "3"},
                                                          {"ControlPointsCnt", "30"},
                                                          {"ParamIterCount", "0"},
                                                          {"ParamIterCount", "6000"}}) {
        std::string file = text;
        std::vector<SSite> sites = SitesOf(text, {name});
        // From the end, so that the positions before each replacement still hold.
        std::sort(sites.begin(), sites.end(),
                  [](const SSite& a, const SSite& b) { return a.valueBegin > b.valueBegin; });
        for (const SSite& site : sites)
            file = file.substr(0, site.valueBegin) + value + file.substr(site.valueEnd);
        EXPECT_TRUE(Opens(file)) << name << " " << value;
    }
}

} // namespace
