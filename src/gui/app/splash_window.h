#pragma once

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// The start-up picture. It shows for at least its duration and in any case until the main
// window exists, then closes and brings the main window to the front.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    enum Flags {
        CloseOnInput = 1,      // a key or mouse press closes it
        IgnoreCommandLine = 2, // shown even with "nologo" (the caller decides)
        IgnoreMainWindow = 4,  // closes when the time is over, main window or not
    };
    static constexpr int kDuration = 2680;    // ms
    static constexpr int kWaitInterval = 100; // ms between checks for the main window
    static constexpr int kWidth = 391;
    static constexpr int kHeight = 452;

    // durationMs -1: no timer, the splash stays until closed.
    explicit CSplashWnd(const QString& imagePath, int durationMs = kDuration, int flags = 0);

    void SetMainWindow(QWidget* mainWindow) { mainWindow_ = mainWindow; }
    bool IsImageLoaded() const { return !pixmap_.isNull(); }
    // Centres the window in the screen's work area and shows it at once.
    void ShowCentered();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void OnTimer();

    QPixmap pixmap_;
    int flags_;
    QTimer timer_;
    QPointer<QWidget> mainWindow_;
};
