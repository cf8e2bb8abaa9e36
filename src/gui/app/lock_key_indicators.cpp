#include "app/lock_key_indicators.h"

#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#ifdef CARINOVA_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {

constexpr const char* kTexts[] = {"CAP", "NUM", "SCRL"};

#ifdef CARINOVA_HAVE_X11
constexpr const char* kIndicatorNames[] = {"Caps Lock", "Num Lock", "Scroll Lock"};

Display* X11Display() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}
#endif

// The lock's state, or false when it cannot be read.
bool IsLockOn(int lock) {
#ifdef CARINOVA_HAVE_X11
    if (Display* display = X11Display()) {
        // Interned once: the program talks to one display.
        static Atom names[3] = {};
        if (!names[lock])
            names[lock] = XInternAtom(display, kIndicatorNames[lock], False);
        Bool on = False;
        return XkbGetNamedIndicator(display, names[lock], nullptr, &on, nullptr, nullptr) && on;
    }
#endif
    (void)lock;
    return false;
}

} // namespace

bool CLockKeyIndicators::PlatformCanTell() {
#ifdef CARINOVA_HAVE_X11
    return X11Display() != nullptr;
#else
    return false;
#endif
}

CLockKeyIndicators::CLockKeyIndicators(QStatusBar& bar) : QObject(&bar) {
    if (!PlatformCanTell())
        return;
    for (int lock = 0; lock < 3; ++lock) {
        auto* pane = new QLabel(&bar);
        pane->setObjectName(QString::fromLatin1(kTexts[lock]) + QStringLiteral("Pane"));
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        bar.addPermanentWidget(pane);
        panes_[static_cast<std::size_t>(lock)] = pane;
    }
    Update();
}

void CLockKeyIndicators::Update() {
    if (!HasPanes())
        return;
    for (int lock = 0; lock < 3; ++lock) {
        const QString text = IsLockOn(lock) ? QString::fromLatin1(kTexts[lock]) : QString();
        if (Pane(lock)->text() != text)
            Pane(lock)->setText(text);
    }
}
