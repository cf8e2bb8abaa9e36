#pragma once

// The progress bar of the main window's status bar, as long work drives it.
class CProgressIndicator {
public:
    virtual ~CProgressIndicator() = default;
    virtual void BeginProgress(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void EndProgress() = 0;
};
