// The five cluster tables against a cluster of the sample valves: cells against the
// document's stored comparisons and records, hints, sorting, the clipboard copies, deleting,
// editing control points and exporting the selected rows. With "--screenshot <file>" the program
// writes a picture of the coordinates table instead.
#include "app/carinova_view.h"
#include "app/right_pane_registry.h"
#include "cluster/spline_areas.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "model/approx_sheet.h"
#include "views/cluster_areatotal_view.h"
#include "views/cluster_coordinates_view.h"
#include "views/cluster_list_control.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
constexpr int kMembers = 5;

// Keeps a view attached to the document for its lifetime.
template <class V> struct CShownView {
    CCarinovaDoc& doc;
    std::unique_ptr<V> view;
    CShownView(CCarinovaDoc& d, std::unique_ptr<V> v) : doc(d), view(std::move(v)) {
        doc.AddView(view.get());
        view->resize(1100, 320);
        view->show();
        view->OnInitialUpdate();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qWarning("the table view was not exposed");
    }
    ~CShownView() { doc.RemoveView(view.get()); }
    CClusterListControl* List() const { return view->GetListCtrl(); }
};

QStringList HeaderTexts(const CClusterListControl* list, std::initializer_list<int> columns) {
    QStringList texts;
    for (int column : columns)
        texts << list->horizontalHeaderItem(column)->text();
    return texts;
}

QStringList ColumnTexts(const CClusterListControl* list, int column) {
    QStringList texts;
    for (int row = 0; row < list->rowCount(); ++row)
        texts << list->CellText(row, column);
    return texts;
}

// Enabled menu items by their text.
QStringList EnabledItems(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator() && action->isEnabled())
            texts << action->text();
    }
    return texts;
}
} // namespace

class CTestClusterTables : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;

    CCarinovaDoc& Doc() { return d->doc; }
    QString Fmt(float v) const { return QString::fromStdString(d->doc.FormatLocalizedNumber(v)); }
    QString PointText(FPoint p) const { return Fmt(p.x) + " / " + Fmt(p.y); }
    float Parse(const QString& text) const {
        return d->doc.ParseLocalizedNumber(text.toStdString());
    }
    template <class V> std::unique_ptr<CShownView<V>> Show() {
        return std::make_unique<CShownView<V>>(Doc(), std::make_unique<V>(Doc()));
    }
    static QPoint CellCenter(const CClusterListControl* list, int row, int column) {
        return list->visualRect(list->model()->index(row, column)).center();
    }
    static QPoint HeaderPoint(const CClusterListControl* list, int column) {
        const QHeaderView* header = list->horizontalHeader();
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
    }

    // Members 0 to 4 of the samples, member 0 the reference.
    void MakeCluster() {
        d->InsertSamples();
        for (int i = 0; i < kMembers; ++i)
            Doc().InsertIntoCluster(d->Record(static_cast<std::size_t>(i)));
        Doc().SetReferenceRecord(d->Record(0));
    }

