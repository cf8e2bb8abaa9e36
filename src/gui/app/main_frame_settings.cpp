// What the main window keeps between runs: its place and size, the bars, the tree's width, the
// last cluster view, and whether the last document opens at start.
#include "app/main_frame.h"

#include "app/carinova_view.h"
#include "views/specimen_tree_view.h"

#include <QSettings>
#include <QStatusBar>

namespace {
const QString kGeometry = QStringLiteral("Window/Geometry");
const QString kState = QStringLiteral("Window/State");
const QString kStatusBar = QStringLiteral("Window/StatusBar");
const QString kTreeWidth = QStringLiteral("Window/TreeWidth");
const QString kClusterView = QStringLiteral("Window/ClusterView");
const QString kReopenLast = QStringLiteral("Settings/ReopenLastDocument");
} // namespace

void CMainFrame::SaveWindowSettings() {
    settings_.setValue(kGeometry, saveGeometry());
    settings_.setValue(kState, saveState());
    settings_.setValue(kStatusBar, !statusBar()->isHidden());
    settings_.setValue(kTreeWidth, view_->TreeWidth());
    settings_.setValue(kClusterView, view_->GetTreeView()->LastClusterCommand());
    settings_.sync();
}

// Values from another version or a hand-edited file that do not fit are passed over.
void CMainFrame::RestoreWindowSettings() {
    restoreGeometry(settings_.value(kGeometry).toByteArray());
    restoreState(settings_.value(kState).toByteArray());
    statusBar()->setVisible(settings_.value(kStatusBar, true).toBool());
    bool ok = false;
    const int treeWidth = settings_.value(kTreeWidth).toInt(&ok);
    if (ok && treeWidth > 0)
        view_->SetTreeWidth(treeWidth);
    const int clusterView = settings_.value(kClusterView).toInt(&ok);
    if (ok)
        view_->GetTreeView()->SetLastClusterCommand(clusterView);
}

bool CMainFrame::ReopensLastDocument() const {
    return settings_.value(kReopenLast, false).toBool();
}

void CMainFrame::SetReopensLastDocument(bool on) {
    settings_.setValue(kReopenLast, on);
    settings_.sync();
}

// A last document that cannot be opened is reported by the document and leaves the new one.
bool CMainFrame::ReopenLastDocument() {
    if (!ReopensLastDocument() || recentFiles_.GetCount() == 0)
        return false;
    return LoadDocument(recentFiles_.GetFile(0));
}
