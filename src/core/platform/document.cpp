#include "platform/document.h"

#include <algorithm>

void CDocument::SetPathName(const std::string& path) {
    pathName_ = path;
    const std::size_t slash = path.find_last_of("/\\");
    title_ = slash == std::string::npos ? path : path.substr(slash + 1);
}

void CDocument::AddView(CView* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end())
        views_.push_back(view);
}

void CDocument::RemoveView(CView* view) {
    std::erase(views_, view);
}

void CDocument::UpdateAllViews(CView* sender, int hint, CObject* object) {
    // A copy: a view may detach itself (or another) while it is told.
    const std::vector<CView*> views = views_;
    for (CView* view : views)
        if (view != sender && std::find(views_.begin(), views_.end(), view) != views_.end())
            view->OnUpdate(sender, hint, object);
}
