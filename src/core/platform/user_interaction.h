#pragma once

#include <memory>
#include <string>
#include <vector>

// Everything the core asks of the person at the screen goes through this interface: the GUI
// answers with real dialogs, tests with a script. Texts and captions are those the user sees.

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Stop, Question };
enum class MsgAnswer { OK, Cancel, Yes, No };

// A modal property sheet or dialog: plain values, filled by the caller before it is shown
// and read back only after an OK. Concrete sheets live with their callers.
class CModalSheet {
public:
    virtual ~CModalSheet() = default;
    std::string caption;
};

struct CFileDialogRequest {
    bool open = true;
    std::string title;      // empty: the platform's default title
    std::string filter;     // "Text|*.txt|All Files (*.*)|*.*||"
    std::string defaultExt; // without the dot; empty: none
    std::string fileName;   // initial name
    std::string initialDir;
    bool multiSelect = false;
    bool overwritePrompt = false;
    bool pathMustExist = false;
    bool fileMustExist = false;
};

struct CFileDialogResult {
    enum Outcome { Accepted, Cancelled, Failed };
    Outcome outcome = Cancelled;
    std::vector<std::string> paths;
    int filterIndex = 0; // the filter chosen last, counted from 0
};

// The modeless progress dialog of the specimen reading, with its cancel button.
class CReadingProgress {
public:
    virtual ~CReadingProgress() = default;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetPos(int pos) = 0;
    virtual void SetText(const std::string& text) = 0;
    // Lets pending events run, then reports whether cancel was pressed.
    virtual bool CheckCancel() = 0;
};

// Progress that nobody sees and nobody cancels: reading on a thread of its own or in a batch.
class CSilentReadingProgress : public CReadingProgress {
public:
    void SetRange(int, int) override {}
    void SetPos(int) override {}
    void SetText(const std::string&) override {}
    bool CheckCancel() override { return false; }
};

class CUserInteraction {
public:
    virtual ~CUserInteraction() = default;

    virtual MsgAnswer MessageBox(const std::string& text, const std::string& caption,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // The application's own message box: its caption is the application name.
    MsgAnswer Message(const std::string& text, MsgButtons buttons = MsgButtons::OK,
                      MsgIcon icon = MsgIcon::None) {
        return MessageBox(text, "Carinova", buttons, icon);
    }

    // A message whose details the user can open on request (the report of an Insert). The
    // plain form shows the details below the text.
    virtual void MessageWithDetails(const std::string& text, const std::string& details,
                                    MsgIcon icon) {
        MessageBox(details.empty() ? text : text + "\n\n" + details, "Carinova", MsgButtons::OK,
                   icon);
    }

    virtual CFileDialogResult FileDialog(const CFileDialogRequest& request) = 0;
    // True when the sheet was closed with OK.
    virtual bool DoModal(CModalSheet& sheet) = 0;

    virtual std::unique_ptr<CReadingProgress> CreateReadingProgress() = 0;

    // The progress bar of the main window's status bar.
    virtual void BeginProgress(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void EndProgress() = 0;

    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // Opens the help at a topic ("" for the start page); false when help cannot be shown.
    virtual bool ShowHelp(const std::string& topic) = 0;
};

// Shows the wait cursor for the lifetime of the object.
class CWaitCursor {
public:
    explicit CWaitCursor(CUserInteraction& ui) : ui_(ui) { ui_.BeginWaitCursor(); }
    ~CWaitCursor() { ui_.EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CUserInteraction& ui_;
};
