#pragma once

#include <cstddef>
#include <memory>
#include <string>

class CCarinovaDoc;
class CUserInteraction;
namespace pugi {
class xml_document;
}

// Whether document files can be parsed at all.
bool IsXmlParserAvailable();

// Where the reading starts in a parsed tree, found by the validation's walk over it.
struct CDocumentOutline;

// A document file's parsed tree, kept from its validation for its reading so that opening a
// document parses and walks the file once.
class CParsedDocumentFile {
public:
    CParsedDocumentFile();
    ~CParsedDocumentFile();
    CParsedDocumentFile(const CParsedDocumentFile&) = delete;
    CParsedDocumentFile& operator=(const CParsedDocumentFile&) = delete;

    pugi::xml_document& Tree() { return *tree_; }
    CDocumentOutline& Outline() { return *outline_; }
    bool IsLoaded() const { return loaded_; }
    void SetLoaded(bool loaded) { loaded_ = loaded; }

    void SetPath(std::string path) { path_ = std::move(path); }
    // Whether offsets in the parsed text are offsets in the file (not so for converted text).
    void SetOffsetsInFile(bool inFile) { offsetsInFile_ = inFile; }
    // The file's path, with the line that holds `offset` of the parsed text where it is known.
    std::string Where(std::ptrdiff_t offset) const;

    // Why the validation or the reading failed, naming the file: empty when the reason is not
    // the file's (an error already reported). Fail keeps it and returns false.
    const std::string& Problem() const { return problem_; }
    bool Fail(std::string problem);

private:
    std::unique_ptr<pugi::xml_document> tree_;
    std::unique_ptr<CDocumentOutline> outline_;
    bool loaded_ = false;
    std::string path_;
    bool offsetsInFile_ = false;
    std::string problem_;
};

// Loads the file into `parsed`: 1 when it parses and holds exactly one SpecimenRecordList
// element (found anywhere in the tree); `version` receives that element's Version attribute as
// an integer (0 when absent). A file that cannot be read, does not parse, is larger than any
// document could be, holds more elements than its size allows or whose elements nest deeper
// than a document's do returns 0 without a message, with the reason in `parsed.Problem()`.
int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui,
                         CParsedDocumentFile& parsed);

// Builds the document's records, cluster, cluster parameters and mean record from the tree a
// successful validation left in `parsed`, with the hints of the operations that build them,
// and releases the tree. Returns 1 unless there is no parsed tree ("Failed to parse Carinova
// document"), an error was reported, or a value is damaged (a number that is not finite, a
// coordinate beyond any outline, a count outside the dialogs' range): then nothing is read
// into the document and `parsed.Problem()` names the element and its line.
int ReadDocumentFile(CCarinovaDoc& document, CParsedDocumentFile& parsed);
