// Files that are broken, huge or built to hurt end in a message or load what is valid, and a
// save that cannot be completed leaves the previous file as it was.
#include "formats/specimen_file.h"
#include "scratch_folder.h"
#include "xml_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <random>
#include <sstream>
#include <sys/stat.h>

namespace {

using namespace xmltest;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class XmlHostile : public ::testing::Test {
protected:
    CScratchFolder folder;

    // Opens the file into a fresh document; returns whether it loaded, after checking that a
    // failure said so with one of the opening messages and left an empty, consistent document.
    // The document is kept for the test when `opened` is given.
    bool OpenChecked(const std::string& path, CCarinovaDoc** opened = nullptr) {
        auto ui = std::make_unique<CScriptedInteraction>();
        auto doc = std::make_unique<CCarinovaDoc>(*ui);
        const bool ok = doc->OnOpenDocument(path);
        ExpectConsistent(*doc);
        if (!ok) {
            const std::string last = ui->messages.empty() ? "" : ui->messages.back().text;
            const std::string title = last.substr(0, last.find('\n'));
            EXPECT_TRUE(title == "Trying to open invalid Carinova document." ||
                        title == "Failed to open Carinova document.")
                << last;
            EXPECT_NE(last.find("\n" + path), std::string::npos) << "names the file: " << last;
            EXPECT_TRUE(doc->GetSpecimenList().empty());
            EXPECT_FALSE(doc->GetClusterParameter().HasMeanRecord());
        }
        EXPECT_EQ(ui->waitCursorDepth, 0);
        EXPECT_EQ(ui->progressBegun, ui->progressEnded);
        if (opened) {
            *opened = doc.get();
            kept_.emplace_back(std::move(ui), std::move(doc));
        }
        return ok;
    }

private:
    // Each document refers to its interaction, so it is declared (and destroyed) after it.
    struct Kept {
        Kept(std::unique_ptr<CScriptedInteraction> u, std::unique_ptr<CCarinovaDoc> d)
            : ui(std::move(u)), doc(std::move(d)) {}
        std::unique_ptr<CScriptedInteraction> ui;
        std::unique_ptr<CCarinovaDoc> doc;
    };
    std::vector<Kept> kept_;
};

TEST_F(XmlHostile, EveryTruncationEndsInAMessageOrLoadsWhatIsThere) {
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    ASSERT_EQ(AddSamples(doc, "valves.txt"), 2);
    AttachFit(*doc.GetSpecimenList()[0], 6);
    doc.InsertIntoCluster(doc.GetSpecimenList()[0].get());
    doc.InsertIntoCluster(doc.GetSpecimenList()[1].get());
    doc.CalculateMeanSpecimen();
    doc.SetReferenceRecord(doc.GetSpecimenList()[1].get());
    const std::string path = (folder.Path() / "whole.cnv").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    const std::string bytes = CScratchFolder::ReadBytes(path);
    int failed = 0;
    for (std::size_t cut = 0; cut < bytes.size(); cut += cut < 400 ? 7 : 211)
        failed += OpenChecked(folder.Write("cut.cnv", bytes.substr(0, cut))) ? 0 : 1;
    EXPECT_GT(failed, 10);
    // Cut after the root's end tag, only the line end is missing: it still loads completely.
    CCarinovaDoc* complete = nullptr;
    ASSERT_TRUE(OpenChecked(folder.Write("cut.cnv", bytes.substr(0, bytes.size() - 1)), &complete));
    EXPECT_EQ(complete->GetSpecimenList().size(), 2u);
}

TEST_F(XmlHostile, BinaryGarbageIsAnInvalidDocument) {
    std::mt19937 random(7);
    std::string garbage(1 << 20, '\0');
    for (char& c : garbage)
        c = static_cast<char>(random());
    EXPECT_FALSE(OpenChecked(folder.Write("garbage.cnv", garbage)));
    EXPECT_FALSE(OpenChecked(folder.Write("half.cnv", DocumentXml("").substr(0, 40) + garbage)));
}

// Paths that are not regular files are refused before anything is read from them: a pipe
// without a writer would block, a device never ends.
TEST_F(XmlHostile, WhatIsNotARegularFileIsAnInvalidDocument) {
    const std::string fifo = (folder.Path() / "pipe.cnv").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::pair<std::string, std::string>> cases{
        {(folder.Path() / "missing.cnv").string(), "No such file or directory"},
        {folder.Path().string(), "not a regular file"},
        {fifo, "not a regular file"},
        {"/dev/zero", "not a regular file"}};
    for (const auto& [path, reason] : cases) {
        CScriptedInteraction ui;
        CCarinovaDoc doc(ui);
        EXPECT_FALSE(doc.OnOpenDocument(path));
        EXPECT_EQ(ui.MessageTexts(),
                  std::vector<std::string>{"Trying to open invalid Carinova document.\n" + path +
                                           ": " + reason});
    }
}

// 50 MB of one outline: every point arrives, within the time reading the file takes.
TEST_F(XmlHostile, AFiftyMegabyteFileLoadsCompletely) {
    const std::size_t count = 3'200'000; // "123.457 -98.765 " is 16 bytes
    std::string contour;
    contour.reserve(count * 16);
    for (std::size_t i = 0; i < count; ++i)
        contour += "123.457 -98.765 ";
    const std::string path =
        folder.Write("big.cnv", DocumentXml(Element("SpecimenRecord", SpecimenXml("big", contour)) +
                                            Element("SpecimenRecord", SpecimenXml("small"))));
    contour.clear();
    contour.shrink_to_fit();
    const auto start = std::chrono::steady_clock::now();
    CCarinovaDoc* doc = nullptr;
    ASSERT_TRUE(OpenChecked(path, &doc));
    EXPECT_LT(SecondsSince(start), 60.0);
    ASSERT_EQ(doc->GetSpecimenList().size(), 2u);
    const CSpecimen& big = *doc->GetSpecimenList()[0]->GetSpecimen();
    ASSERT_EQ(big.Contour.size(), count);
    EXPECT_EQ(big.Contour.back(), FPoint(123.457f, -98.765f));
}

TEST_F(XmlHostile, JunkInAPointListEndsItAndTheRestLoads) {
    std::string contour;
    for (int i = 0; i < 1'000'000; ++i)
        contour += std::to_string(i % 1000) + " " + std::to_string(-(i % 777)) + " ";
    contour += "junk 7 8 ";
    CCarinovaDoc* doc = nullptr;
    ASSERT_TRUE(OpenChecked(
        folder.Write("junk.cnv", DocumentXml(Element("SpecimenRecord", SpecimenXml("j", contour)) +
                                             Element("SpecimenRecord", SpecimenXml("next")))),
        &doc));
    const CSpecimen& s = *doc->GetSpecimenList()[0]->GetSpecimen();
    ASSERT_EQ(s.Contour.size(), 1'000'000u);
    EXPECT_EQ(s.Contour[999'999], FPoint(999, -(999'999 % 777)));
    EXPECT_EQ(doc->GetSpecimenList()[1]->GetSpecimen()->ShortPathName, "next");
}

