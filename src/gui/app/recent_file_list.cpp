#include "app/recent_file_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {
const QString kSection = QStringLiteral("Recent File List");
}

void CRecentFileList::Add(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    files_.removeAll(clean);
    files_.prepend(clean);
    while (files_.size() > size_)
        files_.removeLast();
}

void CRecentFileList::Remove(int index) {
    if (index >= 0 && index < files_.size())
        files_.removeAt(index);
}

void CRecentFileList::ReadList(QSettings& settings) {
    files_.clear();
    settings.beginGroup(kSection);
    for (int i = 1; i <= size_; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty() && !files_.contains(file))
            files_.append(file);
    }
    settings.endGroup();
}

void CRecentFileList::WriteList(QSettings& settings) const {
    settings.beginGroup(kSection);
    settings.remove(QString());
    for (int i = 0; i < files_.size(); ++i)
        settings.setValue(QStringLiteral("File%1").arg(i + 1), files_[i]);
    settings.endGroup();
    settings.sync();
}

QString CRecentFileList::GetMenuText(int index) const {
    QString name = AbbreviatePath(files_.value(index), kDisplayLength);
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(name);
}

QString AbbreviatePath(const QString& path, int maxLength) {
    if (path.size() <= maxLength)
        return path;
    const QString fileName = QFileInfo(path).fileName();
    const QStringList parts = path.split(QLatin1Char('/'));
    // parts: "" (root), first folder, ..., file name
    if (parts.size() < 3)
        return fileName;
    const QString head = parts[0] + QLatin1Char('/') + parts[1] + QStringLiteral("/...");
    QString tail = QLatin1Char('/') + fileName;
    if (head.size() + tail.size() > maxLength)
        return fileName;
    for (int i = parts.size() - 2; i > 1; --i) {
        const QString longer = QLatin1Char('/') + parts[i] + tail;
        if (head.size() + longer.size() > maxLength)
            break;
        tail = longer;
    }
    return head + tail;
}
