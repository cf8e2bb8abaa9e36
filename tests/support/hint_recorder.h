#pragma once

#include "platform/document.h"

#include <utility>
#include <vector>

// A view that remembers every hint it is sent, with its object.
class CHintRecorder : public CView {
public:
    explicit CHintRecorder(CDocument& doc) : doc_(doc) { doc_.AddView(this); }
    ~CHintRecorder() override { doc_.RemoveView(this); }

    void OnUpdate(CView*, int hint, CObject* object) override {
        received.emplace_back(hint, object);
    }

    std::vector<int> Hints() const {
        std::vector<int> hints;
        for (const auto& h : received)
            hints.push_back(h.first);
        return hints;
    }
    void Clear() { received.clear(); }

    std::vector<std::pair<int, CObject*>> received;

private:
    CDocument& doc_;
};
