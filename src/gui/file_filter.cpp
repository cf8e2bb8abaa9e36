#include "file_filter.h"

QStringList TranslateFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (!pattern.isEmpty())
                patterns << (pattern == "*.*" ? QStringLiteral("*") : pattern);
        }
        if (name.isEmpty() || patterns.isEmpty())
            continue;
        // Names often show their patterns already ("TPS Files (*.tps)"); Qt shows the list it
        // filters by, so the name's own copy goes.
        QString shown = name;
        if (shown.endsWith(')') && shown.contains('('))
            shown = shown.left(shown.lastIndexOf('(')).trimmed();
        const QString list = QStringLiteral("(%1)").arg(patterns.join(' '));
        result << (shown.isEmpty() ? list : shown + ' ' + list);
    }
    return result;
}
