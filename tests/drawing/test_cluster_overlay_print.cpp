#include "drawing/cluster_fixture.h"
#include "drawing/cluster_overlay_print.h"
#include "platform/recording_dc.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using Kind = CRecordingDC::OpKind;
using Op = CRecordingDC::Op;

const std::string kHeader = "Carinova: Specimen cluster view";

// An A4 page at 600 dpi whose paper height the test sets.
CRecordingDC Printer(int paperMillimetres) {
    CRecordingDC printer(true);
    printer.SetDeviceCaps(VERTSIZE, paperMillimetres);
    printer.SetDeviceCaps(LOGPIXELSX, 600);
    printer.SetDeviceCaps(LOGPIXELSY, 600);
    printer.SetDeviceCaps(HORZRES, 4960);
    printer.SetDeviceCaps(VERTRES, 7016);
    return printer;
}

std::vector<Op> BodyTexts(const CRecordingDC& dc) {
    std::vector<Op> found;
    for (const Op& op : dc.OpsOfKind(Kind::Text))
        if (op.text != kHeader && op.text.rfind("Page ", 0) != 0)
            found.push_back(op);
    return found;
}

// (millimetres - 21) * 0.18897637795275593 truncated: A4 (297) 52.16, 45 mm 4.54, 27 mm 1.13;
// shorter paper would give no line and still lists one a page.
TEST(OverlayPrint, ListLinesFollowThePaperHeight) {
    const std::pair<int, int> cases[] = {{297, 52}, {45, 4}, {27, 1}, {26, 1}, {0, 1}};
    for (const auto& [millimetres, lines] : cases)
        EXPECT_EQ(OverlayListLinesPerPage(Printer(millimetres)), lines) << millimetres;
}

struct PageCountCase {
    const char* name;
    int millimetres;
    int members;
    bool printList;
    int pages;
};
void PrintTo(const PageCountCase& c, std::ostream* os) {
    *os << c.name;
}

class OverlayPageCount : public ClusterFixture,
                         public ::testing::WithParamInterface<PageCountCase> {};

// The picture page plus ceil(members / lines) list pages.
INSTANTIATE_TEST_SUITE_P(
    Paper, OverlayPageCount,
    ::testing::Values(PageCountCase{"TenMembersFourLines", 45, 10, true, 1 + 3},
                      PageCountCase{"FourMembersFillOnePage", 45, 4, true, 1 + 1},
                      PageCountCase{"FiveMembersSpill", 45, 5, true, 1 + 2},
                      PageCountCase{"A4", 297, 10, true, 1 + 1},
                      PageCountCase{"NoList", 45, 10, false, 1},
                      PageCountCase{"EmptyCluster", 45, 0, true, 1},
                      PageCountCase{"TinyPaper", 5, 3, true, 1 + 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_P(OverlayPageCount, PictureThenMemberPages) {
    const PageCountCase& c = GetParam();
    for (int i = 0; i < c.members; ++i)
        AddMember("valve " + std::to_string(i + 1));
    doc.GetClusterParameter().PrintSpecimenList = c.printList;
    EXPECT_EQ(OverlayPrintPageCount(Printer(c.millimetres), doc), c.pages);
}

// Ten identical members, bounds (-1000, -400) - (1000, 400), view window 800 x 600: the screen
// mapping (window 2600 x 960 from (-1300, 520), viewport 800 x -295) on a 600 dpi printer
// gives hf = 960 * 12 / -295 * 600 / 96 = -244.07. List line d sits at 1.5 hf d: 0, -366.1,
// -732.2, -1098.3, from x = xmin = -1000.
class OverlayMemberList : public ClusterFixture {
protected:
    void SetUp() override {
        for (int i = 0; i < 10; ++i)
            AddMember("valve " + std::to_string(i + 1));
        doc.SetReferenceRecord(members[0]);
    }
    std::vector<Op> Page(int page) {
        CRecordingDC printer = Printer(45);
        PrintOverlayPage(printer, doc, {800, 600}, {page, 1, 0, 4});
        return BodyTexts(printer);
    }
};

TEST_F(OverlayMemberList, FourLinesAPageInListOrder) {
    const auto page2 = Page(2);
    ASSERT_EQ(page2.size(), 4u);
    const char* names[] = {"0 - valve 1 (Reference)", "1 - valve 2 ", "2 - valve 3 ",
                           "3 - valve 4 "};
    const int ys[] = {0, -366, -732, -1098};
    for (int d = 0; d < 4; ++d) {
        EXPECT_EQ(page2[d].text, names[d]);
        EXPECT_EQ(page2[d].box.left, -1000);
        EXPECT_EQ(page2[d].box.top, ys[d]);
        EXPECT_EQ(page2[d].font.height, -244);
        EXPECT_EQ(page2[d].font.weight, 400);
    }
    const auto page3 = Page(3);
    ASSERT_EQ(page3.size(), 4u);
    EXPECT_EQ(page3.front().text, "4 - valve 5 ");
    EXPECT_EQ(page3.back().text, "7 - valve 8 ");
    const auto page4 = Page(4);
    ASSERT_EQ(page4.size(), 2u);
    EXPECT_EQ(page4[0].text, "8 - valve 9 ");
    EXPECT_EQ(page4[1].text, "9 - valve 10 ");
    EXPECT_EQ(page4[1].box.top, -366);
    EXPECT_TRUE(Page(5).empty()); // past the end: header and footer only
}

// Page (0, 0) - (4960, 7016) is (-1300, 520) - (14820, -22312) in the screen mapping; text
// height 244. Header at top - 100, its rule at 520 - 488 - 100 = -68; footer rule at
// -22312 + 488 + 100 = -21724 with the number centred at x = 6760, its top 244 lower.
TEST_F(OverlayMemberList, HeaderFooterAndFrame) {
    CRecordingDC printer = Printer(45);
    PrintOverlayPage(printer, doc, {800, 600}, {2, 1, 0, 4});
    const auto texts = printer.OpsOfKind(Kind::Text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, kHeader);
    EXPECT_EQ(texts[0].box.left, -1300);
    EXPECT_EQ(texts[0].box.top, 420);
    EXPECT_EQ(texts[0].font.weight, 400);
    EXPECT_EQ(texts[1].text, "Page 2 of 4");
    EXPECT_EQ(texts[1].box.left, 6760);
    EXPECT_EQ(texts[1].box.top, -21968);
    EXPECT_EQ(texts[1].textAlign, TA_CENTER | TA_TOP);
    const auto lines = printer.OpsOfKind(Kind::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].box, (CRect{-1300, -68, 14820, -68}));
    EXPECT_EQ(lines[1].box, (CRect{-1300, -21724, 14820, -21724}));
    const auto frames = printer.OpsOfKind(Kind::Rectangle);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].box, (CRect{-1300, -68, 14820, -21724}));
    EXPECT_EQ(frames[0].brush.style, BrushStyle::Null);

    // A chosen range counts its own pages.
    CRecordingDC ranged = Printer(45);
    PrintOverlayPage(ranged, doc, {800, 600}, {3, 2, 3, 4});
    EXPECT_EQ(ranged.OpsOfKind(Kind::Text)[1].text, "Page 3 of 2");
}