TEST_F(XmlHostile, DeepNestingIsRefusedButAFewWrappersAreFine) {
    std::string deep = "<SpecimenRecordList>";
    for (int i = 0; i < 1'000'000; ++i)
        deep += "<W>";
    deep += Element("SpecimenRecord", SpecimenXml("bottom"));
    for (int i = 0; i < 1'000'000; ++i)
        deep += "</W>";
    deep += "</SpecimenRecordList>";
    const auto start = std::chrono::steady_clock::now();
    CScriptedInteraction ui;
    CCarinovaDoc refused(ui);
    const std::string path = folder.Write("deep.cnv", deep);
    EXPECT_FALSE(refused.OnOpenDocument(path));
    EXPECT_LT(SecondsSince(start), 20.0);
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"Trying to open invalid Carinova document.\n" + path +
                                       ": elements nest deeper than 32 levels"});

    std::string wrapped = SpecimenXml("wrapped");
    for (int i = 0; i < 20; ++i)
        wrapped = Element("SpecimenRecord", wrapped);
    CCarinovaDoc* doc = nullptr;
    ASSERT_TRUE(OpenChecked(folder.Write("wrapped.cnv", DocumentXml(wrapped)), &doc));
    // Every SpecimenRecord holds the one Specimen below it: each of the 20 reads it.
    EXPECT_EQ(doc->GetSpecimenList().size(), 20u);
}

