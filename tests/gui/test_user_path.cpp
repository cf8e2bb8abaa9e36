// A user's way through the main window: every step goes through the frame's actions and the
// tree, with the scripted user answering the dialogs that would block.
#include "app/carinova_view.h"
#include "app/main_frame.h"
#include "app/right_pane_registry.h"
#include "document/command_ids.h"
#include "model/approx_sheet.h"
#include "model/approx_specimen.h"
#include "views/specimen_tree_view.h"
#include "views_test_support.h"

#include <QAction>
#include <QSettings>

#include <memory>

class CTestUserPath : public QObject {
    Q_OBJECT

    std::unique_ptr<CTempFolder> temp;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CMainFrame> frame;

    CSpecimenTreeView& Tree() const { return *frame->GetMainView()->GetTreeView(); }
    // Runs a command as a click on its menu item would, after the menus were updated.
    bool Trigger(int id) {
        frame->UpdateCommandUI();
        QAction* action = frame->GetAction(id);
        if (!action || !action->isEnabled())
            return false;
        action->trigger();
        QCoreApplication::processEvents();
        return true;
    }
    void Select(CSpecimenRecord* record, bool clusterItem = false) {
        Tree().setCurrentItem(clusterItem ? Tree().FindClusterItem(record)
                                          : Tree().FindSpecimenItem(record));
        QCoreApplication::processEvents();
    }
    static std::vector<FPoint> Points(const CSpecimenRecord* r) {
        return r->GetApproximation()->ApproxUpper.ControlPoints;
    }

private slots:
    void init() {
        temp = std::make_unique<CTempFolder>("carinova-user-path");
        settings = std::make_unique<QSettings>(QString::fromStdString(temp->File("s.ini")),
                                               QSettings::IniFormat);
        d = std::make_unique<CGuiTestDocument>();
        frame = std::make_unique<CMainFrame>(d->doc, d->ui, *settings);
        RegisterRightPaneViews(*frame->GetMainView());
        frame->resize(900, 600);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() {
        frame.reset();
        d.reset();
        settings.reset();
        temp.reset();
    }

    void insertSelectApproximateEditAndExport() {
        d->ui.fileDialogResults.push_back(
            {CFileDialogResult::Accepted, {std::string(CARINOVA_SAMPLES_DIR) + "/valves.tps"}});
        QVERIFY(Trigger(ID_SPECIMEN_INSERT));
        QCOMPARE(Tree().SpecimenRoot()->childCount(), 6);

        CSpecimenRecord* first = d->Record(0);
        QVERIFY(!Trigger(ID_APPROXIMATION_PROPERTIES)); // nothing selected yet
        Select(first);
        QCOMPARE(d->doc.GetSelectedRecord(), first);
        QCOMPARE(frame->GetMainView()->CurrentRightPane(), RightPaneKind::SingleView);

        d->ui.sheetEditors.push_back([](CModalSheet&) { return true; });
        QVERIFY(Trigger(ID_APPROXIMATION_CALCULATE));
        QVERIFY(first->HasApproximation());
        const std::size_t defaultCount = Points(first).size();

        // A changed control-point count refits; a changed colour alone keeps the curves.
        d->ui.sheetEditors.push_back([](CModalSheet& s) {
            dynamic_cast<CPropertySheetApprox&>(s).m_nControlPoints += 4;
            return true;
        });
        QVERIFY(Trigger(ID_APPROXIMATION_PROPERTIES));
        QCOMPARE(Points(first).size(), defaultCount + 4);
        const std::vector<FPoint> refitted = Points(first);
        d->ui.sheetEditors.push_back([](CModalSheet& s) {
            dynamic_cast<CPropertySheetApprox&>(s).m_crSpline = RGB(0, 128, 0);
            return true;
        });
        QVERIFY(Trigger(ID_APPROXIMATION_PROPERTIES));
        QCOMPARE(first->GetApproximation()->GetColor(), RGB(0, 128, 0));
        QVERIFY(Points(first) == refitted);

        const std::string bmp = temp->File("first.bmp");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {bmp}});
        QVERIFY(Trigger(ID_SPECIMEN_EXPORT_IMAGE));
        QCOMPARE(ReadBytes(bmp).substr(0, 2), std::string("BM"));
    }

    void clusterViewsAndDelete() {
        d->InsertSamples();
        CSpecimenRecord* first = d->Record(0);
        CSpecimenRecord* second = d->Record(1);
        for (CSpecimenRecord* r : {first, second}) {
            Select(r);
            QVERIFY(Trigger(ID_CLUSTER_INSERT));
        }
        QCOMPARE(d->doc.GetClusterList().size(), std::size_t{2});
        QCOMPARE(Tree().ClusterRoot()->childCount(), 2);

        Select(first, true);
        QCOMPARE(frame->GetMainView()->CurrentRightPane(), RightPaneKind::Overlay);
        QVERIFY(Trigger(ID_CLUSTER_MARK_REFERENCE));
        QCOMPARE(d->doc.GetReferenceRecord(), first);
        QVERIFY(Trigger(ID_CLUSTER_DISPLAY_COORDINATES));
        QCOMPARE(frame->GetMainView()->CurrentRightPane(), RightPaneKind::Coordinates);

        // Deleting a member's specimen takes it out of the cluster and the tree.
        Select(second);
        d->ui.answers.push_back(MsgAnswer::Yes);
        QVERIFY(Trigger(ID_SPECIMEN_DELETE));
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t{5});
        QCOMPARE(d->doc.GetClusterList().size(), std::size_t{1});
        QCOMPARE(Tree().ClusterRoot()->childCount(), 1);
    }
};

std::unique_ptr<QObject> MakeUserPathTest() {
    return std::make_unique<CTestUserPath>();
}

#include "test_user_path.moc"
