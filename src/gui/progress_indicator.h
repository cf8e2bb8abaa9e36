#pragma once

// The progress bar of the main window's status bar, as long work drives it.
class CProgressIndicator {
public:
    virtual ~CProgressIndicator() = default;
    virtual void BeginProgress(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void EndProgress() = 0;
    // The bar moves without a count while the length of the work is not known yet.
    virtual void BeginBusyProgress() = 0;
    // Puts the bar after `steps` steps at once, as that many StepProgress calls would.
    virtual void SetProgressSteps(int steps) = 0;
};