// A file of nothing but empty elements would need some twenty-five times its size; it is
// refused before it is parsed. Real documents of that size load (fifty megabytes above).
TEST_F(XmlHostile, CountlessEmptyElementsAreRefusedBeforeTheyFillTheMemory) {
    const int count = 5'000'000;
    std::string text = "<SpecimenRecordList>";
    text.reserve(static_cast<std::size_t>(count) * 5 + 64);
    for (int i = 0; i < count; ++i)
        text += "<a/>\n";
    text += "</SpecimenRecordList>";
    const std::string path = folder.Write("empty.cnv", text);
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    EXPECT_FALSE(doc.OnOpenDocument(path));
    ASSERT_EQ(ui.messages.size(), 1u);
    const std::string expected = "Trying to open invalid Carinova document.\n" + path +
                                 ": too many elements for its size (" +
                                 std::to_string(count + 1) + " in 24 MB would take ";
    EXPECT_EQ(ui.messages[0].text.substr(0, expected.size()), expected) << ui.messages[0].text;
}

TEST_F(XmlHostile, EntityDeclarationsAreNeitherExpandedNorFetched) {
    std::string doctype = "<!DOCTYPE SpecimenRecordList [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i < 10; ++i) {
        doctype += "<!ENTITY lol" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            doctype += "&lol" + std::to_string(i - 1) + ";";
        doctype += "\">";
    }
    doctype += "<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>";
    const std::string body = DocumentXml(Element("SpecimenRecord", SpecimenXml("&lol9;")) +
                                         Element("SpecimenRecord", SpecimenXml("&secret;")));
    const std::string text = "<?xml version=\"1.0\"?>" + doctype + body.substr(21);
    const auto start = std::chrono::steady_clock::now();
    CCarinovaDoc* doc = nullptr;
    const bool opened = OpenChecked(folder.Write("entities.cnv", text), &doc);
    EXPECT_LT(SecondsSince(start), 5.0);
    if (opened) {
        for (const auto& record : doc->GetSpecimenList()) {
            EXPECT_LT(record->GetSpecimen()->ShortPathName.size(), 20u);
            EXPECT_EQ(record->GetSpecimen()->ShortPathName.find("root:"), std::string::npos);
        }
    }
}

// Setting each flagged reference in turn would compare all members read so far again and
// again; only the last one is set, with the same result.
TEST_F(XmlHostile, ThousandsOfReferenceFlagsLoadInLinearTime) {
    const std::string lower = "-10 0 0 -5 5 -4 10 0 ";
    const std::string upper = "10 0 5 4 0 5 -10 0 ";
    const std::string record =
        Element("SpecimenRecord", SpecimenXml("m") + ApproxXml("ApproxCluster", lower, upper) +
                                      ClusterDataXml(777) + FlagXml(true));
    std::string body;
    const int count = 4000;
    for (int i = 0; i < count; ++i)
        body += record;
    const auto start = std::chrono::steady_clock::now();
    CCarinovaDoc* doc = nullptr;
    ASSERT_TRUE(OpenChecked(folder.Write("refs.cnv", DocumentXml(body)), &doc));
    EXPECT_LT(SecondsSince(start), 30.0);
    ASSERT_EQ(doc->GetClusterList().size(), static_cast<std::size_t>(count));
    EXPECT_EQ(doc->GetReferenceRecord(), doc->GetSpecimenList().back().get());
    EXPECT_EQ(doc->GetSpecimenList().front()->GetClusterData()->MeanDelta, 0.0f);
}

