// The specimen tree against a real document: hint reactions, selections and the right-hand
// pane, delete, rename, dragging into the cluster and the cluster commands.
#include "app/carinova_view.h"
#include "cluster/cluster_sheet.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "views/specimen_tree_view.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QString Label(const std::string& name, int index) {
    return QString::fromStdString(name) + QStringLiteral(" - ") + QString::number(index);
}

QStringList ChildLabels(const QTreeWidgetItem* root) {
    QStringList labels;
    for (int i = 0; i < root->childCount(); ++i)
        labels << root->child(i)->text(0);
    return labels;
}

QImage IconImage(const QTreeWidgetItem* item) {
    return item->icon(0).pixmap(16, 16).toImage();
}

} // namespace

class CTestSpecimenTree : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CCarinovaView> view;

    CSpecimenTreeView* Tree() const { return view->GetTreeView(); }
    QTreeWidgetItem* SpecimenItem(int i) const { return Tree()->SpecimenRoot()->child(i); }
    QTreeWidgetItem* ClusterItem(int i) const { return Tree()->ClusterRoot()->child(i); }
    QPoint Center(const QTreeWidgetItem* item) const {
        return Tree()->visualItemRect(item).center();
    }
    void Move(const QPoint& pos) {
        QMouseEvent event(QEvent::MouseMove, QPointF(pos),
                          QPointF(Tree()->viewport()->mapToGlobal(pos)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(Tree()->viewport(), &event);
    }
    void StartDrag(const QTreeWidgetItem* item) {
        const QPoint from = Center(item);
        QTest::mousePress(Tree()->viewport(), Qt::LeftButton, {}, from);
        Move(from + QPoint(0, 6));
        Move(from + QPoint(0, 12));
    }
    void Drag(const QTreeWidgetItem* from, const QTreeWidgetItem* to) {
        StartDrag(from);
        const QPoint target = Center(to);
        Move(target);
        QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, target);
    }

private slots:
    void init() {
        d = std::make_unique<CGuiTestDocument>();
        view = std::make_unique<CCarinovaView>(d->doc);
        view->resize(640, 480);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup() {
        view.reset();
        d.reset();
    }

    void rootsAndSpecimenItemsFollowInsertion() {
        QCOMPARE(Tree()->topLevelItemCount(), 2);
        QCOMPARE(Tree()->topLevelItem(0)->text(0), QStringLiteral("Specimen"));
        QCOMPARE(Tree()->topLevelItem(1)->text(0), QStringLiteral("Cluster"));
        d->InsertSamples();
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 6);
        QVERIFY(Tree()->SpecimenRoot()->isExpanded());
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(SpecimenItem(i)->text(0), QString::fromStdString(d->Name(i)));
            QCOMPARE(CSpecimenTreeView::RecordOf(SpecimenItem(i)), d->Record(i));
        }
        // An expanded root shows the open folder, a collapsed one the closed folder.
        QCOMPARE(Tree()->SpecimenRoot()->data(0, CSpecimenTreeView::ImageRole).toInt(), 1);
        Tree()->SpecimenRoot()->setExpanded(false);
        QCOMPARE(Tree()->SpecimenRoot()->data(0, CSpecimenTreeView::ImageRole).toInt(), 0);
    }

    void clusterItemsAreNumberedFromZeroWithoutGaps() {
        d->InsertSamples();
        for (int i : {0, 2, 4})
            d->doc.InsertIntoCluster(d->Record(i));
        QVERIFY(Tree()->ClusterRoot()->isExpanded());
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()),
                 QStringList({Label(d->Name(0), 0), Label(d->Name(2), 1), Label(d->Name(4), 2)}));
        // Items are renumbered once the action is over.
        d->doc.RemoveFromCluster(d->Record(2));
        QCoreApplication::processEvents();
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()),
                 QStringList({Label(d->Name(0), 0), Label(d->Name(4), 1)}));
        // Deleting a record takes its cluster item too.
        const std::string fourth = d->Name(4);
        d->doc.DeleteSpecimenRecord(d->Record(0));
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 5);
        QCoreApplication::processEvents();
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()), QStringList({Label(fourth, 0)}));
    }

    void renamingRelabelsSpecimenAndClusterItems() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(0));
        d->doc.InsertIntoCluster(d->Record(3));
        d->doc.RenameSpecimen(d->Record(3), "renamed valve");
        QCOMPARE(SpecimenItem(3)->text(0), QStringLiteral("renamed valve"));
        QCOMPARE(ClusterItem(1)->text(0), QStringLiteral("renamed valve - 1"));
        QCOMPARE(ClusterItem(0)->text(0), Label(d->Name(0), 0));
    }

    // Names are never cut short: the column is as wide as its longest label (with the item's
    // indentation and icon) and the tree scrolls sideways instead.
    void longLabelsScrollSideways() {
        d->InsertSamples();
        d->doc.RenameSpecimen(d->Record(0), "momitvb_allrapanui_specimen_with_a_long_name");
        for (std::size_t i = 0; i < 6; ++i)
            d->doc.InsertIntoCluster(d->Record(i));
        QCoreApplication::processEvents();
        QVERIFY(Tree()->width() < 300);
        for (const QTreeWidgetItem* item : {SpecimenItem(0), ClusterItem(0)}) {
            const int needed = 2 * Tree()->indentation() + Tree()->iconSize().width() +
                               Tree()->fontMetrics().horizontalAdvance(item->text(0));
            QVERIFY2(Tree()->columnWidth(0) >= needed, qPrintable(item->text(0)));
        }
        QVERIFY(Tree()->horizontalScrollBar()->maximum() > 0);
        QCOMPARE(Tree()->textElideMode(), Qt::ElideNone);
    }

    // Tree icons are drawn from their vector sources at 1, 2 and 3 times 16 pixels, so they
    // stay sharp on screens scaled to 150 % and 200 %.
    void iconsHaveSharpLargerSizes() {
        d->InsertSamples();
        const QIcon icon = SpecimenItem(0)->icon(0);
        for (const int size : {16, 32, 48})
            QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                     qPrintable(QString::number(size)));
        const QImage large = icon.pixmap(QSize(16, 16), 2.0).toImage();
        QCOMPARE(large.size(), QSize(32, 32));
        // A 16-pixel image blown up repeats each pixel in 2 x 2 blocks; a drawn one does not.
        bool blocky = true;
        for (int y = 0; y < 32 && blocky; y += 2)
            for (int x = 0; x < 32 && blocky; x += 2)
                blocky = large.pixel(x, y) == large.pixel(x + 1, y) &&
                         large.pixel(x, y) == large.pixel(x, y + 1);
        QVERIFY(!blocky);
    }

    // File > New empties both branches; the roots still show their expand buttons (drawn in
    // the branch column left of the folder icon) and the closed folder.
    void emptyRootsKeepTheirExpandButtons() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(0));
        d->doc.OnNewDocument();
        QCoreApplication::processEvents();
        const QImage image = Tree()->viewport()->grab().toImage();
        for (const QTreeWidgetItem* root : {Tree()->SpecimenRoot(), Tree()->ClusterRoot()}) {
            QVERIFY(!root->isExpanded());
            QCOMPARE(root->data(0, CSpecimenTreeView::ImageRole).toInt(), 0);
            const QRect row = Tree()->visualItemRect(root);
            int dark = 0;
            for (int y = row.top(); y <= row.bottom(); ++y)
                for (int x = 0; x < Tree()->indentation(); ++x)
                    dark += qGray(image.pixel(x, y)) < 160;
            QVERIFY2(dark > 0, qPrintable(root->text(0)));
        }
    }

    void approximationAndReferenceMarks() {
        d->InsertSamples();
        const QImage plain = IconImage(SpecimenItem(1));
        d->Approximate(d->Record(1));
        QVERIFY(d->Record(1)->HasApproximation());
        QCOMPARE(CSpecimenTreeView::OverlayOf(SpecimenItem(1)), 1);
        QCOMPARE(CSpecimenTreeView::OverlayOf(SpecimenItem(0)), 0);
        QVERIFY(IconImage(SpecimenItem(1)) != plain);
        d->doc.DeleteApproximation(d->Record(1));
        QCOMPARE(CSpecimenTreeView::OverlayOf(SpecimenItem(1)), 0);
        QCOMPARE(IconImage(SpecimenItem(1)), plain);

        d->doc.InsertIntoCluster(d->Record(0));
        d->doc.InsertIntoCluster(d->Record(1));
        d->doc.SetReferenceRecord(d->Record(0));
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(0)), 2);
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(1)), 0);
        d->doc.SetReferenceRecord(d->Record(1));
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(0)), 0);
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(1)), 2);
        d->doc.SetReferenceRecord(nullptr);
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(1)), 0);
    }

    void treeBuiltAfterTheDocumentShowsItsState() {
        d->InsertSamples();
        d->Approximate(d->Record(2));
        d->doc.InsertIntoCluster(d->Record(2));
        d->doc.SetReferenceRecord(d->Record(2));
        CCarinovaView late(d->doc);
        CSpecimenTreeView* tree = late.GetTreeView();
        QCOMPARE(tree->SpecimenRoot()->childCount(), 6);
        QCOMPARE(CSpecimenTreeView::OverlayOf(tree->SpecimenRoot()->child(2)), 1);
        QCOMPARE(tree->ClusterRoot()->child(0)->text(0), Label(d->Name(2), 0));
        QCOMPARE(CSpecimenTreeView::OverlayOf(tree->ClusterRoot()->child(0)), 2);
    }

    // An opened document takes the place of the former contents: the "Specimen" root is
    // selected and each branch is filled again in one insertion, with its marks.
    void exchangedContentsRefillEachBranchInOneStep() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(1));
        Tree()->setCurrentItem(ClusterItem(0));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Overlay);
        CGuiTestDocument other;
        for (int i = 0; i < 3; ++i)
            other.InsertSamples();
        other.Approximate(other.Record(4));
        for (std::size_t i : {7, 3, 12, 16})
            other.doc.InsertIntoCluster(other.Record(i));
        other.doc.SetReferenceRecord(other.Record(12));
        QSignalSpy inserted(Tree()->model(), &QAbstractItemModel::rowsInserted);

        d->doc.ExchangeContents(other.doc);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(Tree()->currentItem(), Tree()->SpecimenRoot());
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::SingleView);
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 18);
        for (int i = 0; i < 18; ++i) {
            QCOMPARE(SpecimenItem(i)->text(0), QString::fromStdString(d->Name(std::size_t(i))));
            QCOMPARE(CSpecimenTreeView::RecordOf(SpecimenItem(i)), d->Record(std::size_t(i)));
            QCOMPARE(CSpecimenTreeView::OverlayOf(SpecimenItem(i)), i == 4 ? 1 : 0);
        }
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()),
                 (QStringList{Label(d->Name(7), 0), Label(d->Name(3), 1), Label(d->Name(12), 2),
                              Label(d->Name(16), 3)}));
        QCOMPARE(CSpecimenTreeView::OverlayOf(ClusterItem(2)), 2);
        QVERIFY(Tree()->ClusterRoot()->isExpanded());
    }

    void meanSpecimenItemAndTheDeleteKey() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(0));
        d->doc.InsertIntoCluster(d->Record(1));
        d->doc.CalculateMeanSpecimen();
        CSpecimenRecord* mean = d->doc.GetClusterParameter().GetMeanRecord();
        QVERIFY(mean);
        QCOMPARE(Tree()->CountClusterItems(), 3);
        QCOMPARE(ClusterItem(2)->text(0), Label(mean->GetSpecimen()->ShortPathName, 2));

        Tree()->setFocus();
        Tree()->setCurrentItem(ClusterItem(2));
        QTest::keyClick(Tree(), Qt::Key_Delete);
        QVERIFY(!d->doc.GetClusterParameter().HasMeanRecord());
        QCOMPARE(Tree()->CountClusterItems(), 2);

        Tree()->setCurrentItem(ClusterItem(0));
        QTest::keyClick(Tree(), Qt::Key_Delete);
        QVERIFY(!d->doc.IsInCluster(d->Record(0)));
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6)); // still a specimen
        QCoreApplication::processEvents();
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()), QStringList({Label(d->Name(1), 0)}));

        CSpecimenRecord* third = d->Record(3);
        Tree()->setCurrentItem(SpecimenItem(3));
        QTest::keyClick(Tree(), Qt::Key_Delete);
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(5));
        QVERIFY(!d->doc.ContainsRecord(third));

        // A root: nothing happens.
        Tree()->setCurrentItem(Tree()->SpecimenRoot());
        QTest::keyClick(Tree(), Qt::Key_Delete);
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(5));
        QVERIFY(d->ui.messages.empty());
    }

    void selectionsAreExclusiveAndChooseThePane() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(1));
        Tree()->setCurrentItem(SpecimenItem(1));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::SingleView);
        QCOMPARE(d->doc.GetSelectedRecord(), d->Record(1));
        QCOMPARE(d->doc.GetClusterSelection(), nullptr);

        Tree()->setCurrentItem(ClusterItem(0));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Overlay);
        QCOMPARE(d->doc.GetSelectedRecord(), nullptr);
        QCOMPARE(d->doc.GetClusterSelection(), d->Record(1));

        Tree()->setCurrentItem(Tree()->SpecimenRoot());
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::SingleView);
        QCOMPARE(d->doc.GetSelectedRecord(), nullptr);
        QCOMPARE(d->doc.GetClusterSelection(), nullptr);

        // A cluster selection made elsewhere (a table) selects the item and shows the cluster.
        d->doc.SetClusterSelection(d->Record(1));
        QCOMPARE(Tree()->currentItem(), ClusterItem(0));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Overlay);
    }

    void removingTheLastSpecimenSelectsTheSpecimenRoot() {
        d->InsertSamples();
        while (d->doc.GetSpecimenList().size() > 1)
            d->doc.DeleteSpecimenRecord(d->Record(0));
        d->doc.InsertIntoCluster(d->Record(0));
        Tree()->setCurrentItem(ClusterItem(0));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Overlay);
        d->doc.DeleteSpecimenRecord(d->Record(0));
        QCOMPARE(Tree()->currentItem(), Tree()->SpecimenRoot());
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::SingleView);
        QCOMPARE(d->doc.GetSelectedRecord(), nullptr);
        QCOMPARE(d->doc.GetClusterSelection(), nullptr);
    }

    void displayCommandsChooseTheClusterViewShownLater() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(0));
        Tree()->setCurrentItem(SpecimenItem(2));
        QVERIFY(Tree()->OnCommand(ID_CLUSTER_DISPLAY_COORDINATES));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Coordinates);
        // The selections stay as they were.
        QCOMPARE(Tree()->currentItem(), SpecimenItem(2));
        QCOMPARE(d->doc.GetSelectedRecord(), d->Record(2));
        CCommandState state;
        QVERIFY(Tree()->OnUpdateCommand(ID_CLUSTER_DISPLAY_COORDINATES, state));
        QVERIFY(state.enabled && state.checked);
        state = {};
        QVERIFY(Tree()->OnUpdateCommand(ID_CLUSTER_DISPLAY_SPECIMENS, state));
        QVERIFY(state.enabled && !state.checked);

        Tree()->setCurrentItem(SpecimenItem(3));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::SingleView);
        Tree()->setCurrentItem(ClusterItem(0));
        QCOMPARE(view->CurrentRightPane(), RightPaneKind::Coordinates);

        const std::pair<int, RightPaneKind> commands[] = {
            {ID_CLUSTER_AREA_TOTAL, RightPaneKind::AreaTotal},
            {ID_CLUSTER_AREA_DORSAL, RightPaneKind::AreaDorsal},
            {ID_CLUSTER_AREA_VENTRAL, RightPaneKind::AreaVentral},
            {ID_CLUSTER_MEAN_DELTA, RightPaneKind::PairwiseRms},
            {ID_CLUSTER_DISPLAY_MORPHOSPACE, RightPaneKind::Morphospace},
            {ID_CLUSTER_DISPLAY_SPECIMENS, RightPaneKind::Overlay}};
        for (const auto& [id, kind] : commands) {
            QVERIFY(Tree()->OnCommand(id));
            QCOMPARE(view->CurrentRightPane(), kind);
            QCOMPARE(Tree()->LastClusterView(), std::optional<RightPaneKind>(kind));
        }
    }

    void clusterCommandStatesFollowSelectionAndCluster() {
        d->InsertSamples();
        auto update = [this](int id) {
            CCommandState state;
            const bool handled = Tree()->OnUpdateCommand(id, state);
            return std::make_pair(handled, state);
        };
        Tree()->setCurrentItem(Tree()->ClusterRoot());
        QVERIFY(update(ID_CLUSTER_MEAN).first);
        QVERIFY(!update(ID_CLUSTER_MEAN).second.enabled); // empty cluster
        d->doc.InsertIntoCluster(d->Record(0));
        Tree()->setCurrentItem(SpecimenItem(0));
        QVERIFY(!update(ID_CLUSTER_MEAN).second.enabled); // selection in the specimen branch
        QVERIFY(!update(ID_CLUSTER_EXPORT_IMAGE).second.enabled);
        Tree()->setCurrentItem(ClusterItem(0));
        QVERIFY(update(ID_CLUSTER_MEAN).second.enabled);
        QVERIFY(!update(ID_CLUSTER_MEAN).second.checked);
        QVERIFY(update(ID_CLUSTER_EXPORT_IMAGE).second.enabled);
        d->doc.CalculateMeanSpecimen();
        QVERIFY(update(ID_CLUSTER_MEAN).second.checked);
        Tree()->OnCommand(ID_CLUSTER_AREA_TOTAL);
        QVERIFY(!update(ID_CLUSTER_EXPORT_IMAGE).second.enabled);
        QVERIFY(update(ID_CLUSTER_PROPERTIES).second.enabled);
        QVERIFY(update(ID_CLUSTER_EXPORT).second.enabled);
        QVERIFY(!update(ID_SPECIMEN_INSERT).first); // the document's
    }

    void renamingByLabelEditing() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(2));
        d->doc.SetModifiedFlag(false);
        Tree()->setFocus();
        Tree()->setCurrentItem(SpecimenItem(2));
        Tree()->editItem(SpecimenItem(2));
        auto* editor = Tree()->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->setText(QStringLiteral("edited"));
        QTest::keyClick(editor, Qt::Key_Return); // the delegate commits on the next turn
        QTRY_COMPARE(d->Name(2), std::string("edited"));
        QCOMPARE(SpecimenItem(2)->text(0), QStringLiteral("edited"));
        QCOMPARE(ClusterItem(0)->text(0), QStringLiteral("edited - 0"));
        QVERIFY(d->doc.IsModified());

        // Roots and cluster items cannot be renamed.
        for (QTreeWidgetItem* item : {Tree()->SpecimenRoot(), ClusterItem(0)}) {
            Tree()->setCurrentItem(item);
            Tree()->editItem(item);
            QVERIFY(!Tree()->IsEditingLabel());
        }
    }

    void draggingASpecimenOntoTheCluster() {
        d->InsertSamples();
        Drag(SpecimenItem(1), Tree()->ClusterRoot());
        QVERIFY(!Tree()->IsDragging());
        QVERIFY(d->doc.IsInCluster(d->Record(1)));
        QCOMPARE(ChildLabels(Tree()->ClusterRoot()), QStringList({Label(d->Name(1), 0)}));
        // Onto a cluster item works as well.
        Drag(SpecimenItem(4), ClusterItem(0));
        QVERIFY(d->doc.IsInCluster(d->Record(4)));
        QVERIFY(d->ui.messages.empty());
        // A member dragged again meets the duplicate check of Cluster > Insert.
        Drag(SpecimenItem(1), Tree()->ClusterRoot());
        QCOMPARE(d->ui.messages.size(), std::size_t(1));
        QCOMPARE(d->doc.GetClusterList().size(), std::size_t(2));
    }

    void refusedDropsChangeNothing() {
        d->InsertSamples();
        Drag(SpecimenItem(1), Tree()->SpecimenRoot()); // its own parent
        Drag(SpecimenItem(1), SpecimenItem(3));        // not the cluster
        Drag(SpecimenItem(1), SpecimenItem(1));        // itself
        QVERIFY(d->doc.GetClusterList().empty());
        d->doc.InsertIntoCluster(d->Record(0));
        // Roots and cluster items cannot be dragged at all.
        StartDrag(ClusterItem(0));
        QVERIFY(!Tree()->IsDragging());
        QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, Center(ClusterItem(0)));
        StartDrag(Tree()->SpecimenRoot());
        QVERIFY(!Tree()->IsDragging());
        QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, Center(Tree()->SpecimenRoot()));
        QCOMPARE(d->doc.GetClusterList().size(), std::size_t(1));
        QVERIFY(d->ui.messages.empty());
    }

    void hoveringDuringADragExpandsACollapsedItem() {
        d->InsertSamples();
        d->doc.InsertIntoCluster(d->Record(0));
        Tree()->ClusterRoot()->setExpanded(false);
        StartDrag(SpecimenItem(2));
        QVERIFY(Tree()->IsDragging());
        Move(Center(Tree()->ClusterRoot()));
        QCOMPARE(Tree()->DropTarget(), Tree()->ClusterRoot());
        QVERIFY(!Tree()->ClusterRoot()->isExpanded());
        QVERIFY(Tree()->IsDragTimerActive());
        QTRY_VERIFY_WITH_TIMEOUT(Tree()->ClusterRoot()->isExpanded(), 3000);
        QVERIFY(!Tree()->IsDragTimerActive());
        QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, Center(Tree()->ClusterRoot()));
        QVERIFY(d->doc.IsInCluster(d->Record(2)));
    }

    void holdingNearAnEdgeScrollsUntilTheEnd() {
        for (int i = 0; i < 4; ++i)
            d->InsertSamples();
        view->resize(400, 160);
        QCoreApplication::processEvents();
        QScrollBar* bar = Tree()->verticalScrollBar();
        QVERIFY(bar->maximum() > 3);
        StartDrag(SpecimenItem(0));
        const int height = Tree()->viewport()->height();
        Move(QPoint(30, height - 5));
        QVERIFY(Tree()->IsDragTimerActive());
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), bar->maximum(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!Tree()->IsDragTimerActive(), 2000);
        Move(QPoint(30, 5));
        QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 0, 10000);
        QTest::mouseRelease(Tree()->viewport(), Qt::LeftButton, {}, QPoint(30, 5));
        QVERIFY(!Tree()->IsDragging());
    }

    void clusterPropertiesOnAnEmptyClusterApplyWithoutAsking() {
        d->ui.sheetEditors.push_back([](CModalSheet& sheet) {
            auto& cluster = dynamic_cast<CPropertySheetCluster&>(sheet);
            cluster.m_nControlPoints = 11;
            cluster.m_nNormalize = 0;
            return true;
        });
        QVERIFY(Tree()->OnCommand(ID_CLUSTER_PROPERTIES));
        QCOMPARE(d->ui.sheetCaptions, std::vector<std::string>{"Approximation"});
        QCOMPARE(d->doc.GetClusterParameter().ControlPointsCnt, 11);
        QCOMPARE(d->doc.GetClusterParameter().Normalize, 0);
        QVERIFY(d->ui.messages.empty());
        QVERIFY(d->doc.IsModified());
    }
};

std::unique_ptr<QObject> MakeSpecimenTreeTest() {
    return std::make_unique<CTestSpecimenTree>();
}

#include "test_specimen_tree.moc"
