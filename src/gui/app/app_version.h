#pragma once

#include <QString>

#ifndef CARINOVA_VERSION_MAJOR
#define CARINOVA_VERSION_MAJOR 1
#endif
#ifndef CARINOVA_VERSION_MINOR
#define CARINOVA_VERSION_MINOR 6
#endif

// The application's names and version as the user sees them.
struct CAppVersion {
    static constexpr int kMajor = CARINOVA_VERSION_MAJOR;
    static constexpr int kMinor = CARINOVA_VERSION_MINOR;
    static constexpr int kPatch = 0;
    static constexpr int kBuild = 0;

    // The application title (message-box captions, settings).
    static QString AppTitle() { return QStringLiteral("Carinova"); }
    // The name the frame title carries after the document's title.
    static QString TemplateTitle() {
        return QStringLiteral("Carinova %1.%2").arg(kMajor).arg(kMinor);
    }
    // "<document> - Carinova 1.6"
    static QString FrameTitle(const QString& documentTitle) {
        return documentTitle + QStringLiteral(" - ") + TemplateTitle();
    }
    // The About box's version line, "(Version: 1, 6, 0, 0)".
    static QString VersionText() {
        return QStringLiteral("(Version: %1, %2, %3, %4)")
            .arg(kMajor)
            .arg(kMinor)
            .arg(kPatch)
            .arg(kBuild);
    }
};