// Curves with too few, unequal or extreme control points compared with a reference.
TEST_F(XmlHostile, DegenerateClusterCurvesLoadWithoutHarm) {
    const std::vector<std::pair<std::string, std::string>> curves{
        {"", ""},
        {"1 2 ", "3 4 "},
        {"-1 0 1 0 ", "1 0 -1 0 "},
        {"-10 0 0 -5 5 -4 10 0 ", "10 0 5 4 0 5 -10 0 "},
        {"-1e15 0 0 -1e15 1e15 0 ", "1e15 0 0 1e15 -1e15 0 "},
        {"-10 0 -8 -2 -6 -3 -4 -4 -2 -5 0 -5 2 -5 4 -4 6 -3 8 -2 10 0 ", "10 0 -10 0 "}};
    for (std::size_t ref = 0; ref < curves.size(); ++ref) {
        std::string body;
        for (std::size_t i = 0; i < curves.size(); ++i)
            body += Element("SpecimenRecord",
                            SpecimenXml("c" + std::to_string(i), i % 2 ? "1e15 1 2 -1e15 " : "") +
                                ApproxXml("ApproxCluster", curves[i].first, curves[i].second,
                                          3 + static_cast<int>(i) * 5) +
                                FlagXml(i == ref));
        CCarinovaDoc* doc = nullptr;
        ASSERT_TRUE(OpenChecked(folder.Write("degenerate.cnv", DocumentXml(body)), &doc));
        EXPECT_EQ(doc->GetReferenceRecord(), doc->GetSpecimenList()[ref].get());
        EXPECT_EQ(doc->GetClusterList().size(), curves.size());
        // Coordinates up to the largest a document may hold compare to finite results.
        for (const CSpecimenRecord* member : doc->GetClusterList()) {
            const CClusterData& d = *member->GetClusterData();
            for (const float v : {d.MeanDelta, d.MaxDelta, d.SumDelta, d.SumDeltaQuadrat,
                                  d.MeanDeltaQuadrat, d.Areatotal, d.Areadorsal, d.Areaventral})
                EXPECT_TRUE(std::isfinite(v)) << "reference " << ref;
            for (const auto* deltas : {&d.DeltaVectorsUpper, &d.DeltaVectorsLower})
                for (const FPoint p : *deltas)
                    EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y)) << "reference " << ref;
        }
    }
}

TEST_F(XmlHostile, TextBytesArriveAsWrittenAndDeclaredEncodingsAreConverted) {
    CCarinovaDoc* raw = nullptr;
    ASSERT_TRUE(OpenChecked(
        folder.Write("raw.cnv", DocumentXml(Element("SpecimenRecord", SpecimenXml("\xff\xfe"
                                                                                  "bad")))),
        &raw));
    EXPECT_EQ(raw->GetSpecimenList()[0]->GetSpecimen()->ShortPathName, "\xff\xfe"
                                                                       "bad");
    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" +
        DocumentXml(Element("SpecimenRecord", SpecimenXml("B\xe4r"))).substr(21);
    CCarinovaDoc* converted = nullptr;
    ASSERT_TRUE(OpenChecked(folder.Write("latin1.cnv", latin1), &converted));
    EXPECT_EQ(converted->GetSpecimenList()[0]->GetSpecimen()->ShortPathName, "B\xc3\xa4r");
}

// --- text that XML 1.0 cannot hold ---------------------------------------------------------

bool XmllintAccepts(const std::string& path, std::string& output) {
    const std::string command = "xmllint --noout '" + path + "' 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return false;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    return ::pclose(pipe) == 0;
}

struct STextCase {
    std::string written;
    std::string readBack;
};

