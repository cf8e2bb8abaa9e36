// Pictures of the program for the documentation: a sample specimen with its approximation in
// the single view of a landscape window, the cluster of the samples in the overlay view of a
// wide window, the mean specimen's picture, the tree with the real file names, the three
// property sheets, the trace dialog on generated valves with the traced outlines over the image,
// and the morphospace of synthetic valves from three localities.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "cluster/cluster_sheet.h"
#include "dialogs/approx_sheet_dialog.h"
#include "dialogs/cluster_sheet_dialog.h"
#include "dialogs/specimen_sheet_dialog.h"
#include "dialogs/trace_dialog.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "model/approx_sheet.h"
#include "model/approx_specimen.h"
#include "valve_outlines.h"
#include "views/morphospace_view.h"
#include "views/single_view.h"
#include "views/specimen_properties.h"
#include "views/specimen_tree_view.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace {

bool Save(QWidget& widget, const QString& file) {
    QCoreApplication::processEvents();
    QTest::qWait(200);
    if (widget.grab().save(file))
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

// A sheet shown on one of its pages, saved, and closed.
bool SaveSheet(CPropertySheetDialog& sheet, int page, const QString& file) {
    sheet.show();
    sheet.Tabs()->setCurrentIndex(page);
    const bool saved = QTest::qWaitForWindowExposed(&sheet) && Save(sheet, file);
    sheet.reject();
    return saved;
}

bool SaveSheets(CGuiTestDocument& d, CMainFrame& frame, const QDir& folder) {
    CSpecimenRecord* record = d.Record(1);
    CSpecimenViewSettings settings;
    CPropertySheetSpecimen specimen = MakeSpecimenSheet(*record->GetSpecimen(), settings, true);
    CSpecimenSheetDialog specimenSheet(specimen, d.ui, &frame);
    // The approximation fills its sheet itself; the scripted user keeps a copy and cancels.
    CPropertySheetApprox approx;
    d.ui.sheetEditors.push_back([&approx](CModalSheet& sheet) {
        approx = dynamic_cast<CPropertySheetApprox&>(sheet);
        return false;
    });
    record->GetApproximation()->Properties(*record->GetSpecimen(), d.ui);
    approx.caption = "Approximation";
    CApproxSheetDialog approxSheet(approx, d.ui, &frame);
    CPropertySheetCluster cluster;
    cluster.caption = "Approximation";
    CClusterSheetDialog clusterSheet(cluster, d.ui, &frame);
    return SaveSheet(specimenSheet, 0, folder.filePath(QStringLiteral("specimen-sheet.png"))) &&
           SaveSheet(approxSheet, 3, folder.filePath(QStringLiteral("control-points-page.png"))) &&
           SaveSheet(clusterSheet, 0, folder.filePath(QStringLiteral("cluster-sheet.png")));
}

// The 119 valves of the real file, the last fifteen in the cluster: their labels run past
// "- 99" and the tree scrolls sideways rather than cut them.
bool SaveRealNames(const QDir& folder) {
    const std::string file = std::string(CARINOVA_REAL_DATA_DIR) + "/momitvb_allrapanui.tps";
    if (!std::filesystem::exists(file)) {
        std::fprintf(stderr, "skipped the tree picture: %s is not there\n", file.c_str());
        return true;
    }
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    CGuiTestDocument d;
    d.ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {file}});
    d.doc.OnSpecimenInsert();
    d.doc.SetTitle("allrapanui");
    for (const auto& record : d.doc.GetSpecimenList())
        d.doc.InsertIntoCluster(record.get());
    CMainFrame frame(d.doc, d.ui, settings);
    RegisterRightPaneViews(*frame.GetMainView());
    frame.resize(1000, 680);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return false;
    frame.GetMainView()->SetTreeWidth(300);
    CSpecimenTreeView* tree = frame.GetMainView()->GetTreeView();
    tree->SpecimenRoot()->setExpanded(false);
    QTreeWidgetItem* last = tree->ClusterRoot()->child(tree->ClusterRoot()->childCount() - 1);
    tree->setCurrentItem(last);
    tree->scrollToItem(last);
    frame.OnCommand(ID_CLUSTER_DISPLAY_SPECIMENS);
    return Save(frame, folder.filePath(QStringLiteral("tree-real-names.png")));
}

