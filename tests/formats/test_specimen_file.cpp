// Reading whole files through the one reading function: what a damaged, cut or unreadable file
// gives and how it is told. The expectations come from the sample's own structure (which line
// starts which specimen, where its points are), not from the readers.
#include "formats/reader_test_support.h"
#include "formats/tps_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace {

std::string ReadSample(const char* name) {
    std::ifstream in(std::string(CARINOVA_SAMPLES_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Where each specimen of the TPS sample lies, lines counted from 1.
struct SLayout {
    int lmLine = 0;
    int pointsLine = 0;
    int points = 0;
};

std::vector<SLayout> LayoutOf(const std::vector<std::string>& lines) {
    std::vector<SLayout> layout;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].rfind("LM=", 0) == 0)
            layout.push_back({i + 1, 0, 0});
        else if (lines[i].rfind("POINTS=", 0) == 0) {
            layout.back().pointsLine = i + 1;
            layout.back().points = std::stoi(lines[i].substr(7));
        }
    }
    return layout;
}


// A problem that starts at `line` and contains `text`.
bool HasProblem(const CSpecimenFile& file, int line, const std::string& text) {
    return std::any_of(file.notes.begin(), file.notes.end(), [&](const CReadingNote& note) {
        return note.problem && note.firstLine == line && note.text.find(text) != std::string::npos;
    });
}

class TpsSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        text_ = ReadSample("valves.tps");
        lines_ = SplitLines(text_);
        layout_ = LayoutOf(lines_);
        whole_ = ReadText(text_, "valves.tps").specimens;
        ASSERT_EQ(whole_.size(), 6u);
        ASSERT_EQ(layout_.size(), 6u);
    }
    std::string text_;
    std::vector<std::string> lines_;
    std::vector<SLayout> layout_;
    SpecimenList whole_;
};

// The TPS reader is asked directly: the format test looks at the first lines only, so a file
// whose first line is damaged or cut may be taken by another reader or by none.

// Every line in turn replaced by one that is neither a keyword nor numbers: the file still
// gives every specimen whose "LM=" and "POINTS=" lines are whole, the others (and only they)
// are skipped, and the damaged line is named.
TEST_F(TpsSampleTest, DamageAtEveryLineIsNamedAndCostsAtMostItsSpecimen) {
    for (int damaged = 1; damaged <= static_cast<int>(lines_.size()); ++damaged) {
        std::string text;
        for (int i = 1; i <= static_cast<int>(lines_.size()); ++i)
            text += (i == damaged ? std::string("#damaged#") : lines_[i - 1]) + "\n";
        const CSpecimenFile file = ReadTextWith<CTpsReader>(text, "valves.tps");
        int lost = -1;
        for (int s = 0; s < 6; ++s)
            if (damaged == layout_[s].lmLine || damaged == layout_[s].pointsLine)
                lost = s;
        ASSERT_EQ(file.specimens.size(), lost < 0 ? 6u : 5u) << "line " << damaged;
        EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Partial) << "line " << damaged;
        const bool named = std::any_of(file.notes.begin(), file.notes.end(), [&](const auto& n) {
            return n.problem && n.firstLine <= damaged && damaged <= n.lastLine;
        });
        EXPECT_TRUE(named) << "line " << damaged << ": " << file.Summary("valves.tps");
        // The specimens before the damaged one are untouched.
        for (std::size_t s = 0; s + 1 < layout_.size() && layout_[s + 1].lmLine < damaged; ++s)
            ASSERT_EQ(PointsText(file.specimens[s]->Contour), PointsText(whole_[s]->Contour));
    }
}