// Texts from anywhere (other programs' files, old documents, typing) are saved so that every
// XML tool reads the document: text that is not UTF-8 as Windows-1252, the characters XML 1.0
// forbids (and no character reference may stand for) left out.
TEST(XmlText, EverySavedDocumentIsWellFormedWhateverItsTexts) {
    if (std::system("xmllint --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    const std::vector<STextCase> cases = {
        {"\x01\x02ok\x1f\x7f", "ok\x7f"},
        {"Sp\xE9" "cimen M\xFC" "ller", "Sp\xC3\xA9" "cimen M\xC3\xBC" "ller"},
        {"a\xEF\xBF\xBE" "b\xEF\xBF\xBF" "c", "abc"},
        {"]]> <![CDATA[ &#1; &amp;", "]]> <![CDATA[ &#1; &amp;"},
        {std::string("nul\0inside", 10), "nulinside"},
        {everyByte, ""},
    };
    CScratchFolder folder;
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    for (const STextCase& c : cases) {
        auto specimen = std::make_unique<CSpecimen>();
        specimen->Contour = {{0, 0}, {4, 0}, {0, 4}};
        specimen->CalculateStatistics();
        for (std::string* field :
             {&specimen->PathName, &specimen->ShortPathName, &specimen->FileType,
              &specimen->SpecimenName, &specimen->ImageFile, &specimen->Comment,
              &specimen->Variables, &specimen->Identifier, &specimen->Locality,
              &specimen->Gender, &specimen->Stage})
            *field = c.written;
        doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(specimen)));
    }
    // And what a reader makes of a Windows file with control characters in its comment.
    CSpecimenFile file = ReadSpecimenText("/tmp/Probe \xDF.tps",
                                          "LM=1\r\n1 1\r\nOUTLINES=1\r\nPOINTS=3\r\n0 0\r\n4 0\r\n"
                                          "0 4\r\nCOMMENT=Klappe \x84links\x93\x07\r\n");
    ASSERT_EQ(file.specimens.size(), 1u);
    doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(file.specimens[0])));

    const std::string path = (folder.Path() / "texts.xml").string();
    ASSERT_TRUE(doc.OnSaveDocument(path));
    std::string complaint;
    EXPECT_TRUE(XmllintAccepts(path, complaint)) << complaint;

    CScriptedInteraction reopenUi;
    CCarinovaDoc reopened(reopenUi);
    ASSERT_TRUE(reopened.OnOpenDocument(path));
    const auto& records = reopened.GetSpecimenList();
    ASSERT_EQ(records.size(), cases.size() + 1);
    for (std::size_t i = 0; i + 1 < cases.size(); ++i) {
        EXPECT_EQ(records[i]->GetSpecimen()->Comment, cases[i].readBack) << i;
        EXPECT_EQ(records[i]->GetSpecimen()->ShortPathName, cases[i].readBack) << i;
    }
    const CSpecimen& windows = *records.back()->GetSpecimen();
    EXPECT_EQ(windows.Comment, "Klappe \xE2\x80\x9Elinks\xE2\x80\x9C");
    EXPECT_EQ(windows.ShortPathName, "Probe \xC3\x9F.tps");
    ASSERT_EQ(windows.Landmarks.size(), 1u);
    EXPECT_EQ(windows.Landmarks[0], FPoint(1, 1));
}

// --- saving where it cannot succeed -------------------------------------------------------

class XmlSaveFailure : public ::testing::Test {
protected:
    CScratchFolder folder;
    CScriptedInteraction ui;
    CCarinovaDoc doc{ui};

    // One message: the fixed text with the file and the system's reason; no error box first.
    void ExpectSaveFailureReported(const std::filesystem::path& target, const std::string& reason) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, "Failed to save Carinova Document.\nCould not write " +
                                           target.string() + ": " + reason);
        EXPECT_EQ(ui.messages[0].caption, "Carinova failure");
        EXPECT_EQ(ui.messages[0].icon, MsgIcon::Stop);
        EXPECT_TRUE(doc.IsModified());
    }

    std::vector<std::string> FolderEntries(const std::filesystem::path& dir) const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(XmlSaveFailure, AFolderInTheWayIsReportedAndLeftAlone) {
    ASSERT_EQ(AddSamples(doc, "valves.txt"), 2);
    const std::filesystem::path target = folder.Path() / "doc.cnv";
    std::filesystem::create_directory(target);
    std::ostringstream report;
    std::streambuf* const saved = std::clog.rdbuf(report.rdbuf());
    const bool saved_ok = doc.OnSaveDocument(target.string());
    std::clog.rdbuf(saved);
    EXPECT_FALSE(saved_ok);
    ExpectSaveFailureReported(target, "Is a directory");
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"doc.cnv"});
    // The diagnostic output still has the report.
    const std::string text = report.str();
    EXPECT_EQ(text.rfind("Error:\nCode = 80004005\nCode meaning = Unspecified error\nSource = ", 0),
              0u)
        << text;
    EXPECT_NE(text.find("\nError Description = Could not write "), std::string::npos) << text;
}

