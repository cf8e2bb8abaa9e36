#include "app/command_line_info.h"

bool CCommandLineInfo::IsFlag(const QString& argument) {
    if (argument.size() < 2)
        return false;
    if (argument.startsWith(QLatin1Char('-')))
        return true;
    return argument.startsWith(QLatin1Char('/')) && argument.indexOf(QLatin1Char('/'), 1) < 0;
}

CCommandLineInfo CCommandLineInfo::Parse(const QStringList& arguments) {
    CCommandLineInfo info;
    QString lastFlag;
    for (const QString& argument : arguments) {
        if (IsFlag(argument)) {
            lastFlag = argument.mid(1);
            info.options[lastFlag] = QStringLiteral("TRUE");
            continue;
        }
        if (!lastFlag.isEmpty()) {
            info.options[lastFlag] = argument;
            lastFlag.clear();
        }
        if (info.fileName.isEmpty())
            info.fileName = argument;
    }
    return info;
}
