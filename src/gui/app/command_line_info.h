#pragma once

#include <QString>
#include <QStringList>

#include <map>

// The program's arguments: an optional document to open and flags written with "/" or "-".
// A flag takes the following plain argument as its value ("TRUE" when there is none); the
// first plain argument is the document all the same ("-nologo valves.xml" opens it). On this system
// a path also begins with "/", so "/" marks a flag only when no further "/" follows.
struct CCommandLineInfo {
    QString fileName;
    std::map<QString, QString> options;

    // The splash is skipped for the option "nologo", compared exactly.
    bool NoLogo() const { return options.count(QStringLiteral("nologo")) > 0; }

    // Arguments without the program name.
    static CCommandLineInfo Parse(const QStringList& arguments);
    static bool IsFlag(const QString& argument);
};
