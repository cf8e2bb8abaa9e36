#include "app/about_dialog.h"

#include "app/app_version.h"
#include "app/static_link.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDialog::CAboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Info about Carinova"));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/images/carinova.svg")).pixmap(32, 32));
    auto* caption = new QLabel(QStringLiteral("Carinova "), this);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);
    // The version line shows the built version; "Version 1.6" is only its fallback text.
    m_wndVersion = new QLabel(QStringLiteral("Version 1.6"), this);
    m_wndVersion->setObjectName(QStringLiteral("Version"));
    m_wndVersion->setText(CAppVersion::VersionText());
    auto* sentence = new QLabel(
        QStringLiteral("Carinova is a program designed for the approximation of ostracoda "
                       "specimen using an adapted B-spline algorithm."),
        this);
    sentence->setWordWrap(true);
    auto* credits = new QLabel(
        QStringLiteral("Outlines are read from TPS, Morphosys and simple point-list files.\n"
                       "Each valve is fitted by two quadratic B-splines, dorsal and ventral,\n"
                       "and compared with a cluster reference by delta vectors and areas."),
        this);
    auto* thanks = new QLabel(
        QStringLiteral("Built with Qt and pugixml. Distributed in the hope that it is useful,\n"
                       "without any warranty."),
        this);
    m_wndLink = new CStaticLink(QString::fromLatin1(kLink), QString(), this);

    auto* head = new QGridLayout;
    head->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    head->addWidget(caption, 0, 1);
    head->addWidget(m_wndVersion, 1, 1);
    head->setColumnStretch(1, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(sentence);
    layout->addWidget(credits);
    layout->addWidget(thanks);
    layout->addWidget(m_wndLink);
    layout->addWidget(buttons);
    setFixedWidth(sizeHint().width());
}

QString CAboutDialog::VersionText() const {
    return m_wndVersion->text();
}
