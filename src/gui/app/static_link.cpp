#include "app/static_link.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

CStaticLink::CStaticLink(const QString& text, const QString& link, QWidget* parent)
    : QLabel(text, parent), link_(link) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    ApplyColor();
}

bool CStaticLink::Open() {
    const QString target = Target();
    if (target.isEmpty())
        return false;
    if (!QDesktopServices::openUrl(QUrl::fromUserInput(target))) {
        QApplication::beep();
        return false;
    }
    visited_ = true;
    ApplyColor();
    return true;
}

void CStaticLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Open();
    QLabel::mousePressEvent(event);
}

void CStaticLink::ApplyColor() {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, visited_ ? VisitedColor() : UnvisitedColor());
    setPalette(pal);
}
