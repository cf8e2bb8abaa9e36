#pragma once

#include "platform/user_interaction.h"

#include <functional>

class CProgressIndicator;
class QFileDialog;
class QWidget;

// The user interaction of the desktop application: Qt message boxes and file dialogs, the
// property sheets and dialogs, the reading progress window, the wait cursor. The status-bar
// progress and the help go to what the main window sets; without them they do nothing.
class CQtUserInteraction : public CUserInteraction {
public:
    explicit CQtUserInteraction(QWidget* parent = nullptr) : parent_(parent) {}

    void SetParentWidget(QWidget* parent) { parent_ = parent; }
    void SetProgressIndicator(CProgressIndicator* progress) { progress_ = progress; }
    // Shows a topic ("" for the start page); false when the help cannot be shown.
    void SetHelpHandler(std::function<bool(const std::string&)> handler) {
        help_ = std::move(handler);
    }

    MsgAnswer MessageBox(const std::string& text, const std::string& caption, MsgButtons buttons,
                         MsgIcon icon) override;
    void MessageWithDetails(const std::string& text, const std::string& details,
                            MsgIcon icon) override;
    CFileDialogResult FileDialog(const CFileDialogRequest& request) override;
    bool DoModal(CModalSheet& sheet) override;
    std::unique_ptr<CReadingProgress> CreateReadingProgress() override;
    void BeginProgress(int maximum) override;
    void StepProgress() override;
    void EndProgress() override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    bool ShowHelp(const std::string& topic) override;

    // Sets up a file dialog as the request asks; FileDialog then runs it.
    static void ConfigureFileDialog(QFileDialog& dialog, const CFileDialogRequest& request);

private:
    QWidget* parent_;
    CProgressIndicator* progress_ = nullptr;
    std::function<bool(const std::string&)> help_;
    int waitCursorDepth_ = 0;
};
