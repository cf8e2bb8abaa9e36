// The single view against a real document: its picture, hints, mouse coordinates, tool tips,
// control-point editing, image export and printing.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "drawing/source_image.h"
#include "file_filter.h"
#include "gdi_to_qt.h"
#include "image_specimen_file.h"
#include "model/approx_sheet.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "platform/recording_dc.h"
#include "support/hint_recorder.h"
#include "views/single_view.h"
#include "views_test_support.h"

#include <QPageLayout>
#include <QPainter>
#include <QPageSize>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <cmath>
#include <filesystem>
#include <memory>

namespace {

CPoint Rounded(FPoint p) {
    return {static_cast<int>(std::lround(p.x)), static_cast<int>(std::lround(p.y))};
}

unsigned LittleEndian(const std::string& bytes, std::size_t offset, int size) {
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + i));
    return value;
}

// Every text of the view's picture lies inside the view, and the name, the scale-bar caption
// and the three error lines are among them. Each text's height is worked out from its font,
// with the cell of Arial (ascent 0.905, descent 0.212 of the em).
void CheckTextsInside(CSpecimenSingleView& view, const std::string& name) {
    const QSize size = view.size();
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSY, view.logicalDpiY());
    view.DrawPicture(dc);
    QStringList texts;
    for (const CRecordingDC::Op& op : dc.OpsOfKind(CRecordingDC::OpKind::Text)) {
        const double em = std::fabs(op.font.height * dc.ScaleY());
        const double y = dc.LPtoDPy(op.box.top);
        double top = y;
        if ((op.textAlign & TA_VERT_MASK) == TA_BASELINE)
            top = y - 0.905 * em;
        else if ((op.textAlign & TA_VERT_MASK) == TA_BOTTOM)
            top = y - 1.117 * em;
        const double bottom = top + 1.117 * em;
        const double x = dc.LPtoDPx(op.box.left);
        QVERIFY2(top >= 0.0 && bottom <= size.height() && x >= 0.0 && x < size.width(),
                 qPrintable(QStringLiteral("%1 at %2 .. %3 in %4")
                                .arg(op.text.c_str())
                                .arg(top)
                                .arg(bottom)
                                .arg(size.height())));
        texts << QString::fromStdString(op.text);
    }
    for (const QString& expected :
         {QStringLiteral("Number of Iterations"), QStringLiteral("Mean Error"),
          QStringLiteral("Maximum Error"), QStringLiteral("100 "), QString::fromStdString(name)})
        QVERIFY2(!texts.filter(expected).isEmpty(), qPrintable(expected));
}

} // namespace

class CTestSingleView : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CSpecimenSingleView> view;
    std::unique_ptr<CTempFolder> temp;

    CSpecimenRecord* SelectApproximated() {
        d->Approximate(d->Record(0));
        d->doc.SetSelectedRecord(d->Record(0));
        return d->Record(0);
    }

