#include "app/help_browser.h"

#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
const QString kPages = QStringLiteral("qrc:/help/html/");
const QString kContents = QStringLiteral("index.htm");
} // namespace

CHelpBrowser::CHelpBrowser(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Carinova Help"));
    setObjectName(QStringLiteral("HelpBrowser"));
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
    show();
    raise();
    activateWindow();
    return true;
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
