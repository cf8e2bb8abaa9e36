#pragma once

#include <memory>
#include <string>

class CCarinovaDoc;
class CProgressIndicator;
class CUserInteraction;

// Reads a document file into a fresh document on a thread of its own, so the window goes on
// painting and the status bar shows how far the reading is; user input waits until it is
// done. What the reading has to tell the user is told afterwards, on this thread, in order.
// The open document is not touched: the caller exchanges contents only after a success.
class CDocumentLoader {
public:
    CDocumentLoader(CUserInteraction& ui, CProgressIndicator* progress);
    ~CDocumentLoader();
    CDocumentLoader(const CDocumentLoader&) = delete;
    CDocumentLoader& operator=(const CDocumentLoader&) = delete;

    // The document read from the file, or null when reading failed (the user was told why).
    // The document must not outlive the loader.
    std::unique_ptr<CCarinovaDoc> Load(const std::string& path);

private:
    class CDeferredInteraction;

    CUserInteraction& ui_;
    CProgressIndicator* progress_;
    std::unique_ptr<CDeferredInteraction> deferred_;
};
