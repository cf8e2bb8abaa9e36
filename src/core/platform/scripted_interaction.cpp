#include "platform/scripted_interaction.h"

#include <algorithm>

class CScriptedReadingProgress : public CReadingProgress {
public:
    explicit CScriptedReadingProgress(CScriptedInteraction& owner) : owner_(owner) {}
    void SetRange(int, int) override {}
    void SetPos(int pos) override { owner_.progressPositions.push_back(pos); }
    void SetText(const std::string& text) override { owner_.progressTexts.push_back(text); }
    bool CheckCancel() override {
        const int n = ++owner_.checks_;
        const auto& at = owner_.cancelAtCheck;
        return std::find(at.begin(), at.end(), n) != at.end();
    }

private:
    CScriptedInteraction& owner_;
};

MsgAnswer CScriptedInteraction::MessageBox(const std::string& text, const std::string& caption,
                                           MsgButtons buttons, MsgIcon icon) {
    messages.push_back({text, caption, buttons, icon, {}});
    if (buttons == MsgButtons::OK)
        return MsgAnswer::OK;
    if (answers.empty())
        throw UnexpectedDialog("unscripted question: " + text);
    const MsgAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

void CScriptedInteraction::MessageWithDetails(const std::string& text, const std::string& details,
                                              MsgIcon icon) {
    messages.push_back({text, "Carinova", MsgButtons::OK, icon, details});
}

CFileDialogResult CScriptedInteraction::FileDialog(const CFileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileDialogResults.empty())
        throw UnexpectedDialog("unscripted file dialog: " + request.title);
    CFileDialogResult result = fileDialogResults.front();
    fileDialogResults.pop_front();
    return result;
}

bool CScriptedInteraction::DoModal(CModalSheet& sheet) {
    sheetCaptions.push_back(sheet.caption);
    if (sheetEditors.empty())
        throw UnexpectedDialog("unscripted sheet: " + sheet.caption);
    auto editor = std::move(sheetEditors.front());
    sheetEditors.pop_front();
    return editor(sheet);
}

std::unique_ptr<CReadingProgress> CScriptedInteraction::CreateReadingProgress() {
    return std::make_unique<CScriptedReadingProgress>(*this);
}

void CScriptedInteraction::BeginWaitCursor() {
    ++waitCursorDepth;
    ++waitCursorShown;
}

bool CScriptedInteraction::ShowHelp(const std::string& topic) {
    helpTopics.push_back(topic);
    return helpAvailable;
}

std::vector<std::string> CScriptedInteraction::MessageTexts() const {
    std::vector<std::string> texts;
    for (const Message& m : messages)
        texts.push_back(m.text);
    return texts;
}
