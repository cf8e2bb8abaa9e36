// The five cluster tables: against the sample cluster (cells against the document's stored
// comparisons and records, hints, the clipboard copies, editing, exporting) and against a
// cluster of a thousand valves (sorting, deleting, copying and editing at size, the pairwise
// entries against the stored comparisons), and one message per action. With
// "--screenshot <file>" the program writes a picture of the coordinates table instead.
#include "app/carinova_view.h"
#include "app/gui_resources.h"
#include "app/right_pane_registry.h"
#include "cluster/spline_areas.h"
#include "dialogs/select_specimens_dialog.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "model/approx_sheet.h"
#include "support/outline_shapes.h"
#include "views/cluster_areatotal_view.h"
#include "views/cluster_coordinates_view.h"
#include "views/cluster_list_control.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace {
constexpr int kMembers = 5;
constexpr int kLarge = 1000;
using Col = CCoordinatesTableModel::Column;

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
    CClusterTableModel* Model() const { return view->GetModel(); }
    // Lets the work and messages saved for the end of the action happen.
    void Settle() const {
        for (int i = 0; i < 10 && view->HasPendingWork(); ++i)
            QCoreApplication::processEvents();
    }
};

QStringList HeaderTexts(const CClusterTableModel* model, std::initializer_list<int> columns) {
    QStringList texts;
    for (int column : columns)
        texts << model->headerData(column, Qt::Horizontal).toString();
    return texts;
}

QStringList ColumnTexts(const CClusterTableModel* model, int column) {
    QStringList texts;
    for (int row = 0; row < model->RowCount(); ++row)
        texts << model->CellText(row, column);
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

int CountMessages(const CScriptedInteraction& ui, const std::string& text) {
    return static_cast<int>(std::count_if(ui.messages.begin(), ui.messages.end(),
                                          [&](const auto& m) { return m.text == text; }));
}

const std::string kPairwiseNc = "One or several specimens cannot be calculated";
} // namespace

class CTestClusterTables : public QObject {
    Q_OBJECT

    std::unique_ptr<CGuiTestDocument> d;

    CCarinovaDoc& Doc() { return d->doc; }
    QString Fmt(float v) const { return QString::fromStdString(d->doc.FormatLocalizedNumber(v)); }
    QString PointText(FPoint p) const { return Fmt(p.x) + " / " + Fmt(p.y); }
    QString DeltaText(FPoint p) const {
        return PointText(p) + " (" + Fmt(float(std::hypot(double(p.x), p.y))) + ")";
    }
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
    static void ClickHeader(const CClusterListControl* list, int column) {
        const_cast<CClusterListControl*>(list)->scrollTo(list->model()->index(0, column));
        QTest::mouseClick(list->horizontalHeader()->viewport(), Qt::LeftButton, {},
                          HeaderPoint(list, column));
    }

    // Members 0 to 4 of the samples, member 0 the reference.
    void MakeCluster() {
        d->InsertSamples();
        for (int i = 0; i < kMembers; ++i)
            Doc().InsertIntoCluster(d->Record(static_cast<std::size_t>(i)));
        Doc().SetReferenceRecord(d->Record(0));
    }

