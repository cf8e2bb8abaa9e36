#pragma once

#include <string>

class CCarinovaDoc;

// The namespace of the document file's root element.
inline constexpr const char* kDocumentNamespace = "http://www.carinova.org/carinova/";

// Builds the document's tree (records, then the cluster parameters with the mean record) and
// saves it as UTF-8 to `path`. The file is written beside the target under a temporary name
// and renamed over it only when complete, so a failed save leaves the previous file as it
// was. Returns 1 on success, 0 after a failure: a file that cannot be written leaves its reason
// (naming the file and the system's reason) in `failure` for the caller's message; any other
// error (memory running out while the tree is built) is reported here and leaves it empty.
int WriteDocumentFile(const CCarinovaDoc& document, const std::string& path, std::string& failure);
