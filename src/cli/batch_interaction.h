#pragma once

#include "model/approx_fit.h"
#include "platform/user_interaction.h"

#include <iosfwd>

// The user of a batch run: messages go to the error stream, questions are answered Yes (so a
// specimen is brought into normal position and an old approximation replaced), property
// sheets take the run's settings, and no file dialog is ever shown.
class CBatchInteraction : public CUserInteraction {
public:
    CBatchInteraction(std::ostream& err, const CApproxFitSettings& approx)
        : err_(err), approx_(approx) {}

    MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    CFileDialogResult FileDialog(const CFileDialogRequest& request) override;
    bool DoModal(CModalSheet& sheet) override;
    std::unique_ptr<CReadingProgress> CreateReadingProgress() override;
    void BeginProgress(int) override {}
    void StepProgress() override {}
    void EndProgress() override {}
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    bool ShowHelp(const std::string&) override { return false; }

    int MessageCount() const { return messages_; }

private:
    std::ostream& err_;
    CApproxFitSettings approx_;
    int messages_ = 0;
};