    // A thousand valves of slowly changing size and proportion, all members, the first the
    // reference. Every 97th has its ventral curve pulled over the axis, so its ventral and
    // total areas are not computable.
    void MakeLargeCluster() {
        std::vector<CSpecimenRecord*> records;
        for (int i = 0; i < kLarge; ++i) {
            auto specimen = std::make_unique<CSpecimen>();
            specimen->ShortPathName = QString::asprintf("%s%04d", i % 3 ? "valve " : "Valve ",
                                                        (i * 7919) % kLarge)
                                          .toStdString();
            specimen->Contour = shapes::Ellipse(300.0 + (i % 37) * 4, 110.0 + (i % 23) * 3,
                                                (i % 11) - 5.0, 500, 400, 90, 2.5);
            specimen->NormalizeOrientation();
            specimen->CalculateStatistics();
            auto record = std::make_unique<CSpecimenRecord>(std::move(specimen));
            records.push_back(record.get());
            Doc().AddSpecimenRecord(std::move(record));
        }
        Doc().InsertIntoCluster(records);
        QCOMPARE(int(Doc().GetClusterList().size()), kLarge);
        for (int i = 50; i < kLarge; i += 97) {
            FPoint& p = records[std::size_t(i)]->GetClusterApproximation()->ApproxLower
                            .ControlPoints[4];
            p.y = -3.0f * p.y;
        }
        Doc().SetReferenceRecord(records.front());
        d->ui.messages.clear();
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
    // A record as the reference: the document's stored comparison of every member with it,
    // computed on another path, is that record's row and column. A new reference does not
    // rebuild the table, so it stays the one built first. In the thousand-member cluster the
    // entries are computed block by block as they are read.
    void pairwiseTablesMatchTheStoredComparisons() {
        QFETCH(int, measure);
        using M = CClusterPairwiseView::Measure;
        const auto m = static_cast<M>(measure);
        MakeLargeCluster();
        CShownView<CClusterPairwiseView> v(Doc(), std::make_unique<CClusterPairwiseView>(Doc(), m));
        const CClusterTableModel* model = v.Model();
        QCOMPARE(model->RowCount(), kLarge);
        QCOMPARE(model->ColumnCount(), kLarge + 2);
        QCOMPARE(HeaderTexts(model, {0, 1, kLarge, kLarge + 1}),
                 (QStringList{"Specimen", "1", QString::number(kLarge), ""}));
        // Four decimals shown, the stored side walks the other curve's sectors, and the total
        // table adds both sides before scaling and walks the ventral side with the dorsal
        // side's tolerance where the stored total adds the scaled sides.
        const float relative = m == M::AreaTotal ? 1e-4f : 1e-5f;
        bool anyNc = false;
        for (int r : {0, 50, 613, kLarge - 1}) {
            Doc().SetReferenceRecord(Doc().GetClusterList()[std::size_t(r)]);
            QCOMPARE(model->CellText(r, 0),
                     QString::fromStdString(
                         Doc().GetClusterList()[std::size_t(r)]->GetSpecimen()->ShortPathName));
            for (int c = 0; c < kLarge; ++c) {
                const CClusterData& data = *Doc().GetClusterList()[std::size_t(c)]->GetClusterData();
                const float stored = m == M::MeanDelta     ? data.MeanDeltaQuadrat
                                     : m == M::AreaDorsal  ? data.Areadorsal
                                     : m == M::AreaVentral ? data.Areaventral
                                                           : data.Areatotal;
                anyNc = anyNc || (stored < 0.0f && c != r);
                for (const QString& cell : {model->CellText(r, c + 1), model->CellText(c, r + 1)}) {
                    if (c == r) // the diagonal is not computed
                        QCOMPARE(Parse(cell), 0.0f);
                    else if (stored < 0.0f)
                        QCOMPARE(cell, QString("n.c."));
                    else
                        QVERIFY2(std::fabs(Parse(cell) - stored) <= 1e-4f + relative * stored,
                                 qPrintable(cell + " vs " + QString::number(stored)));
                }
            }
        }
        QCOMPARE(anyNc, m == M::AreaVentral || m == M::AreaTotal);
        QCOMPARE(model->HasNotComputable(), anyNc);
        // Entering the view gives the note, not a message box.
        QVERIFY(d->ui.messages.empty());
        QCOMPARE(v.view->NoteText(), anyNc ? QString::fromStdString(kPairwiseNc) : QString());
        QVERIFY(EnabledItems(*v.view->CreateContextMenu()) == QStringList{"Copy sheet"});
    }

    // A header click sorts the rows by that column (names without regard to case, "n.c."
    // last); copying the sheet copies the rows as shown.
    void pairwiseTablesSortAndCopyAtSize() {
        MakeLargeCluster();
        auto v = std::make_unique<CShownView<CClusterPairwiseView>>(
            Doc(), std::make_unique<CClusterPairwiseView>(Doc(), CClusterPairwiseView::Measure::AreaTotal));
        const CClusterTableModel* model = v->Model();
        const int column = 51; // member 50: every entry of its column is "n.c."
        const int other = 200;
        ClickHeader(v->List(), other);
        const QStringList values = ColumnTexts(model, other);
        std::set<QString> names;
        bool ncSeen = false;
        for (int row = 0; row < kLarge; ++row) {
            names.insert(model->CellText(row, 0));
            const bool nc = values[row] == "n.c.";
            QVERIFY(!ncSeen || nc);
            ncSeen = ncSeen || nc;
            if (row > 0 && !nc)
                QVERIFY(Parse(values[row - 1]) <= Parse(values[row]));
        }
        QCOMPARE(int(names.size()), kLarge);
        ClickHeader(v->List(), column);
        QCOMPARE(ColumnTexts(model, column).count("n.c."), kLarge - 1);
        ClickHeader(v->List(), 0);
        for (int row = 1; row < kLarge; ++row)
            QVERIFY(QString::compare(model->CellText(row - 1, 0), model->CellText(row, 0),
                                     Qt::CaseInsensitive) <= 0);

        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_SHEET));
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), kLarge + 1);
        for (int row : {0, 1, 377, kLarge - 1}) {
            const QStringList cells = lines[row].split('\t');
            QCOMPARE(cells.size(), kLarge + 3); // N + 2 cells, each followed by a tab
            for (int c : {0, 1, column, other, kLarge})
                QCOMPARE(cells[c], model->CellText(row, c));
        }
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
            QCOMPARE(table->GetModel()->RowCount(), kMembers);
            QCOMPARE(table->GetModel()->ColumnCount(), columns);
            QVERIFY(main.RouteCommand(ID_CLUSTER_COPY_SHEET));
            QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), kMembers);
        }
    }

    // The table is built anew once per action, however many records the action touched.
    void pairwiseTablesStayStaleUntilRebuilt() {
        MakeCluster();
        auto v = Show<CClusterAreatotalView>();
        QSignalSpy resets(v->Model(), &QAbstractItemModel::modelReset);
        const QString name = QString::fromStdString(d->Name(1));
        Doc().CalculateMeanSpecimen();
        Doc().RenameSpecimen(d->Record(1), "renamed");
        v->Settle();
        QCOMPARE(v->Model()->RowCount(), kMembers);
        QCOMPARE(v->Model()->CellText(1, 0), name);
        Doc().RemoveFromCluster(d->Record(4));
        Doc().RemoveFromCluster(d->Record(3));
        QCOMPARE(v->Model()->RowCount(), kMembers); // until the action is over
        v->Settle();
        QCOMPARE(resets.count(), 1);
        QCOMPARE(v->Model()->RowCount(), kMembers - 1); // three members and the mean
        QCOMPARE(v->Model()->CellText(1, 0), QString("renamed"));
        QCOMPARE(v->Model()->ColumnCount(), kMembers + 1);
    }

    void coordinatesCellsFollowTheRecords() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        const CClusterTableModel* model = v->Model();
        // 10 fixed columns, 4 x 8 point and delta columns and the empty last one.
        QCOMPARE(model->ColumnCount(), 43);
        QCOMPARE(HeaderTexts(model, {0, 1, 2, 5, 9, 10, 11, 18, 25, 26, 34, 41, 42}),
                 (QStringList{"Nr", "Specimen", "Area total", "Mean Delta-Square",
                              "Sum Delta-Square", "m1 (coord)", "d1 (coord)", "m2 (coord)",
                              "v7 (koord)", "m1 (delta)", "m2 (delta)", "v7 (delta)", ""}));
        const CApproxSpecimen& ref = *d->Record(0)->GetClusterApproximation();
        for (int row = 0; row < kMembers; ++row) {
            const CSpecimenRecord* record = d->Record(std::size_t(row));
            const CClusterData& data = *record->GetClusterData();
            const CApproxSpecimen& a = *record->GetClusterApproximation();
            QCOMPARE(model->CellText(row, 0), QString::number(row));
            QCOMPARE(model->CellText(row, 1), QString::fromStdString(d->Name(std::size_t(row))));
            const float values[] = {data.Areatotal,        data.Areadorsal,     data.Areaventral,
                                    data.MeanDeltaQuadrat, data.MeanDelta,      data.MaxDelta,
                                    data.SumDelta,         data.SumDeltaQuadrat};
            for (int i = 0; i < 8; ++i)
                QCOMPARE(model->CellText(row, 2 + i),
                         values[i] < 0 && i < 3 ? "n.c." : Fmt(values[i]));
            for (int i = 0; i < 8; ++i) {
                QCOMPARE(model->CellText(row, 10 + i), PointText(a.ApproxUpper.ControlPoints[i]));
                QCOMPARE(model->CellText(row, 18 + i), PointText(a.ApproxLower.ControlPoints[i]));
                QCOMPARE(model->CellText(row, 26 + i),
                         DeltaText(a.ApproxUpper.ControlPoints[i] - ref.ApproxUpper.ControlPoints[i]));
                QCOMPARE(model->CellText(row, 34 + i),
                         DeltaText(a.ApproxLower.ControlPoints[i] - ref.ApproxLower.ControlPoints[i]));
            }
        }
        Doc().SetReferenceRecord(nullptr);
        for (int column : {2, 9, 26, 41})
            QVERIFY(ColumnTexts(model, column).join("").isEmpty());
        QVERIFY(!model->CellText(3, 10).isEmpty());
    }

    void copiesFollowTheContextMenu() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        const CClusterTableModel* model = v->Model();
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
        QCOMPARE(QGuiApplication::clipboard()->text(), ColumnTexts(model, 1).join("\n") + "\n");

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
        QCOMPARE(ColumnTexts(v->Model(), 0), (QStringList{"0", "1", "2", "3", "4"}));
        QVERIFY(!Doc().IsInCluster(d->Record(2)));
        QCOMPARE(v->Model()->CellText(2, 1), QString::fromStdString(d->Name(3)));
        list->selectRow(4); // the mean specimen
        QTest::keyClick(list, Qt::Key_Delete);
        QVERIFY(!Doc().GetClusterParameter().HasMeanRecord());
        QCOMPARE(ColumnTexts(v->Model(), 0), (QStringList{"0", "1", "2", "3"}));
    }

    // The thousand-member table sorted by "Area total", by name and by "Nr" (each against an
    // independent sort of the stored values), then 100 rows deleted with renumbering, a
    // control point edited in a sorted row, and the copies.
    void coordinatesSortDeleteEditAndCopyAtSize() {
        MakeLargeCluster();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        const CCoordinatesTableModel* model = v->view->GetCoordinatesModel();
        QCOMPARE(model->RowCount(), kLarge);
        QCOMPARE(v->view->NoteText(),
                 QString("One or several Area-parameters cannot be calculated"));
        QVERIFY(d->ui.messages.empty());

        // Expected: stable by the value as shown (four decimals), "n.c." last.
        std::vector<CSpecimenRecord*> expected = Doc().GetClusterList();
        const auto key = [&](const CSpecimenRecord* r) {
            const float value = r->GetClusterData()->Areatotal;
            return value < 0.0f ? std::pair{1, 0.0f} : std::pair{0, Parse(Fmt(value))};
        };
        std::stable_sort(expected.begin(), expected.end(),
                         [&](auto* a, auto* b) { return key(a) < key(b); });
        list->selectRow(7);
        CSpecimenRecord* selected = model->Record(7);
        ClickHeader(list, Col::ColAreaTotal);
        for (int row = 0; row < kLarge; ++row)
            QCOMPARE(model->Record(row), expected[std::size_t(row)]);
        QVERIFY(list->SelectedRows() == std::vector<int>{model->RowOf(selected)});
        QCOMPARE(ColumnTexts(model, Col::ColAreaTotal).count("n.c."), 10);

        std::stable_sort(expected.begin(), expected.end(), [](auto* a, auto* b) {
            return QString::fromStdString(a->GetSpecimen()->ShortPathName).toLower() <
                   QString::fromStdString(b->GetSpecimen()->ShortPathName).toLower();
        });
        ClickHeader(list, Col::ColSpecimen);
        for (int row = 0; row < kLarge; ++row)
            QCOMPARE(model->Record(row), expected[std::size_t(row)]);
        ClickHeader(list, Col::ColFirstPoint + 3); // points do not sort
        for (int row = 0; row < kLarge; ++row)
            QCOMPARE(model->Record(row), expected[std::size_t(row)]);

        // Every tenth row goes; each remaining "Nr" drops by the number of smaller ones gone.
        std::vector<int> gone;
        list->clearSelection();
        for (int row = 3; row < kLarge; row += 10) {
            list->selectionModel()->select(model->index(row, 0), QItemSelectionModel::Select |
                                                                     QItemSelectionModel::Rows);
            gone.push_back(model->CellText(row, Col::ColNr).toInt());
        }
        std::sort(gone.begin(), gone.end());
        std::vector<std::pair<CSpecimenRecord*, int>> staying;
        for (int row = 0; row < kLarge; ++row)
            if ((row - 3) % 10 != 0) {
                const int nr = model->CellText(row, Col::ColNr).toInt();
                const auto smaller = std::lower_bound(gone.begin(), gone.end(), nr) - gone.begin();
                staying.emplace_back(model->Record(row), nr - int(smaller));
            }
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(model->RowCount(), kLarge - 100);
        QCOMPARE(int(Doc().GetClusterList().size()), kLarge - 100);
        for (int row = 0; row < model->RowCount(); ++row) {
            QCOMPARE(model->Record(row), staying[std::size_t(row)].first);
            QCOMPARE(model->CellText(row, Col::ColNr),
                     QString::number(staying[std::size_t(row)].second));
        }

        // A dorsal point of a sorted row far down the table.
        const int row = 700;
        list->scrollTo(model->index(row, Col::ColFirstPoint + 2));
        CSpecimenRecord* record = model->Record(row);
        CApproxSpecimen& a = *record->GetClusterApproximation();
        const FPoint old = a.ApproxUpper.ControlPoints[2];
        d->ui.sheetEditors.push_back([](CModalSheet& sheet) {
            dynamic_cast<CControlPointDialog&>(sheet).m_fY += 3.0f;
            return true;
        });
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                           CellCenter(list, row, Col::ColFirstPoint + 2));
        const FPoint edited(old.x, old.y + 3.0f);
        QCOMPARE(a.ApproxUpper.ControlPoints[2], edited);
        QCOMPARE(model->CellText(row, Col::ColFirstPoint + 2), PointText(edited));
        const FPoint delta =
            edited - Doc().GetReferenceRecord()->GetClusterApproximation()->ApproxUpper.ControlPoints[2];
        QCOMPARE(record->GetClusterData()->DeltaVectorsUpper[2], delta);
        QCOMPARE(model->CellText(row, Col::ColFirstPoint + 2 * 8 + 2), DeltaText(delta));

        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_SHEET));
        const QStringList lines = QGuiApplication::clipboard()->text().split('\n');
        QCOMPARE(lines.size(), kLarge - 100 + 1);
        QCOMPARE(lines[row], model->RowText(row));
        QVERIFY(lines[row].startsWith(model->CellText(row, 0) + "\t" + model->CellText(row, 1)));
        list->scrollTo(model->index(0, Col::ColSpecimen));
        v->view->HitTestContextPosition(
            list->horizontalHeader()->viewport()->mapToGlobal(HeaderPoint(list, Col::ColSpecimen)));
        QVERIFY(v->view->OnCommand(ID_CLUSTER_COPY_COLUMN));
        QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), kLarge - 100);
    }

    void sortingPutsNotComputableLastAndIgnoresPoints() {
        MakeCluster();
        auto v = Show<CClusterCoordinatesView>();
        CClusterListControl* list = v->List();
        const CClusterTableModel* model = v->Model();
        d->Record(1)->GetClusterData()->Areatotal = kTotalAreaNotComputable;
        v->view->OnUpdate(nullptr, hintReferenceChanged, d->Record(0));
        v->view->OnUpdate(nullptr, hintReferenceChanged, d->Record(0));
        v->Settle();
        QCOMPARE(d->ui.messages.size(), std::size_t(1));
        QCOMPARE(d->ui.messages.back().text,
                 std::string("One or several Area-parameter cannot be calculated"));
        QCOMPARE(d->ui.messages.back().caption, std::string("Error"));

        const QStringList before = ColumnTexts(model, 1);
        const auto sortByMenu = [&](int column) {
            list->scrollTo(model->index(0, column));
            v->view->HitTestContextPosition(
                list->horizontalHeader()->viewport()->mapToGlobal(HeaderPoint(list, column)));
            QVERIFY(v->view->OnCommand(ID_CLUSTER_SORT_COLUMN));
        };
        sortByMenu(12);
        QCOMPARE(ColumnTexts(model, 1), before);

        ClickHeader(list, 2);
        QCOMPARE(model->Record(kMembers - 1), d->Record(1));
        QCOMPARE(model->CellText(kMembers - 1, 2), QString("n.c."));
        for (int row = 1; row < kMembers - 1; ++row)
            QVERIFY(Parse(model->CellText(row - 1, 2)) <= Parse(model->CellText(row, 2)));

        sortByMenu(0);
        QCOMPARE(ColumnTexts(model, 1), before);
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
        v->List()->scrollTo(v->Model()->index(2, column));
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
        QCOMPARE(v->Model()->CellText(2, column), PointText(edited));
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
        QVERIFY(!v->Model()->CellText(3, 12).isEmpty());
        QVERIFY(v->Model()->CellText(3, 13).isEmpty());
        v->view->EditControlPointAt(CellCenter(v->List(), 3, 15));
        v->view->EditControlPointAt(CellCenter(v->List(), 3, 18)); // m2: dorsal point 8
        QVERIFY(d->ui.sheetCaptions.empty());
    }

    void emptyTablesShowTheMessage() {
        auto pairwise = Show<CClusterAreatotalView>();
        auto coords = Show<CClusterCoordinatesView>();
        QCOMPARE(pairwise->Model()->ColumnCount(), 0);
        QCOMPARE(coords->Model()->ColumnCount(), 43);
        for (CClusterListControl* list : {pairwise->List(), coords->List()}) {
            QCOMPARE(list->model()->rowCount(), 0);
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

    // "Select None" then "Apply" with "Area total" shown removes every member: one rebuild and
    // one message for the whole action. Entering the coordinates table again and again shows
    // its note each time but never a message box.
    void oneActionGivesAtMostOneMessage() {
        MakeCluster();
        Doc().InsertIntoCluster(d->Record(5));
        for (CSpecimenRecord* r : Doc().GetClusterList()) {
            FPoint& p = r->GetClusterApproximation()->ApproxLower.ControlPoints[4];
            p.y = -3.0f * p.y; // no ventral area is computable
        }
        Doc().SetReferenceRecord(d->Record(0));
        CCarinovaView main(Doc());
        RegisterRightPaneViews(main);
        main.SetRightPane(RightPaneKind::AreaTotal);
        auto* table = dynamic_cast<CClusterTableView*>(main.GetRightPane());
        QVERIFY(table);
        QVERIFY(d->ui.messages.empty());
        QSignalSpy resets(table->GetModel(), &QAbstractItemModel::modelReset);

        CSelectSpecimensDialog dialog(Doc());
        dialog.m_btnSelectNone->click();
        for (int i = 0; i < 3; ++i) // three members stay: the table still shows "n.c."
            dialog.m_wndList->topLevelItem(i)->setCheckState(0, Qt::Checked);
        dialog.m_btnApply->click();
        QTRY_VERIFY(!table->HasPendingWork());
        QCOMPARE(Doc().GetClusterList().size(), std::size_t(3));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(table->GetModel()->RowCount(), 3);
        QCOMPARE(CountMessages(d->ui, kPairwiseNc), 1);
        QCOMPARE(d->ui.messages.size(), std::size_t(1));

        for (int i = 0; i < 3; ++i) {
            main.SetRightPane(RightPaneKind::SingleView);
            main.SetRightPane(RightPaneKind::Coordinates);
            QCoreApplication::processEvents();
            auto* coordinates = dynamic_cast<CClusterCoordinatesView*>(main.GetRightPane());
            QVERIFY(coordinates);
            QCOMPARE(coordinates->NoteText(),
                     QString("One or several Area-parameters cannot be calculated"));
        }
        QCOMPARE(d->ui.messages.size(), std::size_t(1));
    }

    // Another document's contents: both kinds of table drop the former rows at once and show
    // the new cluster.
    void exchangedContentsRebuildTheTables() {
        MakeCluster();
        auto coords = Show<CClusterCoordinatesView>();
        auto pairwise = Show<CClusterAreatotalView>();
        CGuiTestDocument other;
        other.InsertSamples();
        for (std::size_t i = 3; i < 6; ++i)
            other.doc.InsertIntoCluster(other.Record(i));
        Doc().ExchangeContents(other.doc);
        QCOMPARE(coords->Model()->RowCount(), 3);
        QCOMPARE(coords->Model()->Record(0), Doc().GetClusterList().front());
        pairwise->Settle();
        QCOMPARE(pairwise->Model()->RowCount(), 3);
        QCOMPARE(pairwise->Model()->CellText(2, 0), QString::fromStdString(d->Name(5)));
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
    InitGuiResources();
    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0)
        return WriteScreenshot(argv[2]);
    CTestClusterTables test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_cluster_tables.moc"
