#include "headless.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>

namespace {

QtMessageHandler previousHandler = nullptr;
bool filtering = false;

// Without a desktop session (a server, a batch job, root) Qt warns on the offscreen platform that
// it makes up a runtime folder. Nothing of the tool needs one, so the warning would only alarm
// whoever reads the tool's errors; every other message passes on.
void DropRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (previousHandler) {
        previousHandler(type, context, message);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

} // namespace

bool EnsureHeadlessPlatform() {
    const bool chosen = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
                        qEnvironmentVariableIsEmpty("DISPLAY") &&
                        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    if (!filtering && qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        previousHandler = qInstallMessageHandler(DropRuntimeFolderWarning);
        filtering = true;
    }
    return chosen;
}
