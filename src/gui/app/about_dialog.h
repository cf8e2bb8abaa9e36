#pragma once

#include <QDialog>

class CStaticLink;
class QLabel;

// "Info about Carinova": icon, name, version, a sentence on what the program does, credits
// and a link.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kLink = "https://www.marinespecies.org/ostracoda/";

    explicit CAboutDialog(QWidget* parent = nullptr);

    QString VersionText() const;
    CStaticLink* Link() const { return m_wndLink; }

private:
    QLabel* m_wndVersion = nullptr;
    CStaticLink* m_wndLink = nullptr;
};
