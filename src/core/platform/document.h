#pragma once

#include "platform/object.h"

#include <string>
#include <vector>

class CDocument;

// A view is told of every change of its document by a hint number and the object concerned.
class CView {
public:
    virtual ~CView() = default;
    virtual void OnUpdate(CView* sender, int hint, CObject* object) = 0;
};

// Title, path, modified flag and the views attached to a document. The document is the one
// notifier: every change goes through an operation that tells all views.
class CDocument {
public:
    virtual ~CDocument() = default;

    const std::string& GetTitle() const { return title_; }
    void SetTitle(std::string title) { title_ = std::move(title); }
    const std::string& GetPathName() const { return pathName_; }
    // Sets the path and, from its file name, the title.
    void SetPathName(const std::string& path);

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) { modified_ = modified; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return views_; }

    // Sends the hint to every attached view except the sender.
    void UpdateAllViews(CView* sender, int hint = 0, CObject* object = nullptr);

private:
    std::string title_ = "Untitled";
    std::string pathName_;
    bool modified_ = false;
    std::vector<CView*> views_;
};
