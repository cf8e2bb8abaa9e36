// Pictures of the main window for the documentation: a sample specimen with its approximation
// in the single view, the cluster of all samples in the overlay view, and the morphospace of
// synthetic valves from three localities.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "valve_outlines.h"
#include "views/morphospace_view.h"
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

// Ninety generated valves, a third from each of three localities that differ a little in
// height, all in the cluster.
void AddLocalities(CGuiTestDocument& d) {
    bench::CValveGenerator generator(5);
    const char* localities[] = {"Lake Ohrid", "Lake Prespa", "Struga"};
    const float heights[] = {1.0f, 1.05f, 0.95f};
    std::vector<CSpecimenRecord*> records;
    for (int i = 0; i < 90; ++i) {
        std::vector<FPoint> outline = generator.Outline(300);
        for (FPoint& p : outline)
            p.y = 480.0f + (p.y - 480.0f) * heights[i % 3];
        auto specimen = bench::MakeSpecimen(std::move(outline));
        specimen->ShortPathName = "valve " + std::to_string(i + 1);
        specimen->Locality = localities[i % 3];
        auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
        records.push_back(record.get());
        d.doc.AddSpecimenRecord(std::move(record));
    }
    d.doc.InsertIntoCluster(records);
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
    if (!Save(frame, QDir(folder).filePath(QStringLiteral("overlay-view.png"))))
        return 1;

    d.doc.RemoveMeanSpecimen();
    for (std::size_t i = 0; i < 6; ++i)
        d.doc.RemoveFromCluster(d.Record(i));
    AddLocalities(d);
    d.doc.SetReferenceRecord(d.doc.GetClusterList().front());
    d.doc.CalculateMeanSpecimen();
    frame.resize(1200, 760);
    tree->setCurrentItem(tree->ClusterRoot());
    frame.OnCommand(ID_CLUSTER_DISPLAY_MORPHOSPACE);
    auto* morphospace = dynamic_cast<CClusterMorphospaceView*>(frame.GetMainView()->GetRightPane());
    if (!morphospace)
        return 1;
    morphospace->SetGrouping(CGroupField::Locality);
    return Save(frame, QDir(folder).filePath(QStringLiteral("morphospace-view.png"))) ? 0 : 1;
}
