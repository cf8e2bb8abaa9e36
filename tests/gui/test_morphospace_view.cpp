// The morphospace view against a real document: hints, grouping and axes chosen in its tool
// bar, hover and click on points in the main window, export, printing and the scores copy.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "views/morphospace_canvas.h"
#include "views/morphospace_view.h"
#include "views/specimen_tree_view.h"
#include "views_test_support.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

class CTestMorphospaceView : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CClusterMorphospaceView> view;
    std::unique_ptr<CTempFolder> temp;

    // The six samples, three from "K3" and three from "K5", all in the cluster.
    void MakeCluster() {
        for (std::size_t i = 0; i < 6; ++i) {
            d->Record(i)->GetSpecimen()->Locality = i < 3 ? "K3" : "K5";
            d->doc.InsertIntoCluster(d->Record(i));
        }
        d->doc.SetReferenceRecord(d->Record(0));
    }
    // Where a view's canvas draws a record's point.
    static QPoint PointOf(CClusterMorphospaceView& v, const CSpecimenRecord* record) {
        CMorphospaceCanvas& canvas = *v.Canvas();
        canvas.grab();
        const CMorphospaceScene& scene = v.Scene();
        const int p = scene.space->PointOf(record);
        const CMorphospacePlot& plot = canvas.Plot();
        return QPoint(qRound(plot.DeviceX(scene.space->Score(p, scene.xComponent))),
                      qRound(plot.DeviceY(scene.space->Score(p, scene.yComponent))));
    }

