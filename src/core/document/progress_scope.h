#pragma once

#include "platform/user_interaction.h"

// The main window's progress bar for the length of a scope: begun only for a non-zero count,
// and ended on every way out, an exception included.
class CProgressScope {
public:
    CProgressScope(CUserInteraction& ui, int count) : ui_(ui), active_(count > 0) {
        if (active_)
            ui_.BeginProgress(count);
    }
    ~CProgressScope() {
        if (active_)
            ui_.EndProgress();
    }
    CProgressScope(const CProgressScope&) = delete;
    CProgressScope& operator=(const CProgressScope&) = delete;

    void Step() {
        if (active_)
            ui_.StepProgress();
    }

private:
    CUserInteraction& ui_;
    bool active_;
};