private slots:
    void init() {
        d = std::make_unique<CGuiTestDocument>();
        d->InsertSamples();
        view = std::make_unique<CSpecimenSingleView>(d->doc);
        ShowView(*view, d->doc, {480, 360});
        temp = std::make_unique<CTempFolder>("carinova-single-view");
    }
    void cleanup() {
        d->doc.RemoveView(view.get());
        view.reset();
        d.reset();
        temp.reset();
    }

    // The outline passes through the pixels its contour points map to; an approximation adds
    // its yellow control-point marks. Without a selection the picture is the hint screen.
    void drawsTheSelectedOutline() {
        const CSpecimen& specimen = *d->Record(0)->GetSpecimen();
        d->doc.SetSelectedRecord(d->Record(0));
        const QImage outline = view->grab().toImage();
        const int n = static_cast<int>(specimen.Contour.size());
        for (int i = 0; i < n; i += n / 12)
            QVERIFY(DarkNear(outline, view->ToClient(Rounded(specimen.GetTransformedPoint(i)))));

        const CApproxSpecimen& approx = *SelectApproximated()->GetApproximation();
        const QImage approximated = view->grab().toImage();
        for (const CBSpline* curve : {&approx.ApproxUpper, &approx.ApproxLower})
            for (const FPoint point : curve->ControlPoints)
                QCOMPARE(approximated.pixel(view->ToClient(Rounded(point)) + QPoint(1, 1)),
                         qRgb(255, 255, 0));

        d->doc.SetSelectedRecord(nullptr);
        const QImage hints = view->grab().toImage();
        QVERIFY(CountNonWhite(hints) > 0 && hints != outline);
    }

    // A traced valve shows its image under the outline while the View toggle is on: a pixel of
    // the valve (dark 40 at 60 % over white) and one of the ground (220) where the mapping puts
    // them; outside the image the paper stays white. A sample specimen has no image to show.
    void showsTheSourceImageUnderTheOutline() {
        QImage picture(160, 100, QImage::Format_Grayscale8);
        picture.fill(220);
        QPainter painter(&picture);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 40, 40));
        painter.drawEllipse(QRectF(30, 25, 100, 50));
        painter.end();
        const std::string path = (temp->Path() / "valve.png").string();
        QVERIFY(picture.save(QString::fromStdString(path)));
        CSpecimenFile traced = TraceImageFile(path, {}).file;
        QCOMPARE(traced.specimens.size(), std::size_t{1});
        d->doc.AddSpecimenRecord(std::make_unique<CSpecimenRecord>(std::move(traced.specimens[0])));
        bool enabled = true;
        d->doc.SetSelectedRecord(d->Record(0));
        QVERIFY(view->OnUpdateCommand(ID_VIEW_SOURCE_IMAGE, enabled) && !enabled);
        d->doc.SetSelectedRecord(d->Record(6));
        QVERIFY(view->OnUpdateCommand(ID_VIEW_SOURCE_IMAGE, enabled) && enabled);
        QVERIFY(!view->IsCommandChecked(ID_VIEW_SOURCE_IMAGE));

        const CAffineMap m = ImageToSpecimenMap(*d->Record(6)->GetSpecimen(), 100);
        const auto client = [&](double x, double y) {
            return view->ToClient(CPoint{static_cast<int>(std::lround(m.m11 * x + m.m21 * y + m.dx)),
                                         static_cast<int>(std::lround(m.m12 * x + m.m22 * y + m.dy))});
        };
        // A tall window shows paper below the image.
        view->resize(480, 900);
        const QPoint valve = client(62.5, 58.5), ground = client(120.5, 30.5);
        const QPoint outside = client(140.5, 115.0);
        for (const QPoint& p : {valve, ground, outside})
            QVERIFY2(view->rect().contains(p), qPrintable(QStringLiteral("%1, %2").arg(p.x()).arg(p.y())));
        const QImage off = view->grab().toImage();
        QCOMPARE(qGray(off.pixel(valve)), 255);
        QCOMPARE(qGray(off.pixel(ground)), 255);
        QVERIFY(view->OnCommand(ID_VIEW_SOURCE_IMAGE));
        QVERIFY(view->IsCommandChecked(ID_VIEW_SOURCE_IMAGE));
        const QImage on = view->grab().toImage();
        QVERIFY(std::abs(qGray(on.pixel(valve)) - (255 - 0.6 * 215)) <= 3);
        QVERIFY(std::abs(qGray(on.pixel(ground)) - (255 - 0.6 * 35)) <= 3);
        QCOMPARE(qGray(on.pixel(outside)), 255);
    }

    // A rename (hint 14) changes the name under the picture, so it repaints too.
    void repaintsOnItsHints_data() { AddHintRows({1, 2, 3, 4, 5, 6, 14}); }
    void repaintsOnItsHints() { CheckHintRepaint(*view); }

    // The texts around the picture (name, scale-bar caption, the three error lines) lie inside
    // the window whatever its shape: their room is part of the fit.
    void textsStayInsideTheWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("landscape 900x640") << QSize(900, 640);
        QTest::newRow("1300x950") << QSize(1300, 950);
        QTest::newRow("flat 1400x260") << QSize(1400, 260);
        QTest::newRow("tall 420x900") << QSize(420, 900);
    }
    void textsStayInsideTheWindow() {
        QFETCH(QSize, size);
        const CSpecimenRecord* record = SelectApproximated();
        view->resize(size);
        CheckTextsInside(*view, record->GetSpecimen()->ShortPathName);
    }

    // The same in the main window as it opens (900 x 640) and larger, for real valves.
    void realValvesShowTheirTextsInTheMainWindow_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("900x640") << QSize(900, 640);
        QTest::newRow("1300x950") << QSize(1300, 950);
    }
    void realValvesShowTheirTextsInTheMainWindow() {
        QFETCH(QSize, size);
        const std::string file = std::string(CARINOVA_REAL_DATA_DIR) + "/momitvb_allrapanui.tps";
        if (!std::filesystem::exists(file))
            QSKIP("the real outline files are not there");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {file}});
        d->doc.OnSpecimenInsert();
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        CMainFrame frame(d->doc, d->ui, settings);
        RegisterRightPaneViews(*frame.GetMainView());
        frame.resize(size);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        for (std::size_t i = 6; i < d->doc.GetSpecimenList().size(); i += 12) {
            d->Approximate(d->Record(i));
            d->doc.SetSelectedRecord(d->Record(i));
            auto* pane = dynamic_cast<CSpecimenSingleView*>(frame.GetMainView()->GetRightPane());
            QVERIFY(pane);
            CheckTextsInside(*pane, d->Name(i));
        }
    }

    // The pane shows specimen coordinates: the client's top-left corner is the top-left corner
    // of the bounding box widened by 15 % and raised by another 10 % of its height.
    void coordinatesInTheStatusBar() {
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("s.ini")), QSettings::IniFormat);
        CMainFrame frame(d->doc, d->ui, settings);
        RegisterRightPaneViews(*frame.GetMainView());
        frame.show();
        d->doc.SetSelectedRecord(d->Record(1));
        QWidget* pane = frame.GetMainView()->GetRightPane();
        QVERIFY(dynamic_cast<CSpecimenSingleView*>(pane));

        FRect box;
        d->Record(1)->GetSpecimen()->GetBoundingBox(box);
        const double h = box.Height();
        SendMouse(*pane, QEvent::MouseMove, QPoint(0, 0));
        const QStringList xy = frame.CoordinatesText().split(QStringLiteral(", "));
        QCOMPARE(xy.size(), 2);
        QVERIFY(std::fabs(xy[0].toInt() - (box.min.x - 0.15 * box.Width())) <= 1.5);
        QVERIFY(std::fabs(xy[1].toInt() - (box.max.y + 0.15 * h + 0.1 * 1.3 * h)) <= 1.5);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(pane, &leave);
        QCOMPARE(frame.CoordinatesText(), QStringLiteral("Coordinates"));
    }

    // The tool tip names the control point under the mouse; a click on it opens the editor with
    // its coordinates, and the edited point is kept and announced to the other views.
    void toolTipAndControlPointEditing() {
        CSpecimenRecord* record = SelectApproximated();
        CApproxSpecimen& approx = *record->GetApproximation();
        const FPoint point = approx.ApproxUpper.ControlPoints[2];
        const QPoint at = view->ToClient(Rounded(point));
        QVERIFY(QString::fromStdString(view->ToolTipTextAt(at))
                    .contains(QRegularExpression(QStringLiteral("^Nr\\.2 \\(.*\\) dorsal$"))));
        QVERIFY(view->ToolTipTextAt(QPoint(1, 1)).empty());

        CHintRecorder others(d->doc);
        d->doc.SetModifiedFlag(false);
        SendMouse(*view, QEvent::MouseButtonPress, QPoint(1, 1)); // no point: no dialog
        d->ui.sheetEditors.push_back([point](CModalSheet& sheet) {
            auto& dialog = dynamic_cast<CControlPointDialog&>(sheet);
            if (dialog.m_fX != point.x || dialog.m_fY != point.y || !dialog.m_bYEnabled)
                return false;
            dialog.m_fX += 10.0f;
            return true;
        });
        SendMouse(*view, QEvent::MouseButtonPress, at);
        QCOMPARE(d->ui.sheetCaptions.back(), std::string("Control points"));
        QCOMPARE(approx.ApproxUpper.ControlPoints[2].x, point.x + 10.0f);
        QVERIFY(d->doc.IsModified());
        QVERIFY(others.received == (std::vector<std::pair<int, CObject*>>{{3, record}}));
    }

    // BMP: 24 bits a pixel at the view's size with a true file size; PNG when the name asks for
    // it, holding what the view shows. A failed dialog or an unwritable folder is reported.
    void exportsTheImage() {
        CSpecimenRecord* record = SelectApproximated();
        const std::size_t first = d->ui.fileDialogs.size();
        const std::string bmp = temp->File("view.bmp");
        const std::string png = temp->File("view.png");
        for (const std::string& file : {bmp, png, temp->File("missing/view.bmp")})
            d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {file}});
        d->ui.fileDialogResults.push_back({CFileDialogResult::Failed, {}});
        for (int i = 0; i < 4; ++i)
            view->OnCommand(ID_SPECIMEN_EXPORT_IMAGE);
        const CFileDialogRequest& request = d->ui.fileDialogs.at(first);
        QCOMPARE(request.fileName, record->GetSpecimen()->ShortPathName + ".bmp");
        QCOMPARE(request.title, std::string("Export image"));
        QVERIFY(!request.open && request.overwritePrompt && request.defaultExt.empty());

        const std::string bytes = ReadBytes(bmp);
        QCOMPARE(bytes.substr(0, 2), std::string("BM"));
        QCOMPARE(LittleEndian(bytes, 2, 4), static_cast<unsigned>(bytes.size()));
        QCOMPARE(LittleEndian(bytes, 18, 4), static_cast<unsigned>(view->width()));
        QCOMPARE(LittleEndian(bytes, 22, 4), static_cast<unsigned>(view->height()));
        QCOMPARE(LittleEndian(bytes, 28, 2), 24u);
        QCOMPARE(ReadBytes(png).substr(0, 4), std::string("\x89PNG"));
        QCOMPARE(QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32),
                 view->grab().toImage().convertToFormat(QImage::Format_RGB32));
        const std::vector<std::string> messages = d->ui.MessageTexts();
        QCOMPARE(messages.size(), std::size_t{2});
        QCOMPARE(messages[1], std::string("Could not save the image."));
    }

    // The wheel zooms about the mouse: the specimen point under it stays there, the status bar
    // and the tool tip still name it, and its neighbours move away by the zoom factor. The
    // arrows pan by a tenth of the window; "fit to window" brings back the fitted picture.
    void zoomAndPanKeepTheCoordinatesRight() {
        CSpecimenRecord* record = SelectApproximated();
        const QImage fitted = view->grab().toImage();
        const CPoint point = Rounded(record->GetApproximation()->ApproxUpper.ControlPoints[2]);
        const CPoint neighbour = Rounded(record->GetApproximation()->ApproxUpper.ControlPoints[4]);
        const QPoint at = view->ToClient(point);
        const QPoint apart = view->ToClient(neighbour) - at;
        QWheelEvent wheel(QPointF(at), QPointF(view->mapToGlobal(at)), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.get(), &wheel);
        QCOMPARE(view->Zoom().Factor(), 1.5625);
        QVERIFY((view->ToClient(point) - at).manhattanLength() <= 2);
        const QPoint zoomedApart = view->ToClient(neighbour) - view->ToClient(point);
        QVERIFY(std::abs(zoomedApart.x() - 1.5625 * apart.x()) <= 3);
        QVERIFY(std::abs(zoomedApart.y() - 1.5625 * apart.y()) <= 3);
        QSignalSpy coordinates(view.get(), &CRightPaneView::coordinatesText);
        SendMouse(*view, QEvent::MouseMove, view->ToClient(point));
        const QStringList xy = coordinates.last().at(0).toString().split(QStringLiteral(", "));
        QVERIFY(std::abs(xy.value(0).toInt() - point.x) <= 1 &&
                std::abs(xy.value(1).toInt() - point.y) <= 1);
        QVERIFY(!view->ToolTipTextAt(view->ToClient(point)).empty());

        const QPoint before = view->ToClient(point);
        QTest::keyClick(view.get(), Qt::Key_Left);
        QVERIFY(std::abs(view->ToClient(point).x() - (before.x() + view->width() / 10)) <= 1);
        QVERIFY(view->OnCommand(ID_VIEW_ZOOM_FIT));
        QVERIFY(view->Zoom().IsFitted());
        QCOMPARE(view->grab().toImage(), fitted);
    }

    // The export offers BMP, PNG, SVG and PDF; the name's extension chooses, and a name without
    // one takes the format of the filter chosen.
    void exportsInFourFormats() {
        SelectApproximated();
        const std::string svg = temp->File("view.svg");
        const std::string pdf = temp->File("view.PDF");
        const std::string plain = temp->File("view");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {svg}});
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {pdf}});
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {plain}, 1});
        for (int i = 0; i < 3; ++i)
            view->OnCommand(ID_SPECIMEN_EXPORT_IMAGE);
        QVERIFY(d->ui.MessageTexts().empty());
        QCOMPARE(TranslateFileFilter(d->ui.fileDialogs.back().filter),
                 QStringList({"Bitmap File (*.bmp)", "PNG Image (*.png)", "SVG Drawing (*.svg)",
                              "PDF Document (*.pdf)"}));
        QVERIFY(ReadBytes(svg).find("<svg") != std::string::npos);
        QCOMPARE(ReadBytes(pdf).substr(0, 5), std::string("%PDF-"));
        QCOMPARE(PdfPageCount(pdf), 1);
        QCOMPARE(ReadBytes(plain).substr(0, 4), std::string("\x89PNG"));
    }

    // The mean specimen has no outline; the view draws its cluster approximation, both curves
    // in the mean colour, with its name.
    void drawsTheMeanSpecimen() {
        for (std::size_t i = 0; i < 3; ++i)
            d->doc.InsertIntoCluster(d->Record(i));
        d->doc.CalculateMeanSpecimen();
        CSpecimenRecord* mean = d->doc.GetClusterParameter().GetMeanRecord();
        d->doc.SetSelectedRecord(mean);
        const QImage image = view->grab().toImage();
        const QRgb colour = ToQColor(d->doc.GetClusterParameter().MeanSpecimenColor).rgb();
        int meanPixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                meanPixels += image.pixel(x, y) == colour;
        QVERIFY2(meanPixels > 200, qPrintable(QString::number(meanPixels)));
        CRecordingDC dc;
        view->DrawPicture(dc);
        bool named = false;
        for (const CRecordingDC::Op& op : dc.OpsOfKind(CRecordingDC::OpKind::Text))
            named = named || op.text == "<Mean Specimen>";
        QVERIFY(named);
    }

    void printsOnePage() {
        SelectApproximated();
        const std::string pdf = temp->File("specimen.pdf");
        std::string error;
        const QPageLayout a4(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
        QVERIFY(PrintToPdfFile(pdf, a4, view->PrintSource(), error));
        QCOMPARE(PdfPageCount(pdf), 1);
    }
};

std::unique_ptr<QObject> MakeSingleViewTest() {
    return std::make_unique<CTestSingleView>();
}

#include "test_single_view.moc"
