#include "app/carinova_app.h"

#include "app/app_version.h"
#include "app/carinova_view.h"
#include "app/command_line_info.h"
#include "app/gui_resources.h"
#include "app/help_browser.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "app/splash_window.h"
#include "image_trace_source.h"
#include "document/carinova_doc.h"
#include "qt_user_interaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

CCarinovaApp::CCarinovaApp(std::unique_ptr<QSettings> settings) : settings_(std::move(settings)) {
    InitGuiResources();
    if (!settings_)
        settings_ = std::make_unique<QSettings>(
            QStringLiteral("Local AppWizard-Generated Applications"), CAppVersion::AppTitle());
}

// The main window goes before the document it shows, the document before the interaction it
// talks through.
CCarinovaApp::~CCarinovaApp() {
    help_.reset();
    frame_.reset();
    doc_.reset();
}

bool CCarinovaApp::InitInstance(const QStringList& arguments, const QString& applicationDir) {
    const CCommandLineInfo commandLine = CCommandLineInfo::Parse(arguments);
    if (!commandLine.NoLogo())
        ShowSplash();

    ui_ = std::make_unique<CQtUserInteraction>();
    doc_ = std::make_unique<CCarinovaDoc>(*ui_);
    frame_ = std::make_unique<CMainFrame>(*doc_, *ui_, *settings_);
    ui_->SetParentWidget(frame_.get());
    imageSource_ = std::make_unique<CImageTraceSource>(frame_.get());
    doc_->SetImageSource(imageSource_.get());
    ui_->SetProgressIndicator(frame_.get());
    ui_->SetHelpHandler([this](const std::string& topic) { return ShowHelp(topic); });
    RegisterRightPaneViews(*frame_->GetMainView());

    doc_->OnNewDocument();
    frame_->UpdateFrameTitle();
    frame_->show();
    if (splash_)
        splash_->SetMainWindow(frame_.get());
    // A document that cannot be opened is reported by the document; the program goes on with
    // the empty one rather than end. Without one on the command line the last document opens
    // only when the user asked for that.
    if (!commandLine.fileName.isEmpty())
        frame_->LoadDocument(QDir(QDir::currentPath()).absoluteFilePath(commandLine.fileName));
    else
        frame_->ReopenLastDocument();
    ResolveHelpFile(applicationDir);
    return true;
}

void CCarinovaApp::ShowSplash() {
    splash_ = new CSplashWnd(QStringLiteral(":/images/splash.svg"));
    if (!splash_->IsImageLoaded()) {
        delete splash_;
        return;
    }
    splash_->ShowCentered();
    QCoreApplication::processEvents();
}

bool CCarinovaApp::ShowHelp(const std::string& topic) {
    if (!help_)
        help_ = std::make_unique<CHelpBrowser>(frame_.get());
    return help_->ShowTopic(topic);
}

// Without the help pages the program still runs; the help command then reports the path it
// looked for each time.
void CCarinovaApp::ResolveHelpFile(const QString& applicationDir) {
    std::string path = FindHelpFile(applicationDir);
    if (path.empty()) {
        path = QDir::cleanPath(QDir(applicationDir).filePath(QStringLiteral("help/index.htm")))
                   .toStdString();
        doc_->SetHelpFilePath(path);
        ui_->Message("Error: Carinova help file not found.");
        return;
    }
    doc_->SetHelpFilePath(path);
}
