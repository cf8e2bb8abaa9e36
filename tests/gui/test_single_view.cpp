// The single view against a real document: its picture, hints, mouse coordinates, tool tips,
// control-point editing, image export and printing.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "model/approx_sheet.h"
#include "model/approx_specimen.h"
#include "model/specimen.h"
#include "support/hint_recorder.h"
#include "views/single_view.h"
#include "views_test_support.h"

#include <QPageLayout>
#include <QPageSize>
#include <QSettings>
#include <QTemporaryDir>

#include <cmath>
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

    void repaintsOnItsHints_data() { AddHintRows({1, 2, 3, 4, 5, 6}); }
    void repaintsOnItsHints() { CheckHintRepaint(*view); }

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
