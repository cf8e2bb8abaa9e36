#pragma once

#include "platform/user_interaction.h"

#include <deque>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A user who answers from a script, for tests and batch runs. Every message, dialog and
// progress call is recorded. Questions (anything but a plain OK box) take the next queued
// answer; an unexpected question throws, so a test notices a dialog it did not plan for.
class CScriptedInteraction : public CUserInteraction {
public:
    struct Message {
        std::string text;
        std::string caption;
        MsgButtons buttons;
        MsgIcon icon;
        std::string details;
    };

    class UnexpectedDialog : public std::logic_error {
    public:
        using std::logic_error::logic_error;
    };

    // The script.
    std::deque<MsgAnswer> answers;
    std::deque<CFileDialogResult> fileDialogResults;
    // Each entry edits the sheet and returns whether it is closed with OK.
    std::deque<std::function<bool(CModalSheet&)>> sheetEditors;
    // Cancel is reported by the reading progress at these CheckCancel calls (1-based).
    std::vector<int> cancelAtCheck;
    bool helpAvailable = true;

    // The record.
    std::vector<Message> messages;
    std::vector<CFileDialogRequest> fileDialogs;
    std::vector<std::string> sheetCaptions;
    std::vector<std::string> progressTexts;
    std::vector<int> progressPositions;
    std::vector<std::string> helpTopics;
    int progressSteps = 0;
    int progressBegun = 0;
    int progressEnded = 0;
    int waitCursorDepth = 0;
    int waitCursorShown = 0;

    MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void MessageWithDetails(const std::string& text, const std::string& details,
                            MsgIcon icon) override;
    CFileDialogResult FileDialog(const CFileDialogRequest& request) override;
    bool DoModal(CModalSheet& sheet) override;
    std::unique_ptr<CReadingProgress> CreateReadingProgress() override;
    void BeginProgress(int) override { ++progressBegun; }
    void StepProgress() override { ++progressSteps; }
    void EndProgress() override { ++progressEnded; }
    void BeginWaitCursor() override;
    void EndWaitCursor() override { --waitCursorDepth; }
    bool ShowHelp(const std::string& topic) override;

    // Texts of all messages shown so far, in order.
    std::vector<std::string> MessageTexts() const;

private:
    int checks_ = 0;
    friend class CScriptedReadingProgress;
};
