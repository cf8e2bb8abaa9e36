#pragma once

#include <QUrl>
#include <QWidget>

#include <string>

class QTextBrowser;

// The help window: the bundled HTML pages in a browser with Contents, Back and Forward.
// Topics are named as the property pages name them, "::/html/cari0207.htm#approximation_params",
// optionally after the help file's path; "" is the contents page.
class CHelpBrowser : public QWidget {
    Q_OBJECT

public:
    explicit CHelpBrowser(QWidget* parent = nullptr);

    // Shows the topic and brings the window up; false when there is no such page.
    bool ShowTopic(const std::string& topic);
    QUrl CurrentSource() const;
    QTextBrowser* Browser() const { return browser_; }

    // The page behind a topic, e.g. "qrc:/help/html/cari0207.htm#approximation_params".
    static QUrl TopicUrl(const std::string& topic);
    static bool PageExists(const QUrl& url);

private:
    QTextBrowser* browser_ = nullptr;
};

// The help file the help command checks for: "help/index.htm" beside the program, or the
// installed pages under share/carinova. Empty when neither exists.
std::string FindHelpFile(const QString& applicationDir);
