#pragma once

#include <QString>
#include <QStringList>

class QSettings;

// The most recently opened documents, newest first, kept in the settings under
// "Recent File List" as "File1" to "File<n>".
class CRecentFileList {
public:
    static constexpr int kDefaultSize = 6;
    static constexpr int kDisplayLength = 30;

    explicit CRecentFileList(int size = kDefaultSize) : size_(size) {}

    int GetSize() const { return size_; }
    int GetCount() const { return static_cast<int>(files_.size()); }
    const QStringList& GetFiles() const { return files_; }
    QString GetFile(int index) const { return files_.value(index); }

    // Puts the path first; an older entry for it goes, and the oldest beyond the size.
    void Add(const QString& path);
    void Remove(int index);

    void ReadList(QSettings& settings);
    void WriteList(QSettings& settings) const;

    // The menu text of an entry: "&1 " and the path shortened to the display length.
    QString GetMenuText(int index) const;

private:
    int size_;
    QStringList files_;
};

// Shortens a path to at most maxLength characters by leaving out folders after the first,
// e.g. "/home/.../valves.xml"; a file name that is too long alone is shown whole.
QString AbbreviatePath(const QString& path, int maxLength);
