#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <string>

class QTextBrowser;
class QWindow;

// The help window: the bundled HTML pages in a browser with Contents, Back and Forward.
// Topics are named as the property pages name them, "::/html/cari0207.htm#approximation_params",
// optionally after the help file's path; "" is the contents page.
//
// Help is asked for from inside modal sheets (F1, the Help button), so the window must not be
// blocked by them: it stands above the open modal dialog, as its transient child, and above the
// main window (`home`) otherwise, following the dialogs as they open and close. It never keeps
// the program running once the main window has closed.
class CHelpBrowser : public QWidget {
    Q_OBJECT

public:
    explicit CHelpBrowser(QWidget* home = nullptr);

    // Shows the topic and brings the window to the front; false when there is no such page.
    bool ShowTopic(const std::string& topic);
    // The window the help window stands above now.
    QWindow* Owner() const;
    QUrl CurrentSource() const;
    QTextBrowser* Browser() const { return browser_; }

    // The page behind a topic, e.g. "qrc:/help/html/cari0207.htm#approximation_params".
    static QUrl TopicUrl(const std::string& topic);
    static bool PageExists(const QUrl& url);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Stands above the topmost modal dialog, or the home window when none is open; true when
    // that changed the window it stands above.
    bool FollowModalWindow();

    QTextBrowser* browser_ = nullptr;
    QPointer<QWidget> home_;
    QMetaObject::Connection followed_;
};

// The help file the help command checks for: "help/index.htm" beside the program, or the
// installed pages under share/carinova. Empty when neither exists.
std::string FindHelpFile(const QString& applicationDir);
