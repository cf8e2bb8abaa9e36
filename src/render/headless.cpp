#include "headless.h"

#include <QByteArray>
#include <QtGlobal>

bool EnsureHeadlessPlatform() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return false;
    return qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
}
