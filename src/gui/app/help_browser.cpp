#include "app/help_browser.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWindow>

namespace {
const QString kPages = QStringLiteral("qrc:/help/html/");
const QString kContents = QStringLiteral("index.htm");
} // namespace

CHelpBrowser::CHelpBrowser(QWidget* home) : QWidget(nullptr, Qt::Window), home_(home) {
    setWindowTitle(QStringLiteral("Carinova Help"));
    setObjectName(QStringLiteral("HelpBrowser"));
    setAttribute(Qt::WA_QuitOnClose, false);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    auto* bar = new QToolBar(this);
    bar->addAction(QStringLiteral("Contents"), this,
                   [this] { browser_->setSource(QUrl(kPages + kContents)); });
    QAction* back = bar->addAction(QStringLiteral("Back"), browser_, &QTextBrowser::backward);
    QAction* forward = bar->addAction(QStringLiteral("Forward"), browser_, &QTextBrowser::forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(browser_);
    resize(640, 560);
}

QUrl CHelpBrowser::TopicUrl(const std::string& topic) {
    QString page = QString::fromStdString(topic);
    const int marker = page.indexOf(QStringLiteral("::/"));
    if (marker >= 0)
        page = page.mid(marker + 3);
    if (page.startsWith(QStringLiteral("html/")))
        page = page.mid(5);
    if (page.isEmpty())
        page = kContents;
    return QUrl(kPages + page);
}

bool CHelpBrowser::PageExists(const QUrl& url) {
    return QFile::exists(QLatin1Char(':') + url.path());
}

bool CHelpBrowser::ShowTopic(const std::string& topic) {
    const QUrl url = TopicUrl(topic);
    if (!PageExists(url))
        return false;
    browser_->setSource(url);
    // The window manager reads the owner when the window is shown.
    if (FollowModalWindow() && isVisible())
        hide();
    show();
    raise();
    activateWindow();
    return true;
}

QWindow* CHelpBrowser::Owner() const {
    return windowHandle() ? windowHandle()->transientParent() : nullptr;
}

// A window whose transient parent is the modal dialog counts as the dialog's child, which the
// dialog does not block. When that dialog goes, the help moves to the next one (or home) once
// the dialog has left the list of modal windows.
bool CHelpBrowser::FollowModalWindow() {
    if (!windowHandle()) {
        create();
        windowHandle()->installEventFilter(this);
    }
    QWindow* modal = QGuiApplication::modalWindow();
    if (modal == windowHandle())
        modal = nullptr;
    QWindow* owner = modal ? modal : (home_ ? home_->windowHandle() : nullptr);
    disconnect(followed_);
    if (modal) {
        followed_ = connect(modal, &QWindow::visibleChanged, this, [this](bool visible) {
            if (!visible)
                QTimer::singleShot(0, this, [this] { FollowModalWindow(); });
        });
    }
    if (windowHandle()->transientParent() == owner)
        return false;
    windowHandle()->setTransientParent(owner);
    return true;
}

// A dialog opened while the help is up blocks it at first; the help then moves above it.
bool CHelpBrowser::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::WindowBlocked)
        FollowModalWindow();
    return QWidget::eventFilter(watched, event);
}

QUrl CHelpBrowser::CurrentSource() const {
    return browser_->source();
}

std::string FindHelpFile(const QString& applicationDir) {
    const QDir dir(applicationDir);
    for (const QString& candidate :
         {QStringLiteral("help/index.htm"), QStringLiteral("../share/carinova/help/index.htm")}) {
        const QString path = QDir::cleanPath(dir.filePath(candidate));
        if (QFile::exists(path))
            return path.toStdString();
    }
    return {};
}