private slots:
    void init() {
        d = std::make_unique<CGuiTestDocument>();
        d->InsertSamples();
        view = std::make_unique<CClusterMorphospaceView>(d->doc);
        ShowView(*view, d->doc, {900, 600});
        temp = std::make_unique<CTempFolder>("carinova-morphospace-view");
    }
    void cleanup() {
        d->doc.RemoveView(view.get());
        view.reset();
        d.reset();
        temp.reset();
    }

    // Membership, reference, recalculation and the mean redraw the picture with a new
    // analysis; the cluster selection redraws it with the new mark; nothing else does.
    void repaintsOnClusterHints_data() { AddHintRows({7, 8, 9, 10, 11, 12, 13}); }
    void repaintsOnClusterHints() {
        QFETCH(int, hint);
        QCoreApplication::processEvents();
        CPaintCounter counter(*view->Canvas());
        view->OnUpdate(nullptr, hint, nullptr);
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints > 0,
                 QString::fromLatin1(QTest::currentDataTag()).endsWith("repaints"));
    }

    // Two members: the message, no axes to choose, nothing to copy; the third member brings
    // the analysis once the cluster's hint arrived.
    void followsTheCluster() {
        d->doc.InsertIntoCluster(d->Record(0));
        d->doc.InsertIntoCluster(d->Record(1));
        QVERIFY(!view->Scene().space);
        QCOMPARE(QString::fromStdString(view->Scene().message),
                 QStringLiteral("The morphospace needs at least 3 cluster members; the cluster "
                                "has 2."));
        QCOMPARE(view->XAxisBox()->count(), 0);
        QVERIFY(CountNonWhite(view->Canvas()->grab().toImage()) > 0);
        d->doc.InsertIntoCluster(d->Record(2));
        QVERIFY(view->Scene().space);
        QCOMPARE(view->XAxisBox()->count(), 2);
        QCOMPARE(view->XAxisBox()->currentIndex(), 0);
        QCOMPARE(view->YAxisBox()->currentIndex(), 1);
    }

    void groupsByTheChosenField() {
        MakeCluster();
        QComboBox* box = view->GroupingBox();
        const int locality = box->findText(QStringLiteral("Locality"));
        QVERIFY(locality > 0);
        const QImage before = view->Canvas()->grab().toImage();
        emit box->activated(locality);
        const CMorphospaceScene& scene = view->Scene();
        QCOMPARE(scene.groupBy, CGroupField::Locality);
        QCOMPARE(scene.groups.size(), std::size_t(2));
        QCOMPARE(QString::fromStdString(scene.groups[1].value), QStringLiteral("K5"));
        QCOMPARE(scene.groups[1].points, (std::vector<int>{3, 4, 5}));
        QVERIFY(view->Canvas()->grab().toImage() != before);
        // A new analysis keeps the grouping.
        d->doc.RemoveFromCluster(d->Record(5));
        QCOMPARE(view->Scene().groups[1].points, (std::vector<int>{3, 4}));
        QCOMPARE(box->currentIndex(), locality);
    }

    void axesAreChosenInTheToolBar() {
        MakeCluster();
        const CMorphospaceScene& scene = view->Scene();
        QCOMPARE(view->XAxisBox()->count(), scene.space->ComponentCount());
        QCOMPARE(view->XAxisBox()->itemText(0),
                 QStringLiteral("PC1 (%1 %)").arg(100.0 * scene.space->Share(0), 0, 'f', 1));
        emit view->XAxisBox()->activated(2);
        emit view->YAxisBox()->activated(0);
        QCOMPARE(view->Scene().xComponent, 2);
        QCOMPARE(view->Scene().yComponent, 0);
        QCOMPARE(view->XAxisBox()->currentIndex(), 2);
        // A hover shows the name and the scores on the chosen axes.
        const QPoint at = PointOf(*view, d->Record(4));
        const QString tip = view->Canvas()->ToolTipAt(at);
        QVERIFY2(tip.startsWith(QString::fromStdString(d->Name(4)) + "\nPC3: "), qPrintable(tip));
        QVERIFY(tip.contains(QStringLiteral("\nPC1: ")));
        QVERIFY(view->Canvas()->ToolTipAt(QPoint(2, 2)).isEmpty());
    }

    // In the main window: Display Morphospace shows the view; a click on a point selects the
    // member in the tree.
    void clickSelectsInTheTree() {
        MakeCluster();
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        CMainFrame frame(d->doc, d->ui, settings);
        RegisterRightPaneViews(*frame.GetMainView());
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        CSpecimenTreeView* tree = frame.GetMainView()->GetTreeView();
        tree->setCurrentItem(tree->ClusterRoot());
        QVERIFY(frame.OnCommand(ID_CLUSTER_DISPLAY_MORPHOSPACE));
        auto* shown = dynamic_cast<CClusterMorphospaceView*>(frame.GetMainView()->GetRightPane());
        QVERIFY(shown);
        const QPoint at = PointOf(*shown, d->Record(3));
        SendMouse(*shown->Canvas(), QEvent::MouseButtonPress, at);
        QCOMPARE(d->doc.GetClusterSelection(), d->Record(3));
        QCOMPARE(CSpecimenTreeView::RecordOf(tree->currentItem()), d->Record(3));
        QVERIFY(frame.GetMainView()->GetRightPane() == shown);
        QCOMPARE(shown->Scene().selectedPoint, 3);
    }

    void exportsPngSvgAndPdf() {
        MakeCluster();
        d->doc.SetTitle("valves");
        const std::string png = temp->File("space.png");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {png}});
        QVERIFY(view->OnCommand(ID_CLUSTER_EXPORT_IMAGE));
        QCOMPARE(d->ui.fileDialogs.back().fileName, std::string("valves.png"));
        QCOMPARE(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32),
                 view->Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32));
        std::string error;
        QVERIFY2(view->ExportImage(temp->File("space.svg"), error), error.c_str());
        QVERIFY(ReadBytes(temp->File("space.svg")).find("PC1 (") != std::string::npos);
        QVERIFY2(view->ExportImage(temp->File("space.pdf"), error), error.c_str());
        QCOMPARE(PdfPageCount(temp->File("space.pdf")), 1);
        QVERIFY(!view->ExportImage(temp->File("no/such/folder/space.png"), error));
        QVERIFY(!error.empty());
    }

    void printsOnePage() {
        MakeCluster();
        const QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
        const std::string pdf = temp->File("space-print.pdf");
        std::string error;
        QVERIFY2(PrintToPdfFile(pdf, layout, view->PrintSource(), error), error.c_str());
        QCOMPARE(PdfPageCount(pdf), 1);
    }

    // The scores table: a header and one row per member, the fields and the scores.
    void copiesTheScoresTable() {
        MakeCluster();
        QGuiApplication::clipboard()->clear();
        view->CopyScores();
        const QStringList lines =
            QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 7);
        QVERIFY(lines[0].startsWith(
            QStringLiteral("Specimen\tLocality\tSex\tStage\tIdentifier\tComment\tPC1")));
        QVERIFY(lines[4].startsWith(QString::fromStdString(d->Name(3)) + "\tK5\t"));
    }
};

std::unique_ptr<QObject> MakeMorphospaceViewTest() {
    return std::make_unique<CTestMorphospaceView>();
}

#include "test_morphospace_view.moc"