// The file cut at every line start and in the middle of every line: a specimen is kept when
// all its point lines are there (the last may be cut inside); the one cut short is skipped and
// named with its line; a last point line without its line end is named as probably cut.
TEST_F(TpsSampleTest, CutAtEveryLineKeepsTheWholeSpecimensAndNamesTheCutOne) {
    std::size_t start = 0;
    for (int line = 1; line <= static_cast<int>(lines_.size()); ++line) {
        for (const std::size_t cut : {start, start + lines_[line - 1].size() / 2}) {
            const std::string text = text_.substr(0, cut);
            const int complete = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            const std::string partial = text.substr(text.rfind('\n') + 1);
            const CSpecimenFile file = ReadTextWith<CTpsReader>(text, "valves.tps");
            std::size_t kept = 0;
            bool lastCut = false;
            for (const SLayout& s : layout_) {
                const int last = s.pointsLine + s.points;
                if (last <= complete) {
                    ++kept;
                } else if (last == complete + 1 && !partial.empty()) {
                    ++kept;
                    lastCut = true;
                } else if (s.lmLine <= complete + (partial.empty() ? 0 : 1)) {
                    // Begun, not complete: skipped and named at its first line or its points.
                    EXPECT_TRUE(HasProblem(file, s.lmLine, "skipped") ||
                                HasProblem(file, s.pointsLine, "skipped"))
                        << "cut at " << cut << ": " << file.Summary("valves.tps");
                    if (complete > s.pointsLine) {
                        const int read = complete - s.pointsLine + (partial.empty() ? 0 : 1);
                        EXPECT_TRUE(HasProblem(file, s.pointsLine,
                                               "the file ends after " + std::to_string(read) +
                                                   " of " + std::to_string(s.points) + " points"))
                            << "cut at " << cut << ": " << file.Summary("valves.tps");
                    }
                }
            }
            ASSERT_EQ(file.specimens.size(), kept) << "cut at " << cut;
            if (lastCut) {
                EXPECT_TRUE(HasProblem(file, complete + 1, "probably cut")) << "cut at " << cut;
            }
            const bool clean = partial.empty() &&
                               std::all_of(layout_.begin(), layout_.end(), [&](const SLayout& s) {
                                   return s.lmLine > complete ||
                                          s.pointsLine + s.points <= complete;
                               });
            if (partial.empty() && complete > 0) {
                EXPECT_EQ(file.Outcome() == CSpecimenFile::EOutcome::Complete, clean)
                    << "cut at " << cut << ": " << file.Summary("valves.tps");
            }
            if (kept > 0) {
                EXPECT_EQ(file.Summary("v").rfind("v: " + CountOf(kept, "specimen", "specimens"), 0),
                          0u);
            }
        }
        start += lines_[line - 1].size() + 1;
    }
}

// An input that fails after some bytes: an error, not a short file. The specimens read
// before it are kept, except one that ran up to the failure and may lack its end.
TEST_F(TpsSampleTest, ReadErrorIsAFailureThatKeepsTheSpecimensBeforeIt) {
    for (std::size_t failAt = 700; failAt < text_.size(); failAt += 997) {
        std::size_t given = 0;
        CInputStream input([&](char* buffer, std::size_t size) -> long {
            if (given >= failAt) {
                errno = EIO;
                return -1;
            }
            const std::size_t n = std::min({size, std::size_t{512}, failAt - given});
            std::copy_n(text_.data() + given, n, buffer);
            given += n;
            return static_cast<long>(n);
        });
        const CSpecimenFile file = ReadSpecimenInput("valves.tps", input);
        // A specimen is known to be whole when the next one's "LM=" line was read.
        std::size_t whole = 0;
        std::size_t offset = 0;
        for (int line = 1; line <= static_cast<int>(lines_.size()); ++line) {
            if (line > 1 && lines_[line - 1].rfind("LM=", 0) == 0 &&
                offset + lines_[line - 1].size() <= failAt)
                ++whole;
            offset += lines_[line - 1].size() + 1;
        }
        const std::string prefix = text_.substr(0, failAt);
        const auto line = 1 + std::count(prefix.begin(), prefix.end(), '\n');
        EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Failed);
        EXPECT_EQ(file.specimens.size(), whole) << "failure at " << failAt;
        EXPECT_EQ(file.error, "read error at line " + std::to_string(line) +
                                  ": Input/output error; " +
                                  CountOf(whole, "specimen", "specimens") + " before it kept");
    }
}

