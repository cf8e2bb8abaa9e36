#pragma once

#include <QObject>

#include <array>

class QLabel;
class QStatusBar;

// The status bar's caps-lock, num-lock and scroll-lock panes ("CAP", "NUM", "SCRL"), each
// showing its text while the lock is on. Qt cannot read the lock states; the X server can, so
// the panes exist only on X11. Elsewhere (Wayland, the offscreen platform) they are left out
// rather than show a state nobody knows.
class CLockKeyIndicators : public QObject {
public:
    // Adds the panes to the status bar when the platform can tell the states.
    explicit CLockKeyIndicators(QStatusBar& bar);

    static bool PlatformCanTell();
    bool HasPanes() const { return panes_[0] != nullptr; }
    // The pane of lock 0 (caps), 1 (num) or 2 (scroll); null without panes.
    QLabel* Pane(int lock) const { return panes_.at(static_cast<std::size_t>(lock)); }

    // Reads the states again; the main window calls it with its idle updates.
    void Update();

private:
    std::array<QLabel*, 3> panes_{};
};
