// The File menu's work on the document: new, open, save, the recent files, and leaving.
#include "app/main_frame.h"

#include "app/about_dialog.h"
#include "app/app_version.h"
#include "app/document_loader.h"
#include "app/guarded_call.h"
#include "document/carinova_doc.h"
#include "document/command_ids.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QSettings>

namespace {
// Documents carry no file type of their own, so the dialogs offer every file.
constexpr const char* kAllFilesFilter = "All Files (*.*)|*.*||";

// A document is XML; no outline format starts with "<". Byte-order mark and blanks are skipped.
bool IsDocumentFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray head = file.read(256);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    return head.trimmed().startsWith('<');
}
} // namespace

// A modified document is saved, kept unsaved or the operation given up, as the user says.
bool CMainFrame::SaveModified() {
    if (!doc_.IsModified())
        return true;
    const std::string name = doc_.GetTitle().empty() ? "Untitled" : doc_.GetTitle();
    switch (
        ui_.Message("Save changes to " + name + "?", MsgButtons::YesNoCancel, MsgIcon::Question)) {
    case MsgAnswer::Yes:
        return DoSave(false);
    case MsgAnswer::No:
        return true;
    default:
        return false;
    }
}

bool CMainFrame::NewDocument() {
    if (!SaveModified())
        return false;
    // The former contents leave in one step, however many records they hold.
    const bool done = RunGuarded(ui_, [&] {
        CCarinovaDoc empty(ui_);
        doc_.ExchangeContents(empty);
        doc_.OnNewDocument();
    });
    UpdateFrameTitle();
    return done;
}

void CMainFrame::OnFileOpen() {
    CFileDialogRequest request;
    request.open = true;
    request.title = "Open";
    request.filter = kAllFilesFilter;
    request.pathMustExist = true;
    request.fileMustExist = true;
    const CFileDialogResult result = ui_.FileDialog(request);
    if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
        return;
    OpenDocumentFile(QString::fromStdString(result.paths.front()));
}

bool CMainFrame::OpenDocumentFile(const QString& path) {
    if (!SaveModified())
        return false;
    return LoadDocument(path);
}

// The file is read into a fresh document, which takes the open one's place only when it was
// read in full; a broken file costs nothing but the message about it. User input waits while
// the file is read, and the window cannot be closed then.
bool CMainFrame::LoadDocument(const QString& path) {
    if (loading_)
        return false;
    loading_ = true;
    bool opened = false;
    RunGuarded(ui_, [&] {
        CDocumentLoader loader(ui_, this);
        std::unique_ptr<CCarinovaDoc> loaded = loader.Load(path.toStdString());
        if (!loaded)
            return;
        doc_.ExchangeContents(*loaded);
        opened = true;
    });
    loading_ = false;
    if (opened) {
        doc_.SetPathName(path.toStdString());
        doc_.SetModifiedFlag(false);
        AddToRecentFiles(path);
    }
    UpdateFrameTitle();
    return opened;
}

// Without a path, or for "Save as", the user names the file first.
bool CMainFrame::DoSave(bool askForName) {
    QString path = QString::fromStdString(doc_.GetPathName());
    if (askForName || path.isEmpty()) {
        CFileDialogRequest request;
        request.open = false;
        request.title = "Save As";
        request.filter = kAllFilesFilter;
        request.fileName = path.isEmpty() ? doc_.GetTitle() : path.toStdString();
        request.overwritePrompt = true;
        request.pathMustExist = true;
        const CFileDialogResult result = ui_.FileDialog(request);
        if (result.outcome != CFileDialogResult::Accepted || result.paths.empty())
            return false;
        path = QString::fromStdString(result.paths.front());
    }
    return SaveDocument(path);
}

bool CMainFrame::SaveDocument(const QString& path) {
    bool saved = false;
    RunGuarded(ui_, [&] { saved = doc_.OnSaveDocument(path.toStdString()); });
    if (saved) {
        doc_.SetPathName(path.toStdString());
        doc_.SetModifiedFlag(false);
        AddToRecentFiles(path);
    }
    UpdateFrameTitle();
    return saved;
}

// An entry that can no longer be opened leaves the list; a cancelled question keeps it.
void CMainFrame::OnRecentFile(int index) {
    const QString path = recentFiles_.GetFile(index);
    if (path.isEmpty() || !SaveModified())
        return;
    if (!LoadDocument(path)) {
        recentFiles_.Remove(recentFiles_.GetFiles().indexOf(path));
        recentFiles_.WriteList(settings_);
        RebuildRecentFileMenu();
    }
}

void CMainFrame::AddToRecentFiles(const QString& path) {
    recentFiles_.Add(QFileInfo(path).absoluteFilePath());
    recentFiles_.WriteList(settings_);
    RebuildRecentFileMenu();
}

void CMainFrame::OnFilePrintSetup() {
    QPageSetupDialog dialog(&GetPrinter(), this);
    dialog.exec();
}

void CMainFrame::OnAppAbout() {
    CAboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (loading_ || !SaveModified()) {
        event->ignore();
        return;
    }
    recentFiles_.WriteList(settings_);
    SaveWindowSettings();
    updateTimer_.stop();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    event->acceptProposedAction();
    OpenDroppedFiles(paths);
}

// One document at a time: the first dropped one is opened; outline files dropped with it go
// into it afterwards. A refused question to save keeps the old document and drops nothing.
void CMainFrame::OpenDroppedFiles(const QStringList& paths) {
    std::vector<std::string> outlines;
    QString document;
    for (const QString& path : paths) {
        if (!IsDocumentFile(path))
            outlines.push_back(path.toStdString());
        else if (document.isEmpty())
            document = path;
    }
    if (!document.isEmpty() && !OpenDocumentFile(document))
        return;
    if (!outlines.empty())
        RunGuarded(ui_, [&] { doc_.InsertSpecimensFromFiles(outlines); });
    UpdateFrameTitle();
}
