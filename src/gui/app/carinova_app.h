#pragma once

#include "app/splash_window.h"

#include <QPointer>
#include <QSettings>
#include <QString>
#include <QStringList>

#include <memory>

class CCarinovaDoc;
class CHelpBrowser;
class CImageTraceSource;
class CMainFrame;
class CQtUserInteraction;

// The application: start-up (splash, settings, document, main window, the document named on
// the command line, the help file) and everything that lives as long as the program.
class CCarinovaApp {
public:
    // Settings under the key the recent-file list has always used; tests pass their own.
    explicit CCarinovaApp(std::unique_ptr<QSettings> settings = nullptr);
    ~CCarinovaApp();
    CCarinovaApp(const CCarinovaApp&) = delete;
    CCarinovaApp& operator=(const CCarinovaApp&) = delete;

    // Arguments without the program name. False when the application should end at once.
    bool InitInstance(const QStringList& arguments, const QString& applicationDir);

    CMainFrame* GetMainFrame() const { return frame_.get(); }
    CCarinovaDoc& GetDocument() const { return *doc_; }
    CHelpBrowser* GetHelpBrowser() const { return help_.get(); }
    CSplashWnd* GetSplash() const { return splash_; }

private:
    void ShowSplash();
    bool ShowHelp(const std::string& topic);
    void ResolveHelpFile(const QString& applicationDir);

    std::unique_ptr<QSettings> settings_;
    std::unique_ptr<CQtUserInteraction> ui_;
    std::unique_ptr<CImageTraceSource> imageSource_;
    std::unique_ptr<CCarinovaDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<CHelpBrowser> help_;
    QPointer<CSplashWnd> splash_;
};
