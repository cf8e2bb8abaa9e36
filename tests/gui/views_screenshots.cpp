// Pictures of the main window for the documentation: a sample specimen with its approximation
// in the single view, and the cluster of all samples in the overlay view.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "views/specimen_tree_view.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool Save(CMainFrame& frame, const QString& file) {
    QCoreApplication::processEvents();
    QTest::qWait(200);
    if (frame.grab().save(file))
        return true;
    std::fprintf(stderr, "could not write %s\n", qPrintable(file));
    return false;
}

} // namespace

int SaveScreenshots(const QString& folder) {
    if (!QDir().mkpath(folder))
        return 1;
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    CGuiTestDocument d;
    d.InsertSamples();
    d.doc.SetTitle("valves");
    CMainFrame frame(d.doc, d.ui, settings);
    RegisterRightPaneViews(*frame.GetMainView());
    frame.resize(1000, 680);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return 1;

    CSpecimenTreeView* tree = frame.GetMainView()->GetTreeView();
    tree->setCurrentItem(tree->SpecimenRoot()->child(1));
    d.Approximate(d.Record(1));
    if (!Save(frame, QDir(folder).filePath(QStringLiteral("single-view.png"))))
        return 1;

    for (std::size_t i = 0; i < d.doc.GetSpecimenList().size(); ++i)
        d.doc.InsertIntoCluster(d.Record(i));
    d.doc.SetReferenceRecord(d.Record(0));
    d.doc.CalculateMeanSpecimen();
    tree->setCurrentItem(tree->ClusterRoot());
    frame.OnCommand(ID_CLUSTER_DISPLAY_SPECIMENS);
    return Save(frame, QDir(folder).filePath(QStringLiteral("overlay-view.png"))) ? 0 : 1;
}
