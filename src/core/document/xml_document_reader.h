#pragma once

#include <string>

class CCarinovaDoc;
class CUserInteraction;

// Whether document files can be parsed at all.
bool IsXmlParserAvailable();

// Loads the file: 1 when it parses and holds exactly one SpecimenRecordList element (found
// anywhere in the tree); `version` receives that element's Version attribute as an integer
// (0 when absent). A file that does not parse, that is larger than any document could be or
// whose elements nest deeper than a document's do returns 0 without a message.
int ValidateDocumentFile(const std::string& path, int& version, CUserInteraction& ui);

// Loads the file again and builds the document's records, cluster, cluster parameters and
// mean record from it, with the hints of the operations that build them. Returns 1 unless the
// file cannot be parsed ("Failed to parse Carinova document") or an error was reported.
int ReadDocumentFile(CCarinovaDoc& document, const std::string& path);
