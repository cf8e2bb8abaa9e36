// The memory a document text claims is counted before it is parsed: the count must never fall
// below what the parser then takes, and real documents must stay far below the limit.
#include "document/xml_footprint.h"
#include "scratch_folder.h"
#include "xml_test_support.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace xmltest;

// What the parser allocates, counted by its own allocation hook while a test parses.
std::size_t g_allocated = 0;

void* CountingAllocate(std::size_t size) {
    g_allocated += size;
    return std::malloc(size);
}

// Parses the text as the document reader does and returns the bytes the tree took.
std::size_t TreeBytes(std::string text) {
    pugi::set_memory_management_functions(CountingAllocate, std::free);
    g_allocated = 0;
    std::size_t taken = 0;
    {
        pugi::xml_document xml;
        const pugi::xml_parse_result result = xml.load_buffer_inplace(
            text.data(), text.size(),
            pugi::parse_default | pugi::parse_ws_pcdata_single | pugi::parse_embed_pcdata);
        EXPECT_TRUE(result) << result.description();
        taken = g_allocated;
    }
    pugi::set_memory_management_functions(std::malloc, std::free);
    return taken;
}

std::string Repeated(const std::string& piece, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += piece;
    return text;
}

struct SShape {
    const char* name;
    std::string body; // inside the root
};

class FootprintOfShapes : public ::testing::TestWithParam<SShape> {};

// The parser keeps its nodes in pages of 32 KiB; one page more may be begun but not used.
TEST_P(FootprintOfShapes, IsNoLessThanWhatTheParserTakes) {
    const std::string text = "<SpecimenRecordList>" + GetParam().body + "</SpecimenRecordList>";
    const std::size_t taken = TreeBytes(text);
    const CXmlFootprint footprint = CXmlFootprint::Of(text);
    EXPECT_GT(taken, 100000u) << "a shape large enough to need many pages";
    EXPECT_LE(taken, footprint.Bytes() + 32768) << footprint.nodes << " nodes";
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FootprintOfShapes,
    ::testing::Values(
        SShape{"EmptyElements", Repeated("<a/>\n", 20000)},
        SShape{"NestedEmptyElements", Repeated("<a><b/><c></c></a>", 10000)},
        SShape{"Attributes", Repeated("<a x=\"1\" y='2' z=\"\"/>", 10000)},
        SShape{"QuotedBracketsBeforeAttributes", Repeated("<a q=\">\" x=\"\" y=\"\"/>t", 10000)},
        SShape{"TextBetweenElements", Repeated("<a>first<b/>second<c/>third</a>", 10000)},
        SShape{"CdataAndComments",
               Repeated("<a><![CDATA[<x>]]>after<!-- c > d -->more</a>", 10000)},
        SShape{"QuotesOutsideTags",
               Repeated("<a><!-- it's --><b/>x<![CDATA[\"]]>y<c q=\"/\"/>z</a>", 10000)},
        SShape{"BlankTextAlone", Repeated("<Stage>   </Stage>\n\t", 20000)},
        SShape{"Records", Repeated("<SpecimenRecord><Specimen/></SpecimenRecord>", 10000)}),
    [](const ::testing::TestParamInfo<SShape>& info) { return std::string(info.param.name); });

// A written document needs a few times its size at most, far below the limit of six.
TEST(Footprint, OfAWrittenDocumentIsAFewTimesItsSize) {
    CScratchFolder folder;
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    BuildSampleDocument(doc, false);
    // Empty contours make the element names weigh most against the values.
    for (const auto& record : doc.GetSpecimenList())
        record->GetSpecimen()->Contour.clear();
    const std::string path = (folder.Path() / "written.cnv").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string text = CScratchFolder::ReadBytes(path);
    const CXmlFootprint footprint = CXmlFootprint::Of(text);
    EXPECT_EQ(footprint.records, doc.GetSpecimenList().size());
    EXPECT_LE(footprint.Bytes(), 3 * text.size()) << text.size() << " bytes";
    EXPECT_LE(TreeBytes(text), footprint.Bytes() + 32768);
}

} // namespace