// The framed band is device rows 181 to 6835; the picture's window 1.3 * (2000, -800) from
// (-1300, 520) fills its width, so its height shrinks to 4960 * 1040 / 2600 = 1984.
TEST_F(OverlayMemberList, FirstPageHoldsThePictureOnly) {
    doc.GetClusterParameter().PrintingPenWidthSpecimen = 4;
    CRecordingDC printer = Printer(45);
    PrintOverlayPage(printer, doc, {800, 600}, {1, 1, 0, 4});
    EXPECT_EQ(printer.GetWindowExt(), (CSize{2600, -1040}));
    EXPECT_EQ(printer.GetWindowOrg(), (CPoint{-1300, 520}));
    EXPECT_EQ(printer.GetViewportExt(), (CSize{4960, 1984}));
    EXPECT_EQ(printer.GetViewportOrg(), (CPoint{0, 181}));
    bool legend = false;
    for (const Op& op : BodyTexts(printer)) {
        EXPECT_EQ(op.text.find(" - valve"), std::string::npos) << op.text;
        legend |= op.text == "Normalised (Area)";
    }
    EXPECT_TRUE(legend);
    int wide = 0;
    for (const Op& op : printer.OpsOfKind(Kind::Line))
        wide += op.pen.width == 4;
    EXPECT_GT(wide, 0);
}

TEST_F(OverlayMemberList, WithoutTheListLaterPagesStayEmpty) {
    doc.GetClusterParameter().PrintSpecimenList = false;
    EXPECT_TRUE(Page(2).empty());
}

TEST_F(ClusterFixture, EmptyClusterPrintsOneFramedPage) {
    CRecordingDC printer = Printer(297);
    ASSERT_EQ(OverlayPrintPageCount(printer, doc), 1);
    PrintOverlayPage(printer, doc, {800, 600}, {1, 1, 0, 1});
    EXPECT_EQ(printer.GetMapMode(), MM_LOMETRIC);
    std::vector<std::string> texts;
    for (const Op& op : printer.OpsOfKind(Kind::Text))
        texts.push_back(op.text);
    EXPECT_EQ(texts, (std::vector<std::string>{kHeader, "Page 1 of 1"}));
    EXPECT_EQ(printer.OpsOfKind(Kind::Rectangle).size(), 1u);
    EXPECT_TRUE(printer.OpsOfKind(Kind::Ellipse).empty()); // no hint bullets on paper
}

} // namespace
