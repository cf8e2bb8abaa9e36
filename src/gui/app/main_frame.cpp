#include "app/main_frame.h"

#include "app/app_version.h"
#include "app/carinova_view.h"
#include "app/command_table.h"
#include "app/lock_key_indicators.h"
#include "document/carinova_doc.h"
#include "document/command_ids.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPrinter>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>

namespace {
constexpr int kUpdateInterval = 250; // ms between updates of the tool-bar buttons
constexpr int kProgressPaneWidth = 100;
const QString kReady = QStringLiteral("Ready");
const QString kCoordinates = QStringLiteral("Coordinates");
} // namespace

CMainFrame::CMainFrame(CCarinovaDoc& doc, CUserInteraction& ui, QSettings& settings,
                       QWidget* parent)
    : QMainWindow(parent), doc_(doc), ui_(ui), settings_(settings) {
    setObjectName(QStringLiteral("MainFrame"));
    setWindowIcon(QIcon(QStringLiteral(":/images/carinova.svg")));
    recentFiles_.ReadList(settings_);
    view_ = new CCarinovaView(doc_, this);
    setCentralWidget(view_);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    connect(view_, &CCarinovaView::coordinatesText, this, &CMainFrame::SetCoordinatesText);
    setAcceptDrops(true);
    resize(900, 640);
    RestoreWindowSettings();
    UpdateFrameTitle();
    UpdateCommandUI();
    connect(&updateTimer_, &QTimer::timeout, this, &CMainFrame::UpdateCommandUI);
    updateTimer_.start(kUpdateInterval);
}

CMainFrame::~CMainFrame() = default;

QPrinter& CMainFrame::GetPrinter() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void CMainFrame::CreateToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Tool bar"), this);
    toolBar_->setObjectName(QStringLiteral("ToolBar"));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setIconSize(QSize(16, 15));
    const std::pair<int, const char*> buttons[] = {
        {ID_FILE_NEW, ":/images/new.svg"},     {ID_FILE_OPEN, ":/images/open.svg"},
        {ID_FILE_SAVE, ":/images/save.svg"},   {0, nullptr},
        {ID_FILE_PRINT, ":/images/print.svg"}, {0, nullptr},
        {ID_APP_ABOUT, ":/images/about.svg"},
    };
    for (const auto& [id, icon] : buttons) {
        if (!id) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* action = GetAction(id);
        action->setIcon(QIcon(QString::fromLatin1(icon)));
        toolBar_->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

// Pane 0 shows "Ready" or the prompt of the menu item under the mouse; pane 1 holds the
// progress bar while one runs; pane 2 the mouse position in the single view; then the lock
// keys, where the platform tells their states.
void CMainFrame::CreateStatusBar() {
    messagePane_ = new QLabel(kReady, this);
    statusBar()->addWidget(messagePane_, 1);
    progressPane_ = new QWidget(this);
    progressPane_->setObjectName(QStringLiteral("ProgressPane"));
    progressPane_->setFixedWidth(kProgressPaneWidth);
    statusBar()->addPermanentWidget(progressPane_);
    coordinatesPane_ = new QLabel(kCoordinates, this);
    coordinatesPane_->setObjectName(QStringLiteral("CoordinatesPane"));
    coordinatesPane_->setMinimumWidth(
        coordinatesPane_->fontMetrics().horizontalAdvance(QStringLiteral("-00000, -00000")) + 8);
    statusBar()->addPermanentWidget(coordinatesPane_);
    lockKeys_ = new CLockKeyIndicators(*statusBar());
}

QString CMainFrame::MessageText() const {
    const QString message = statusBar()->currentMessage();
    return message.isEmpty() ? messagePane_->text() : message;
}

QString CMainFrame::CoordinatesText() const {
    return coordinatesPane_->text();
}

void CMainFrame::SetCoordinatesText(const QString& text) {
    coordinatesPane_->setText(text.isEmpty() ? kCoordinates : text);
    coordinatesPane_->repaint();
}

// The range is count + 1 and the bar starts at 1, so after count steps it is full.
void CMainFrame::BeginProgress(int count) {
    delete progress_;
    progress_ = new QProgressBar(progressPane_);
    progress_->setObjectName(QStringLiteral("Progress"));
    progress_->setTextVisible(false);
    progress_->setGeometry(progressPane_->rect());
    progress_->setRange(0, count + 1);
    progress_->setValue(1);
    progress_->show();
    progress_->repaint();
}

// Past the end the bar starts over, as a stepping progress control does. The work that steps
// it keeps the event loop waiting, so the bar is drawn at once, but only when its filled part
// grows by a pixel: ten thousand steps do not draw it ten thousand times.
void CMainFrame::StepProgress() {
    if (!progress_)
        return;
    const auto filled = [this](int value) {
        const int range = std::max(1, progress_->maximum() - progress_->minimum());
        return static_cast<long long>(value - progress_->minimum()) * progress_->width() / range;
    };
    const int before = progress_->value();
    int value = before + 1;
    if (value > progress_->maximum())
        value = progress_->minimum() + (value - progress_->maximum());
    progress_->setValue(value);
    if (filled(value) != filled(before))
        progress_->repaint();
}

void CMainFrame::EndProgress() {
    delete progress_;
    progress_ = nullptr;
}

void CMainFrame::BeginBusyProgress() {
    BeginProgress(0);
    progress_->setRange(0, 0);
}

void CMainFrame::SetProgressSteps(int steps) {
    if (progress_ && progress_->maximum() > 0)
        progress_->setValue(std::min(1 + steps, progress_->maximum()));
}

void CMainFrame::UpdateFrameTitle() {
    setWindowTitle(CAppVersion::FrameTitle(QString::fromStdString(doc_.GetTitle())));
}
