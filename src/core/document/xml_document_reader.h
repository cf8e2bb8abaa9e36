#pragma once

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

private:
    std::unique_ptr<pugi::xml_document> tree_;
    std::unique_ptr<CDocumentOutline> outline_;
    bool loaded_ = false;
};

// Loads the file into `parsed`: 1 when it parses and holds exactly one SpecimenRecordList
// element (found anywhere in the tree); `version` receives that element's Version attribute as
// an integer (0 when absent). A file that does not parse, that is larger than any document
// could be or whose elements nest deeper than a document's do returns 0 without a message.
int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui,
                         CParsedDocumentFile& parsed);

// Builds the document's records, cluster, cluster parameters and mean record from the tree a
// successful validation left in `parsed`, with the hints of the operations that build them,
// and releases the tree. Returns 1 unless there is no parsed tree ("Failed to parse Carinova
// document") or an error was reported.
int ReadDocumentFile(CCarinovaDoc& document, CParsedDocumentFile& parsed);
