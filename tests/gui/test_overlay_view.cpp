// The cluster overlay view against a real document: hints, the picture, printing with the
// member list, image export, and Cluster > Select in the main window.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "dialogs/select_specimens_dialog.h"
#include "document/command_ids.h"
#include "drawing/cluster_overlay_picture.h"
#include "model/approx_specimen.h"
#include "platform/recording_dc.h"
#include "qpainter_dc.h"
#include "views/overlay_view.h"
#include "views_test_support.h"

#include <QApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>

#include <cmath>

#include <memory>

class CTestOverlayView : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CClusterSpecimensView> view;
    std::unique_ptr<CTempFolder> temp;

    void MakeCluster(int members) {
        for (int i = 0; i < members; ++i)
            d->doc.InsertIntoCluster(d->Record(static_cast<std::size_t>(i)));
        if (members > 0)
            d->doc.SetReferenceRecord(d->Record(0));
    }

private slots:
    void init() {
        d = std::make_unique<CGuiTestDocument>();
        d->InsertSamples(); // twelve specimens: the sample twice
        d->InsertSamples();
        view = std::make_unique<CClusterSpecimensView>(d->doc);
        ShowView(*view, d->doc, {500, 380});
        temp = std::make_unique<CTempFolder>("carinova-overlay-view");
    }
    void cleanup() {
        d->doc.RemoveView(view.get());
        view.reset();
        d.reset();
        temp.reset();
    }

    void repaintsOnClusterHints_data() { AddHintRows({7, 8, 9, 11, 12, 13}); }
    void repaintsOnClusterHints() { CheckHintRepaint(*view); }

    // The screen draws the curves as hairlines and the members keep that pen width; the hint
    // lines of an empty cluster give way to the picture.
    void drawsMembersAsHairlines() {
        const QImage empty = view->grab().toImage();
        MakeCluster(4);
        for (CSpecimenRecord* record : d->doc.GetClusterList())
            record->GetClusterApproximation()->SetSplinePenWidth(3);
        const QImage image = view->grab().toImage();
        for (const CSpecimenRecord* record : d->doc.GetClusterList())
            QCOMPARE(record->GetClusterApproximation()->GetSplinePenWidth(), 0);
        QVERIFY(CountNonWhite(empty) > 0 && CountNonWhite(image) > 0 && empty != image);
    }

    // The picture is drawn once and copied on later paints. Cluster hints and a new size draw
    // it again; a changed drawing setting (hint 10) at the next paint, not at once. The copy
    // is what a fresh drawing gives.
    void keepsItsPictureUntilTheClusterOrTheSizeChanges() {
        MakeCluster(6);
        view->repaint();
        const int first = view->Picture().Renders();
        view->repaint();
        view->repaint();
        QCOMPARE(view->Picture().Renders(), first);
        d->doc.RemoveFromCluster(d->Record(5));
        view->repaint();
        QCOMPARE(view->Picture().Renders(), first + 1);
        view->resize(520, 390);
        view->repaint();
        QCOMPARE(view->Picture().Renders(), first + 2);
        d->doc.GetClusterParameter().DrawDeltaVectors = false;
        d->doc.UpdateAllViews(nullptr, hintClusterSelectionChanged, nullptr);
        CPaintCounter counter(*view);
        QCoreApplication::processEvents();
        QCOMPARE(counter.paints, 0);
        const QImage kept = view->grab().toImage();
        QCOMPARE(view->Picture().Renders(), first + 3);
        QImage fresh(view->size(), QImage::Format_ARGB32_Premultiplied);
        fresh.fill(Qt::white);
        {
            QPainter painter(&fresh);
            CQPainterDC dc(painter);
            DrawOverlayPicture(dc, d->doc, {view->width(), view->height()});
        }
        QCOMPARE(kept.convertToFormat(QImage::Format_RGB32),
                 fresh.convertToFormat(QImage::Format_RGB32));
    }

    // Page 1 holds the picture, then L = trunc((paper height in mm - 21) * 0.18897637795275593)
    // members a page; the expected counts are worked out by hand from that rule.
    void printsPictureAndMemberList_data() {
        QTest::addColumn<double>("heightMm");
        QTest::addColumn<bool>("list");
        QTest::addColumn<int>("members");
        QTest::addColumn<int>("pages");
        QTest::newRow("L=4: 0-3, 4-7, 8-9") << 45.0 << true << 10 << 4;
        QTest::newRow("L=7") << 60.0 << true << 10 << 3;
        QTest::newRow("A4, L=52") << 297.0 << true << 10 << 2;
        QTest::newRow("L=1") << 30.0 << true << 10 << 11;
        QTest::newRow("list off") << 45.0 << false << 10 << 1;
        QTest::newRow("empty cluster") << 45.0 << true << 0 << 1;
    }
    void printsPictureAndMemberList() {
        QFETCH(double, heightMm);
        QFETCH(bool, list);
        QFETCH(int, members);
        QFETCH(int, pages);
        MakeCluster(members);
        d->doc.GetClusterParameter().PrintSpecimenList = list;
        const QPageLayout layout(QPageSize(QSizeF(25.0, heightMm), QPageSize::Millimeter),
                                 QPageLayout::Portrait, QMarginsF());
        const std::string pdf = temp->File("overlay.pdf");
        std::string error;
        QVERIFY2(PrintToPdfFile(pdf, layout, view->PrintSource(), error), error.c_str());
        QCOMPARE(PdfPageCount(pdf), pages);
    }

    // In a wide window the height limits the scale; the legend under the picture stays inside
    // the window all the same. Text heights from the font, with Arial's cell (0.905 + 0.212).
    void legendStaysInsideAWideWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("wide 1400x420") << QSize(1400, 420);
        QTest::newRow("landscape 900x640") << QSize(900, 640);
        QTest::newRow("flat 1200x260") << QSize(1200, 260);
    }
    void legendStaysInsideAWideWindow() {
        QFETCH(QSize, size);
        MakeCluster(4);
        view->resize(size);
        CRecordingDC dc;
        dc.SetDeviceCaps(LOGPIXELSY, view->logicalDpiY());
        view->DrawPicture(dc);
        int legend = 0;
        for (const CRecordingDC::Op& op : dc.OpsOfKind(CRecordingDC::OpKind::Text)) {
            if (op.textAlign != (TA_RIGHT | TA_BASELINE))
                continue;
            ++legend;
            const double em = std::fabs(op.font.height * dc.ScaleY());
            const double baseline = dc.LPtoDPy(op.box.top);
            QVERIFY2(baseline - 0.905 * em >= 0.0 && baseline + 0.212 * em <= size.height(),
                     op.text.c_str());
        }
        QCOMPARE(legend, 3);
    }

    // Wheel and keys zoom the overlay too; the empty cluster's hints do not zoom.
    void zoomsAndPans() {
        QWheelEvent hintWheel(QPointF(10, 10), QPointF(view->mapToGlobal(QPoint(10, 10))), QPoint(),
                              QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
        QCoreApplication::sendEvent(view.get(), &hintWheel);
        QVERIFY(view->Zoom().IsFitted());
        MakeCluster(3);
        const QImage fitted = view->grab().toImage();
        QTest::keyClick(view.get(), Qt::Key_Plus);
        QCOMPARE(view->Zoom().Factor(), 1.25);
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(view.get(), QPoint(130, 90));
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(130, 90));
        // Zoomed about the centre c: offset c - 1.25 c; then moved by the drag (30, -10).
        const QPointF centre(view->width() / 2.0, view->height() / 2.0);
        const QPointF expected = centre - 1.25 * centre + QPointF(30, -10);
        QVERIFY((view->Zoom().Offset() - expected).manhattanLength() < 1.0);
        QVERIFY(view->grab().toImage() != fitted);
        QTest::keyClick(view.get(), Qt::Key_0);
        QCOMPARE(view->grab().toImage(), fitted);
    }

    void exportsUnderTheDocumentTitle() {
        MakeCluster(3);
        d->doc.SetTitle("valves");
        const std::string bmp = temp->File("overlay.bmp");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {bmp}});
        QVERIFY(view->OnCommand(ID_CLUSTER_EXPORT_IMAGE));
        QCOMPARE(d->ui.fileDialogs.back().fileName, std::string("valves.bmp"));
        QCOMPARE(QImage(QString::fromStdString(bmp)).convertToFormat(QImage::Format_RGB32),
                 view->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }

    // Cluster > Select opens the dialog only while no specimen is selected; "Select All" then
    // "Apply" makes every specimen a member in specimen-list order, one progress step each.
    void clusterSelectFromTheMenu() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        CMainFrame frame(d->doc, d->ui, settings);
        RegisterRightPaneViews(*frame.GetMainView());
        int dialogs = 0;
        auto answer = [&dialogs] {
            auto* dialog = dynamic_cast<CSelectSpecimensDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++dialogs;
            dialog->SelectAll();
            dialog->accept();
        };
        for (CSpecimenRecord* selected : {d->Record(0), static_cast<CSpecimenRecord*>(nullptr)}) {
            d->doc.SetSelectedRecord(selected);
            QTimer::singleShot(0, &frame, answer);
            QVERIFY(frame.OnCommand(ID_CLUSTER_SELECT));
            QCoreApplication::processEvents();
        }
        QCOMPARE(dialogs, 1);
        std::vector<CSpecimenRecord*> expected;
        for (const auto& record : d->doc.GetSpecimenList())
            expected.push_back(record.get());
        QVERIFY(d->doc.GetClusterList() == expected);
        QCOMPARE(d->ui.progressSteps, 12);
        QVERIFY(frame.OnCommand(ID_CLUSTER_DISPLAY_SPECIMENS));
        QVERIFY(dynamic_cast<CClusterSpecimensView*>(frame.GetMainView()->GetRightPane()));
    }
};

std::unique_ptr<QObject> MakeOverlayViewTest() {
    return std::make_unique<CTestOverlayView>();
}

#include "test_overlay_view.moc"