TEST_F(XmlSaveFailure, AMissingParentFolderIsReportedAndNotCreated) {
    const std::filesystem::path target = folder.Path() / "missing" / "doc.cnv";
    doc.SetModifiedFlag();
    std::ostringstream report;
    std::streambuf* const saved = std::clog.rdbuf(report.rdbuf());
    EXPECT_FALSE(doc.DoSave(target.string()));
    std::clog.rdbuf(saved);
    ExpectSaveFailureReported(target, "No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "missing"));
    EXPECT_EQ(doc.GetPathName(), "");
}

TEST_F(XmlSaveFailure, ASuccessfulSaveReplacesTheFileAndLeavesNothingElse) {
    const std::string target = (folder.Path() / "doc.cnv").string();
    folder.Write("doc.cnv", "previous contents");
    ASSERT_EQ(AddSamples(doc, "valves.txt"), 2);
    ASSERT_TRUE(doc.OnSaveDocument(target));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(CScratchFolder::ReadBytes(target).rfind("<?xml", 0), 0u);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"doc.cnv"});
}

// --- the user's number format does not reach the file --------------------------------------

class NumericLocale {
public:
    explicit NumericLocale(const std::filesystem::path& scratch) {
        saved_ = std::setlocale(LC_ALL, nullptr);
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8"})
            if (std::setlocale(LC_ALL, name))
                return;
        // Build the locale into the scratch folder when the system has none installed.
        const std::string dir = (scratch / "locales").string();
        const std::string command =
            "localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
        if (std::system(("mkdir -p " + dir).c_str()) == 0 && std::system(command.c_str()) == 0) {
            setenv("LOCPATH", dir.c_str(), 1);
            std::setlocale(LC_ALL, "de_DE.UTF-8");
        }
    }
    ~NumericLocale() {
        std::setlocale(LC_ALL, saved_.c_str());
        unsetenv("LOCPATH");
    }
    bool Active() const { return std::string(std::localeconv()->decimal_point) == ","; }

private:
    std::string saved_;
};

TEST(XmlLocale, FilesAreTheSameUnderACommaDecimalLocale) {
    CScratchFolder folder;
    CScriptedInteraction ui;
    CCarinovaDoc doc(ui);
    BuildSampleDocument(doc, true);
    const std::string inC = (folder.Path() / "c.cnv").string();
    ASSERT_TRUE(doc.OnSaveDocument(inC));
    NumericLocale german(folder.Path());
    if (!german.Active())
        GTEST_SKIP() << "no locale with a decimal comma";
    const std::string inGerman = (folder.Path() / "de.cnv").string();
    ASSERT_TRUE(doc.OnSaveDocument(inGerman));
    EXPECT_EQ(CScratchFolder::ReadBytes(inC), CScratchFolder::ReadBytes(inGerman));
    CScriptedInteraction ui2;
    CCarinovaDoc reopened(ui2);
    ASSERT_TRUE(reopened.OnOpenDocument(inC));
    ExpectNear(doc.GetSpecimenList()[0]->GetSpecimen()->ScaleFactor,
               reopened.GetSpecimenList()[0]->GetSpecimen()->ScaleFactor, 6, "scale");
    EXPECT_EQ(reopened.GetClusterParameter().ErrorVectorsScale, 2.5f);
}

} // namespace