private slots:
    void init() {
        d = std::make_unique<CGuiTestDocument>();
        // A comma locale with four decimals, so sorting has to read the user's numbers.
        Doc().SetNumberLocale({.decimalSeparator = ",", .thousandSeparator = ".", .digits = 4});
    }
    void cleanup() { d.reset(); }

    void pairwiseTablesMatchTheStoredComparisons_data() {
        QTest::addColumn<int>("measure");
        QTest::newRow("mean delta") << int(CClusterPairwiseView::Measure::MeanDelta);
        QTest::newRow("area dorsal") << int(CClusterPairwiseView::Measure::AreaDorsal);
        QTest::newRow("area ventral") << int(CClusterPairwiseView::Measure::AreaVentral);
        QTest::newRow("area total") << int(CClusterPairwiseView::Measure::AreaTotal);
    }
    // Each record in turn becomes the reference: the document's stored comparison of every
    // member with it, computed on another path, is that record's row. A new reference does not
    // rebuild the table, so it stays the one built first.
    void pairwiseTablesMatchTheStoredComparisons() {
        QFETCH(int, measure);
        using M = CClusterPairwiseView::Measure;
        const auto m = static_cast<M>(measure);
        MakeCluster();
        CShownView<CClusterPairwiseView> v(Doc(), std::make_unique<CClusterPairwiseView>(Doc(), m));
        const CClusterListControl* list = v.List();
        QCOMPARE(list->rowCount(), kMembers);
        QCOMPARE(HeaderTexts(list, {0, 1, kMembers, kMembers + 1}),
                 (QStringList{"Specimen", "1", QString::number(kMembers), ""}));
        bool anyNc = false;
        for (int r = 0; r < kMembers; ++r) {
            Doc().SetReferenceRecord(d->Record(std::size_t(r)));
            QCOMPARE(list->CellText(r, 0), QString::fromStdString(d->Name(std::size_t(r))));
            for (int c = 0; c < kMembers; ++c) {
                const CClusterData& data = *d->Record(std::size_t(c))->GetClusterData();
                const float stored = m == M::MeanDelta     ? data.MeanDeltaQuadrat
                                     : m == M::AreaDorsal  ? data.Areadorsal
                                     : m == M::AreaVentral ? data.Areaventral
                                                           : data.Areatotal;
                const QString cell = list->CellText(r, c + 1);
                anyNc = anyNc || stored < 0.0f;
                if (stored < 0.0f)
                    QCOMPARE(cell, QString("n.c."));
                else // four decimals, and the sums run in another order
                    QVERIFY2(std::fabs(Parse(cell) - stored) <= 1e-4f + 1e-5f * stored,
                             qPrintable(cell + " vs " + QString::number(stored)));
            }
        }
        QCOMPARE(!d->ui.messages.empty() &&
                     d->ui.messages.back().text == "One or several specimens cannot be calculated",
                 anyNc);
        QVERIFY(EnabledItems(*v.view->CreateContextMenu()) == QStringList{"Copy sheet"});
    }

    void registeredTablesFillThePaneAndTakeCommands() {
        MakeCluster();
        CCarinovaView main(Doc());
        RegisterRightPaneViews(main);
        const std::pair<RightPaneKind, int> kinds[] = {{RightPaneKind::PairwiseRms, 7},
                                                       {RightPaneKind::AreaDorsal, 7},
                                                       {RightPaneKind::AreaVentral, 7},
                                                       {RightPaneKind::AreaTotal, 7},
                                                       {RightPaneKind::Coordinates, 43}};
        for (const auto& [kind, columns] : kinds) {
            main.SetRightPane(kind);
            auto* table = dynamic_cast<CClusterTableView*>(main.GetRightPane());
            QVERIFY(table);
            QCOMPARE(table->GetListCtrl()->rowCount(), kMembers);
            QCOMPARE(table->GetListCtrl()->columnCount(), columns);
            QVERIFY(main.RouteCommand(ID_CLUSTER_COPY_SHEET));
            QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), kMembers);
        }
    }

    void pairwiseTablesStayStaleUntilRebuilt() {
        MakeCluster();
        auto v = Show<CClusterAreatotalView>();
        const QString name = QString::fromStdString(d->Name(1));
        Doc().CalculateMeanSpecimen();
        Doc().RenameSpecimen(d->Record(1), "renamed");
        QCOMPARE(v->List()->rowCount(), kMembers);
        QCOMPARE(v->List()->CellText(1, 0), name);
        Doc().RemoveFromCluster(d->Record(4));
        QCOMPARE(v->List()->rowCount(), kMembers); // four members and the mean
        QCOMPARE(v->List()->CellText(1, 0), QString("renamed"));
        QCOMPARE(v->List()->columnCount(), kMembers + 2);
    }

    void coordinatesCellsFollowTheRecords() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        const CClusterListControl* list = v->List();
        // 10 fixed columns, 4 x 8 point and delta columns and the empty last one.
        QCOMPARE(list->columnCount(), 43);
        QCOMPARE(HeaderTexts(list, {0, 1, 2, 5, 9, 10, 11, 18, 25, 26, 34, 41, 42}),
                 (QStringList{"Nr", "Specimen", "Area total", "Mean Delta-Square",
                              "Sum Delta-Square", "m1 (coord)", "d1 (coord)", "m2 (coord)",
                              "v7 (koord)", "m1 (delta)", "m2 (delta)", "v7 (delta)", ""}));
        const CApproxSpecimen& ref = *d->Record(0)->GetClusterApproximation();
        for (int row = 0; row < kMembers; ++row) {
            const CSpecimenRecord* record = d->Record(std::size_t(row));
            const CClusterData& data = *record->GetClusterData();
            const CApproxSpecimen& a = *record->GetClusterApproximation();
            QCOMPARE(list->CellText(row, 0), QString::number(row));
            QCOMPARE(list->CellText(row, 1), QString::fromStdString(d->Name(std::size_t(row))));
            const float values[] = {data.Areatotal,        data.Areadorsal,     data.Areaventral,
                                    data.MeanDeltaQuadrat, data.MeanDelta,      data.MaxDelta,
                                    data.SumDelta,         data.SumDeltaQuadrat};
            for (int i = 0; i < 8; ++i)
                QCOMPARE(list->CellText(row, 2 + i),
                         values[i] < 0 && i < 3 ? "n.c." : Fmt(values[i]));
            for (int i = 0; i < 8; ++i) {
                QCOMPARE(list->CellText(row, 10 + i), PointText(a.ApproxUpper.ControlPoints[i]));
                QCOMPARE(list->CellText(row, 18 + i), PointText(a.ApproxLower.ControlPoints[i]));
                const FPoint du = a.ApproxUpper.ControlPoints[i] - ref.ApproxUpper.ControlPoints[i];
                const FPoint dl = a.ApproxLower.ControlPoints[i] - ref.ApproxLower.ControlPoints[i];
                QCOMPARE(list->CellText(row, 26 + i),
                         PointText(du) + " (" + Fmt(float(std::hypot(double(du.x), du.y))) + ")");
                QCOMPARE(list->CellText(row, 34 + i),
                         PointText(dl) + " (" + Fmt(float(std::hypot(double(dl.x), dl.y))) + ")");
            }
        }
        Doc().SetReferenceRecord(nullptr);
        for (int column : {2, 9, 26, 41})
            QVERIFY(ColumnTexts(list, column).join("").isEmpty());
        QVERIFY(!list->CellText(3, 10).isEmpty());
    }

    void copiesFollowTheContextMenu() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        v->view->HitTestContextPosition(list->viewport()->mapToGlobal(CellCenter(list, 2, 1)));
        QVERIFY(EnabledItems(*v->view->CreateContextMenu()) ==
                (QStringList{"Copy sheet", "Copy specimen"}));
        QVERIFY(list->SelectedRows() == std::vector<int>{2});
        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_SPECIMEN));
        const QString row = QGuiApplication::clipboard()->text();
        QCOMPARE(row.count('\t'), 43);
        QVERIFY(row.endsWith('\t') && !row.contains('\n'));
        QVERIFY(row.startsWith("2\t" + QString::fromStdString(d->Name(2)) + "\t"));

        const QHeaderView* header = list->horizontalHeader();
        v->view->HitTestContextPosition(header->viewport()->mapToGlobal(HeaderPoint(list, 1)));
        QVERIFY(EnabledItems(*v->view->CreateContextMenu()) ==
                (QStringList{"Sort column", "Copy sheet", "Copy column"}));
        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_COLUMN));
        QCOMPARE(QGuiApplication::clipboard()->text(), ColumnTexts(list, 1).join("\n") + "\n");

        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_SHEET));
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), kMembers + 1);
        QVERIFY(lines.back().isEmpty());
        for (int i = 0; i < kMembers; ++i)
            QCOMPARE(lines[i].count('\t'), 43);
    }

    void deleteKeyRemovesRowsAndRenumbers() {
        MakeCluster();
        Doc().CalculateMeanSpecimen();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        list->selectRow(2);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(ColumnTexts(list, 0), (QStringList{"0", "1", "2", "3", "4"}));
        QVERIFY(!Doc().IsInCluster(d->Record(2)));
        QCOMPARE(list->CellText(2, 1), QString::fromStdString(d->Name(3)));
        list->selectRow(4); // the mean specimen
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!Doc().GetClusterParameter().HasMeanRecord());
        QCOMPARE(ColumnTexts(list, 0), (QStringList{"0", "1", "2", "3"}));
    }

    void sortingPutsNotComputableLastAndIgnoresPoints() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        d->Record(1)->GetClusterData()->Areatotal = kTotalAreaNotComputable;
        v->view->OnUpdate(nullptr, hintReferenceChanged, d->Record(0));
        QCOMPARE(d->ui.messages.back().text,
                 std::string("One or several Area-parameter cannot be calculated"));
        QCOMPARE(d->ui.messages.back().caption, std::string("Error"));

        const QStringList before = ColumnTexts(list, 1);
        const auto sortByMenu = [&](int column) {
            v->view->HitTestContextPosition(
                list->horizontalHeader()->viewport()->mapToGlobal(HeaderPoint(list, column)));
            QVERIFY(v->view->OnCommand(ID_CLUSTER_SORT_COLUMN));
        };
        sortByMenu(12);
        QCOMPARE(ColumnTexts(list, 1), before);

        QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          HeaderPoint(list, 2));
        QCOMPARE(list->Record(kMembers - 1), d->Record(1));
        QCOMPARE(list->CellText(kMembers - 1, 2), QString("n.c."));
        for (int row = 1; row < kMembers - 1; ++row)
            QVERIFY(Parse(list->CellText(row - 1, 2)) <= Parse(list->CellText(row, 2)));

        sortByMenu(0);
        QCOMPARE(ColumnTexts(list, 1), before);
    }

    void editingControlPointsRecomputesTheClusterData_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("dorsal");  // index in the dorsal curve, -1 none
        QTest::addColumn<int>("ventral"); // index in the ventral curve, -1 none
        QTest::newRow("m1") << 10 << 0 << 8;
        QTest::newRow("m2") << 18 << 8 << 0;
        QTest::newRow("d3") << 13 << 3 << -1;
        QTest::newRow("v2") << 20 << -1 << 2;
    }
    void editingControlPointsRecomputesTheClusterData() {
        QFETCH(int, column);
        QFETCH(int, dorsal);
        QFETCH(int, ventral);
        const bool outer = dorsal >= 0 && ventral >= 0;
        MakeCluster();
        Doc().SetModifiedFlag(false);
        auto v = Show<CClusterCoordinatesView>();
        CApproxSpecimen& a = *d->Record(2)->GetClusterApproximation();
        const CApproxSpecimen& ref = *d->Record(0)->GetClusterApproximation();
        const FPoint old = dorsal >= 0 ? a.ApproxUpper.ControlPoints[std::size_t(dorsal)]
                                       : a.ApproxLower.ControlPoints[std::size_t(ventral)];
        bool yEnabled = true;
        d->ui.sheetEditors.push_back([&](CModalSheet& sheet) {
            auto& point = dynamic_cast<CControlPointDialog&>(sheet);
            yEnabled = point.m_bYEnabled;
            point.m_fX += 5.0f;
            point.m_fY += 7.0f;
            return true;
        });
        QTest::mouseDClick(v->List()->viewport(), Qt::LeftButton, {},
                           CellCenter(v->List(), 2, column));
        QCOMPARE(d->ui.sheetCaptions, std::vector<std::string>{"Control points"});
        QCOMPARE(yEnabled, !outer);
        const FPoint edited(old.x + 5.0f, outer ? old.y : old.y + 7.0f);
        const CClusterData& data = *d->Record(2)->GetClusterData();
        const auto check = [&](const CBSpline& curve, const CBSpline& refCurve,
                               const std::vector<FPoint>& deltas, int i) {
            if (i < 0)
                return;
            QCOMPARE(curve.ControlPoints[std::size_t(i)], edited);
            QCOMPARE(deltas[std::size_t(i)], edited - refCurve.ControlPoints[std::size_t(i)]);
        };
        check(a.ApproxUpper, ref.ApproxUpper, data.DeltaVectorsUpper, dorsal);
        check(a.ApproxLower, ref.ApproxLower, data.DeltaVectorsLower, ventral);
        QCOMPARE(v->List()->CellText(2, column), PointText(edited));
        QVERIFY(Doc().IsModified());
    }

    void exportWritesTheSelectedRows() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        v->List()->setSelectionMode(QAbstractItemView::MultiSelection);
        v->List()->selectRow(3);
        v->List()->selectRow(1);
        CTempFolder folder("carinova-table-export");
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {folder.File("x.txt")}});
        QVERIFY(v->view->OnCommand(ID_CLUSTER_EXPORT));
        std::ifstream in(folder.File("x.txt"));
        const std::string s{std::istreambuf_iterator<char>(in), {}};
        const std::string head = "Cluster Approximation for Specimen: ";
        QVERIFY(s.find(head + d->Name(1)) < s.find(head + d->Name(3))); // in row order
        QCOMPARE(QString::fromStdString(s).count(QString::fromStdString(head)), 2);
    }

    // A cluster approximation with too few points (a damaged document) leaves cells empty and
    // cannot be edited there.
    void shortCurvesLeaveCellsEmpty() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        d->Record(3)->GetClusterApproximation()->ApproxUpper.ControlPoints.resize(3);
        v->view->OnUpdate(nullptr, hintClusterRecalculated, nullptr);
        QVERIFY(!v->List()->CellText(3, 12).isEmpty());
        QVERIFY(v->List()->CellText(3, 13).isEmpty());
        v->view->EditControlPointAt(CellCenter(v->List(), 3, 15));
        v->view->EditControlPointAt(CellCenter(v->List(), 3, 18)); // m2: dorsal point 8
        QVERIFY(d->ui.sheetCaptions.empty());
    }

    void emptyTablesShowTheMessage() {
        auto pairwise = Show<CClusterAreatotalView>();
        auto coords = Show<CClusterCoordinatesView>();
        QCOMPARE(pairwise->List()->columnCount(), 0);
        QCOMPARE(coords->List()->columnCount(), 43);
        for (CClusterListControl* list : {pairwise->List(), coords->List()}) {
            QCOMPARE(list->rowCount(), 0);
            const QImage image = list->viewport()->grab().toImage();
            const QRect area = list->EmptyMessageRect();
            QCOMPARE(image.pixelColor(area.left() + 1, area.bottom() - 1),
                     QApplication::palette().color(QPalette::Base));
            QVERIFY(image.pixelColor(area.left() + 1, area.top() - 5) != // the list's own colour
                    QApplication::palette().color(QPalette::Base));
            QImage blank(area.width(), 30, image.format());
            blank.fill(QApplication::palette().color(QPalette::Base));
            QVERIFY(image.copy(area.left(), area.top(), area.width(), 30) != blank); // the text
        }
    }
};

namespace {
// The coordinates table of the sample cluster, for the documentation.
int WriteScreenshot(const char* path) {
    auto d = std::make_unique<CGuiTestDocument>();
    d->InsertSamples();
    for (int i = 0; i < kMembers; ++i)
        d->doc.InsertIntoCluster(d->Record(std::size_t(i)));
    d->doc.SetReferenceRecord(d->Record(0));
    d->doc.CalculateMeanSpecimen();
    CShownView<CClusterCoordinatesView> v(d->doc,
                                          std::make_unique<CClusterCoordinatesView>(d->doc));
    v.view->resize(1200, 260);
    v.List()->selectRow(1);
    QTest::qWait(50);
    return v.view->grab().save(QString::fromLocal8Bit(path)) ? 0 : 1;
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0)
        return WriteScreenshot(argv[2]);
    CTestClusterTables test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_cluster_tables.moc"