// Two generated valves photographed as dark silhouettes on a lightly graded ground.
QString DrawValvePhoto(const QTemporaryDir& dir) {
    QImage photo(720, 420, QImage::Format_Grayscale8);
    for (int y = 0; y < photo.height(); ++y)
        std::fill_n(photo.scanLine(y), photo.width(), static_cast<uchar>(236 - y / 30));
    QPainter painter(&photo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(48, 48, 48));
    bench::CValveGenerator valves(20261208);
    for (const QPointF offset : {QPointF(-90, 8), QPointF(255, 12)}) {
        QPolygonF outline;
        for (const FPoint& p : valves.Outline(800))
            outline << QPointF(0.42 * p.x, 0.42 * p.y) + offset;
        painter.drawPolygon(outline);
    }
    painter.end();
    // 2 micrometres a pixel, as a stereo microscope's camera gives.
    photo.setDotsPerMeterX(500000);
    photo.setDotsPerMeterY(500000);
    const QString path = dir.filePath(QStringLiteral("valves.png"));
    return photo.save(path) ? path : QString();
}

// The trace dialog on that photograph with the traced valves over it, then the first valve
// inserted and shown over its image in the single view.
bool SaveTrace(const QDir& folder) {
    QTemporaryDir photoDir;
    const std::string file = DrawValvePhoto(photoDir).toStdString();
    if (file.empty())
        return false;
    CValveImage image;
    std::string error;
    if (!ReadValveImage(file, image, error))
        return false;
    CTraceDialog dialog(file, std::move(image));
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog) ||
        !Save(dialog, folder.filePath(QStringLiteral("trace-dialog.png"))))
        return false;
    CSpecimenFile traced = dialog.CheckedSpecimens();
    dialog.reject();
    if (traced.specimens.empty())
        return false;
    QTemporaryDir settingsDir;
    QSettings settings(settingsDir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
    CGuiTestDocument d;
    d.doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(traced.specimens[0])));
    d.doc.SetTitle("valves");
    CMainFrame frame(d.doc, d.ui, settings);
    RegisterRightPaneViews(*frame.GetMainView());
    frame.resize(900, 760);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame))
        return false;
    CSpecimenTreeView* tree = frame.GetMainView()->GetTreeView();
    tree->setCurrentItem(tree->SpecimenRoot()->child(0));
    frame.OnCommand(ID_VIEW_SOURCE_IMAGE);
    return Save(frame, folder.filePath(QStringLiteral("single-view-source-image.png")));
}

} // namespace

int SaveScreenshots(const QString& path) {
    if (!QDir().mkpath(path))
        return 1;
    const QDir folder(path);
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
    if (!Save(frame, folder.filePath(QStringLiteral("single-view.png"))) ||
        !SaveSheets(d, frame, folder))
        return 1;

    for (std::size_t i = 0; i < d.doc.GetSpecimenList().size(); ++i)
        d.doc.InsertIntoCluster(d.Record(i));
    d.doc.SetReferenceRecord(d.Record(0));
    d.doc.CalculateMeanSpecimen();
    tree->setCurrentItem(tree->ClusterRoot());
    frame.OnCommand(ID_CLUSTER_DISPLAY_SPECIMENS);
    frame.resize(1360, 560);
    if (!Save(frame, folder.filePath(QStringLiteral("overlay-view.png"))))
        return 1;

    // The mean has no outline; the single view draws its cluster curves.
    CSpecimenSingleView mean(d.doc);
    d.doc.AddView(&mean);
    mean.resize(720, 480);
    mean.show();
    d.doc.SetSelectedRecord(d.doc.GetClusterParameter().GetMeanRecord());
    const bool meanSaved = QTest::qWaitForWindowExposed(&mean) &&
                           Save(mean, folder.filePath(QStringLiteral("mean-specimen.png")));
    d.doc.RemoveView(&mean);
    if (!meanSaved || !SaveRealNames(folder) || !SaveTrace(folder))
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
    return Save(frame, folder.filePath(QStringLiteral("morphospace-view.png"))) ? 0 : 1;
}
