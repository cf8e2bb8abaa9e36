#pragma once

#include "app/command_state.h"
#include "app/recent_file_list.h"
#include "progress_indicator.h"

#include <QMainWindow>
#include <QTimer>

#include <map>
#include <memory>

class CCarinovaDoc;
class CCarinovaView;
class CLockKeyIndicators;
class CUserInteraction;
class QAction;
class QLabel;
class QMenu;
class QPrinter;
class QProgressBar;
class QSettings;
class QToolBar;

// The main window: menus, tool bar, status bar with message, progress and coordinates panes,
// and the main view. Commands go to the main view's route first (right-hand view, tree,
// document) and then to the frame's own handlers (files, bars, About).
class CMainFrame : public QMainWindow, public CProgressIndicator {
    Q_OBJECT

public:
    CMainFrame(CCarinovaDoc& doc, CUserInteraction& ui, QSettings& settings,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    CCarinovaView* GetMainView() const { return view_; }
    CCarinovaDoc& GetDocument() const { return doc_; }
    QAction* GetAction(int id) const;
    QMenu* GetMenu(const QString& title) const;
    QToolBar* GetToolBar() const { return toolBar_; }
    QPrinter& GetPrinter();

    // The progress bar in the status bar's second pane, for long operations.
    void BeginProgress(int count) override;
    void StepProgress() override;
    void EndProgress() override;
    void BeginBusyProgress() override;
    void SetProgressSteps(int steps) override;
    QProgressBar* GetProgressBar() const { return progress_; }

    QString MessageText() const;
    QString CoordinatesText() const;
    void SetCoordinatesText(const QString& text);

    // Runs a command along the route; false when no one handles it.
    bool OnCommand(int id);
    CCommandState UpdateCommand(int id) const;
    // Brings every menu item and tool-bar button up to date.
    void UpdateCommandUI();

    // Document handling of the File menu. Each returns false when the user cancelled or the
    // operation failed; the open document is then kept.
    bool SaveModified();
    bool NewDocument();
    bool OpenDocumentFile(const QString& path);
    bool SaveDocument(const QString& path);
    bool DoSave(bool askForName);
    // Opens without asking to save first, reading on another thread while the window shows
    // the progress; a failed open leaves the document exactly as it was.
    bool LoadDocument(const QString& path);
    bool IsLoading() const { return loading_; }
    void UpdateFrameTitle();
    const CRecentFileList& GetRecentFiles() const { return recentFiles_; }

    // Files dropped on the window: a document opens (after the question to save), outline
    // files are inserted as Specimen > Insert would insert them.
    void OpenDroppedFiles(const QStringList& paths);
    // At start without a document on the command line: opens the last document when the user
    // asked for that (View > Reopen Last Document at Start). False when nothing was opened.
    bool ReopenLastDocument();
    bool ReopensLastDocument() const;
    void SetReopensLastDocument(bool on);
    // Size, position, bars, the tree's width and the last cluster view, kept for the next start.
    void SaveWindowSettings();
    void RestoreWindowSettings();
    CLockKeyIndicators* GetLockKeyIndicators() const { return lockKeys_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    QAction* AddAction(QMenu* menu, int id);
    QMenu* AddSubMenu(QMenu* menu, const QString& title, std::initializer_list<int> ids);
    void UpdateMenu(QMenu* menu);
    void RebuildRecentFileMenu();

    bool OnFrameCommand(int id);
    bool OnFrameUpdate(int id, CCommandState& state) const;
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnRecentFile(int index);
    void OnAppAbout();
    void OnClusterSelect();
    void AddToRecentFiles(const QString& path);

    CCarinovaDoc& doc_;
    CUserInteraction& ui_;
    QSettings& settings_;
    CCarinovaView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    QWidget* progressPane_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* coordinatesPane_ = nullptr;
    CLockKeyIndicators* lockKeys_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QAction* placeholderAction_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> recentActions_;
    std::vector<QMenu*> menus_;
    CRecentFileList recentFiles_;
    std::unique_ptr<QPrinter> printer_;
    QTimer updateTimer_;
    bool loading_ = false;
};