// A run of lines with one problem is one note; notes of one text are counted together.
TEST(SpecimenFileTest, ProblemsOfOneKindAreCountedTogetherInTheSummary) {
    const CSpecimenFile file =
        ReadText("LM=0\nOUTLINES=1\nPOINTS=6\n0 0\nx\n4 0\ny\nz\n0 4\nA\nB\nC\nD=1\nE=2\n",
                 "k.tps");
    EXPECT_EQ(file.Summary("k.tps"),
              "k.tps: 1 specimen (TPS); no two numbers in a point line: the previous point "
              "repeated (2 times, first at line 5); lines 10 to 12: skipped: not a keyword line, "
              "and no POINTS= count is open; line 13: skipped: unknown keyword D=; 1 more kind "
              "of problem");
    const std::vector<std::string> details = file.Details("k.tps");
    ASSERT_EQ(details.size(), 5u);
    EXPECT_EQ(details[0], "k.tps, line 5: no two numbers in a point line: the previous point "
                          "repeated");
    EXPECT_EQ(details[1], "k.tps, lines 7 to 8: no two numbers in a point line: the previous "
                          "point repeated");
    EXPECT_EQ(details[2], "k.tps, lines 10 to 12: skipped: not a keyword line, and no POINTS= "
                          "count is open");
}

// A hostile file cannot fill the memory with notes: beyond ten thousand, problems are counted.
TEST(SpecimenFileTest, ProblemsBeyondTenThousandAreCountedOnly) {
    std::string text = "LM=0\nOUTLINES=1\nPOINTS=40000\n";
    for (int i = 0; i < 20000; ++i)
        text += "1 1\nx\n";
    const CSpecimenFile file = ReadText(text, "h.tps");
    ASSERT_EQ(file.specimens.size(), 1u);
    ASSERT_EQ(file.notes.size(), 10001u);
    EXPECT_EQ(file.notes.back().text, "10000 more problems not listed");
    EXPECT_EQ(file.Outcome(), CSpecimenFile::EOutcome::Partial);
}

TEST(SpecimenFileTest, AFileThatGivesNothingSaysWhy) {
    EXPECT_EQ(ReadText("", "e.tps").Summary("e.tps"), "e.tps: the file is empty");
    EXPECT_EQ(ReadText("field notes\n", "n.txt").Summary("n.txt"),
              "n.txt: not an outline file of a known format (TPS, Morphosys, simple, chain code, "
              "NTSYS, x-y list)");
    const CSpecimenFile landmarks = ReadText("LM=2\n1 1\n2 2\nIMAGE=a.jpg\n", "l.tps");
    EXPECT_EQ(landmarks.Outcome(), CSpecimenFile::EOutcome::Failed);
    EXPECT_EQ(landmarks.Summary("l.tps"),
              "l.tps: no specimen (TPS); line 1: l.tps skipped: it has landmarks, no outline");
    EXPECT_EQ(ReadSpecimenFile("/no/such/file.tps").Summary("file.tps"),
              "file.tps: cannot open file: No such file or directory");
}

// A coordinate or landmark beyond 1e15 would make the document it is saved into unreadable:
// that specimen is left out and named, whatever the format; the limit itself is kept.
TEST(SpecimenFileTest, CoordinatesBeyondWhatADocumentKeepsAreRefused) {
    const std::string outline = "OUTLINES=1\nPOINTS=3\n0 0\n100 0\n0 100\n";
    const CSpecimenFile tps = ReadText(
        "LM=0\n" + outline + "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n2e15 0\n0 100\n" +
            "LM=1\n1 -3e15\n" + outline + "LM=0\nOUTLINES=1\nPOINTS=3\n0 0\n1e15 0\n0 -1e15\n",
        "b.tps");
    ASSERT_EQ(tps.specimens.size(), 2u);
    EXPECT_EQ(tps.specimens[1]->Contour[1].x, 1e15f);
    EXPECT_EQ(tps.Outcome(), CSpecimenFile::EOutcome::Partial);
    const std::vector<std::string> details = tps.Details("b.tps");
    for (const char* name : {"b.tps (2)", "b.tps (3)"})
        EXPECT_EQ(std::count(details.begin(), details.end(),
                             "b.tps: " + std::string(name) +
                                 " skipped: a coordinate lies beyond 1e15, more than a document "
                                 "can keep"),
                  1)
            << name;
    const CSpecimenFile list = ReadText("0 0\n5 0\n-1e16 3\n", "x.txt");
    EXPECT_TRUE(list.specimens.empty());
    EXPECT_EQ(list.Outcome(), CSpecimenFile::EOutcome::Failed);
}

} // namespace
