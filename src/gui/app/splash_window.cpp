#include "app/splash_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

namespace {

// Drawn at the screen's pixel density, so a scaled screen shows it sharp at its usual size.
QPixmap RenderImage(const QString& path) {
    QSvgRenderer renderer(path);
    if (!renderer.isValid())
        return QPixmap(path);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(CSplashWnd::kWidth, CSplashWnd::kHeight) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, CSplashWnd::kWidth, CSplashWnd::kHeight));
    return pixmap;
}

} // namespace

CSplashWnd::CSplashWnd(const QString& imagePath, int durationMs, int flags)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pixmap_(RenderImage(imagePath)), flags_(flags) {
    setAttribute(Qt::WA_DeleteOnClose);
    setCursor(Qt::ArrowCursor);
    setFixedSize(pixmap_.isNull() ? QSize(kWidth, kHeight)
                                  : pixmap_.deviceIndependentSize().toSize());
    timer_.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the picture must stay for its whole duration.
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CSplashWnd::OnTimer);
    if (durationMs >= 0)
        timer_.start(durationMs);
}

void CSplashWnd::ShowCentered() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    repaint();
}

void CSplashWnd::OnTimer() {
    if (!(flags_ & IgnoreMainWindow) && !mainWindow_) {
        timer_.start(kWaitInterval);
        return;
    }
    close();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, pixmap_);
}

void CSplashWnd::keyPressEvent(QKeyEvent* event) {
    if (flags_ & CloseOnInput)
        close();
    else
        QWidget::keyPressEvent(event);
}

void CSplashWnd::mousePressEvent(QMouseEvent* event) {
    if (flags_ & CloseOnInput)
        close();
    else
        QWidget::mousePressEvent(event);
}

void CSplashWnd::closeEvent(QCloseEvent* event) {
    timer_.stop();
    if (mainWindow_) {
        mainWindow_->raise();
        mainWindow_->activateWindow();
    }
    QWidget::closeEvent(event);
}
