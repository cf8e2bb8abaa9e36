// The main window against a scripted user: the menus and tool bar of the command table,
// command routing and states, the progress pane, titles, the save questions, opening
// (also of broken files) and the recent-file list.
#include "app/carinova_view.h"
#include "app/lock_key_indicators.h"
#include "app/main_frame.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "views/specimen_tree_view.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace {

// A right-hand view that claims a few commands, to see the route.
class CFakePane : public CRightPaneView {
public:
    int deletes = 0;
    void OnUpdate(CView*, int, CObject*) override {}
    bool OnCommand(int id) override {
        if (id == ID_SPECIMEN_PROPERTIES)
            throw std::runtime_error("numerical routine failed");
        if (id != ID_SPECIMEN_DELETE)
            return false;
        ++deletes;
        return true;
    }
    bool OnUpdateCommand(int id, bool& enabled) const override {
        if (id != ID_FILE_PRINT && id != ID_SPECIMEN_DELETE && id != ID_SPECIMEN_PROPERTIES)
            return false;
        enabled = true;
        return true;
    }
    void SendCoordinates(const QString& text) { emit coordinatesText(text); }
};

struct CMenuEntry {
    QString path;
    QString text;
    QString prompt;
};

void CollectMenu(const QMenu* menu, const QString& path, QList<CMenuEntry>& out) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible())
            continue;
        if (action->menu())
            CollectMenu(action->menu(), path + QLatin1Char('/') + action->text(), out);
        else
            out.append({path, action->text(), action->statusTip()});
    }
}

} // namespace

class CTestMainFrame : public QObject {
    Q_OBJECT

    std::unique_ptr<CTempFolder> temp;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CMainFrame> frame;

    void MakeFrame() {
        frame = std::make_unique<CMainFrame>(d->doc, d->ui, *settings);
        frame->show();
    }
    bool Enabled(int id) {
        frame->UpdateCommandUI();
        return frame->GetAction(id)->isEnabled();
    }
    CSpecimenTreeView* Tree() const { return frame->GetMainView()->GetTreeView(); }
    void SaveAs(const std::string& path) {
        d->ui.fileDialogResults.push_back({CFileDialogResult::Accepted, {path}});
    }

private slots:
    void init() {
        temp = std::make_unique<CTempFolder>("carinova-frame-test");
        settings = std::make_unique<QSettings>(QString::fromStdString(temp->File("settings.ini")),
                                               QSettings::IniFormat);
        d = std::make_unique<CGuiTestDocument>();
        MakeFrame();
    }
    void cleanup() {
        frame.reset();
        d.reset();
        settings.reset();
        temp.reset();
    }

    void menusHoldTheCommandTable() {
        const QList<CMenuEntry> expected = {
            {"&File", "&New\tStrg+N", "Create a new document."},
            {"&File", "&Open...\tStrg+O", "Open an existing document."},
            {"&File", "&Save\tStrg+S", "Save the active document."},
            {"&File", "Save &as...", "Save the active document under new Name."},
            {"&File", "&Print...\tStrg+P", "Print the active document."},
            {"&File", "P&rint Preview", "Display hole page."},
            {"&File", "Print Se&tup...", "Change the printer and printer options."},
            {"&File", "Last File", "Open this document."},
            {"&File", "&Exit", "Terminates the application."},
            {"&Specimen", "&Insert...", "Load specimen from file."},
            {"&Specimen", "&Delete", "Delete the in tree view selected specimen."},
            {"&Specimen", "&Properties...", "Display properties for the selected specimen."},
            {"&Specimen/Appro&ximation", "&Calculate...", "Calculate approximation for specimen."},
            {"&Specimen/Appro&ximation", "&Delete", "Delete approximation of specimen."},
            {"&Specimen/Appro&ximation", "&Properties...", "Display approximation properties."},
            {"&Specimen", "Export to Image File...", "Export specimen to a graphics file."},
            {"&Specimen", "Export as TPS File ...", "Export specimen as a TPS file."},
            {"&Cluster", "&Insert", "Add selected specimen to the cluster."},
            {"&Cluster", "&Delete", "Delete the selected specimen from the cluster."},
            {"&Cluster", "&Properties...", "Property dialog for the cluster parameters."},
            {"&Cluster", "&Select...", "Select the Specimens in the Cluster."},
            {"&Cluster", "&Calculate Mean Specimen",
             "Calculates the mean specimen from the current cluster specimen."},
            {"&Cluster", "&Mark as Reference", "Define selected specimen als cluster reference."},
            {"&Cluster", "Display Spe&cimens...",
             "Display the overlapped specimends in the cluster."},
            {"&Cluster", "Display C&oordinates...",
             "Display the coordinate vectors of the specimens in the cluster."},
            {"&Cluster", "Display Mor&phospace...",
             "Display the principal components of the cluster's shapes."},
            {"&Cluster/Display Di&fferences", "Area &total", ""},
            {"&Cluster/Display Di&fferences", "Area &dorsal", ""},
            {"&Cluster/Display Di&fferences", "Area &ventral", ""},
            {"&Cluster/Display Di&fferences", "&Mean delta quadrat",
             "Gives some calculations of pairwise differences of the specimens in the cluster."},
            {"&Cluster", "E&xport to Data File...",
             "Export the approximation of the cluster in a data file."},
            {"&Cluster", "Export &to Image File...",
             "Export the approximation of the cluster in an image file."},
            {"&View", "&Tool bar", "Display the tool bar or not."},
            {"&View", "S&tatus bar", "Display the status bar or not."},
            {"&View", "Zoom &In\tStrg++", "Enlarge the picture."},
            {"&View", "Zoom &Out\tStrg+-", "Reduce the picture."},
            {"&View", "&Fit to Window\tStrg+0", "Fit the whole picture into the window."},
            {"&View", "Source &Image", "Show the image the outline was traced from under it."},
            {"&View", "&Reopen Last Document at Start",
             "Open the last document when the program starts without one."},
            {"&?", "Carinova Help...", "Opens the Carinova help file."},
            {"&?", "Inf&o about Carinova...",
             "Display program informationen (like version number and copyright information)."},
        };
        QList<CMenuEntry> actual;
        for (QAction* top : frame->menuBar()->actions())
            CollectMenu(top->menu(), top->text(), actual);
        QCOMPARE(actual.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(actual[i].path, expected[i].path);
            QCOMPARE(actual[i].text, expected[i].text);
            QCOMPARE(actual[i].prompt, expected[i].prompt);
        }
        QCOMPARE(frame->GetAction(ID_FILE_NEW)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        QCOMPARE(frame->GetAction(ID_FILE_OPEN)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(frame->GetAction(ID_FILE_SAVE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(frame->GetAction(ID_FILE_PRINT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
        QCOMPARE(frame->GetAction(ID_VIEW_ZOOM_FIT)->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_0));
        QCOMPARE(frame->GetAction(ID_NEXT_PANE)->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(frame->GetAction(ID_PREV_PANE)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    }

    void theSplitterGivesTheTree180Pixels() {
        frame->resize(800, 500);
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QTRY_COMPARE(Tree()->width(), 180);
        QVERIFY(frame->GetMainView()->GetRightPane()->width() > 400);
    }

    void f6MovesBetweenThePanes() {
        QApplication::setActiveWindow(frame.get());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        Tree()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Tree()));
        QVERIFY(frame->OnCommand(ID_NEXT_PANE));
        QTRY_COMPARE(QApplication::focusWidget(),
                     static_cast<QWidget*>(frame->GetMainView()->GetRightPane()));
        QVERIFY(frame->OnCommand(ID_PREV_PANE));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Tree()));
    }

    void menuPromptsReplaceReadyWhileShown() {
        QStatusTipEvent tip(frame->GetAction(ID_SPECIMEN_INSERT)->statusTip());
        QCoreApplication::sendEvent(frame.get(), &tip);
        QCOMPARE(frame->MessageText(), QStringLiteral("Load specimen from file."));
        QStatusTipEvent none{QString()};
        QCoreApplication::sendEvent(frame.get(), &none);
        QCOMPARE(frame->MessageText(), QStringLiteral("Ready"));
    }

    void toolBarHoldsTheFileButtonsAndAbout() {
        QStringList buttons;
        for (QAction* action : frame->GetToolBar()->actions())
            buttons << (action->isSeparator() ? QStringLiteral("|") : action->toolTip());
        QCOMPARE(buttons, QStringList({"New", "Open", "Save", "|", "Print", "|", "Information"}));
        QCOMPARE(frame->MessageText(), QStringLiteral("Ready"));
        QCOMPARE(frame->CoordinatesText(), QStringLiteral("Coordinates"));
        QVERIFY(frame->GetAction(ID_VIEW_TOOLBAR)->isChecked());
        frame->OnCommand(ID_VIEW_TOOLBAR);
        QVERIFY(frame->GetToolBar()->isHidden());
        frame->UpdateCommandUI();
        QVERIFY(!frame->GetAction(ID_VIEW_TOOLBAR)->isChecked());
    }

    void commandStatesFollowTheDocument() {
        frame->UpdateCommandUI();
        for (int id : {ID_SPECIMEN_DELETE, ID_CLUSTER_INSERT, ID_SPECIMEN_EXPORT_TPS,
                       ID_APPROXIMATION_PROPERTIES, ID_APPROXIMATION_DELETE, ID_CLUSTER_DELETE,
                       ID_CLUSTER_MARK_REFERENCE, ID_CLUSTER_SELECT, ID_FILE_PRINT,
                       ID_FILE_PRINT_PREVIEW, ID_CLUSTER_MEAN, ID_FILE_MRU_FILE1})
            QVERIFY2(!Enabled(id), qPrintable(QString::number(id)));
        for (int id :
             {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_SPECIMEN_INSERT, ID_HELP_CARINOVA,
              ID_APP_ABOUT, ID_CLUSTER_PROPERTIES, ID_CLUSTER_DISPLAY_SPECIMENS})
            QVERIFY2(Enabled(id), qPrintable(QString::number(id)));

        d->InsertSamples();
        Tree()->setCurrentItem(Tree()->SpecimenRoot()->child(2));
        for (int id : {ID_SPECIMEN_DELETE, ID_CLUSTER_INSERT, ID_SPECIMEN_EXPORT_TPS})
            QVERIFY2(Enabled(id), qPrintable(QString::number(id)));
        // Cluster > Select does nothing while a specimen is selected, so it is not offered.
        QVERIFY(!Enabled(ID_CLUSTER_SELECT));
        QVERIFY(!Enabled(ID_APPROXIMATION_PROPERTIES));
        d->Approximate(d->Record(2));
        QVERIFY(Enabled(ID_APPROXIMATION_PROPERTIES));
        frame->OnCommand(ID_CLUSTER_INSERT);
        QVERIFY(d->doc.IsInCluster(d->Record(2)));
        QVERIFY(!Enabled(ID_CLUSTER_MARK_REFERENCE));
        Tree()->setCurrentItem(Tree()->ClusterRoot()->child(0));
        QVERIFY(Enabled(ID_CLUSTER_MARK_REFERENCE));
        QVERIFY(Enabled(ID_CLUSTER_SELECT));
        QVERIFY(Enabled(ID_CLUSTER_MEAN));
        QVERIFY(!Enabled(ID_SPECIMEN_DELETE));
        QVERIFY(frame->GetAction(ID_CLUSTER_DISPLAY_SPECIMENS)->isChecked());
        frame->OnCommand(ID_CLUSTER_AREA_DORSAL);
        frame->UpdateCommandUI();
        QVERIFY(!frame->GetAction(ID_CLUSTER_DISPLAY_SPECIMENS)->isChecked());
        QVERIFY(frame->GetAction(ID_CLUSTER_AREA_DORSAL)->isChecked());
    }

    void theRightPaneIsAskedFirst() {
        int made = 0;
        CFakePane* fake = nullptr;
        frame->GetMainView()->SetRightPaneFactory(
            RightPaneKind::SingleView, [&](CCarinovaDoc&, QWidget* parent) {
                ++made;
                auto pane = std::make_unique<CFakePane>();
                pane->setParent(parent);
                fake = pane.get();
                return std::unique_ptr<CRightPaneView>(std::move(pane));
            });
        QCOMPARE(made, 1); // the pane on show was made again
        QCOMPARE(frame->GetMainView()->GetRightPane(), fake);
        QCOMPARE(frame->GetMainView()->SetRightPane(RightPaneKind::SingleView), 0);
        QCOMPARE(made, 1);

        d->InsertSamples();
        Tree()->setCurrentItem(Tree()->SpecimenRoot()->child(0));
        QVERIFY(Enabled(ID_FILE_PRINT));
        QVERIFY(frame->OnCommand(ID_SPECIMEN_DELETE));
        QCOMPARE(fake->deletes, 1);
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));

        fake->SendCoordinates(QStringLiteral("12, -7"));
        QCOMPARE(frame->CoordinatesText(), QStringLiteral("12, -7"));
        fake->SendCoordinates(QString());
        QCOMPARE(frame->CoordinatesText(), QStringLiteral("Coordinates"));

        // A failure inside a command ends in a message; window and document stay.
        frame->OnCommand(ID_SPECIMEN_PROPERTIES);
        QCOMPARE(d->ui.MessageTexts(), std::vector<std::string>{"numerical routine failed"});
        QVERIFY(frame->isVisible());

        // Without the claiming view the document deletes the selected specimen.
        QCOMPARE(frame->GetMainView()->SetRightPane(RightPaneKind::Overlay), 1);
        QVERIFY(!Enabled(ID_FILE_PRINT));
        QVERIFY(frame->OnCommand(ID_SPECIMEN_DELETE));
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(5));
    }

    void progressRunsFromOneToFull() {
        QVERIFY(!frame->GetProgressBar());
        frame->BeginProgress(3);
        QProgressBar* bar = frame->GetProgressBar();
        QVERIFY(bar && bar->isVisible());
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 4);
        QCOMPARE(bar->value(), 1);
        for (int i = 0; i < 3; ++i)
            frame->StepProgress();
        QCOMPARE(bar->value(), 4);
        frame->EndProgress();
        QVERIFY(!frame->GetProgressBar());
        frame->StepProgress(); // harmless without a bar
    }

    void titleAndTheQuestionToSave() {
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));
        d->InsertSamples();
        d->ui.answers.push_back(MsgAnswer::Cancel);
        QVERIFY(!frame->NewDocument());
        QCOMPARE(d->ui.messages.back().text, std::string("Save changes to Untitled?"));
        QCOMPARE(d->ui.messages.back().buttons, MsgButtons::YesNoCancel);
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));

        d->ui.answers.push_back(MsgAnswer::No);
        QVERIFY(frame->NewDocument());
        QVERIFY(d->doc.GetSpecimenList().empty());
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 0);

        d->InsertSamples();
        const std::string path = temp->File("valves.xml");
        d->ui.answers.push_back(MsgAnswer::Yes);
        SaveAs(path);
        QVERIFY(frame->NewDocument());
        QVERIFY(std::filesystem::exists(path));
        QCOMPARE(frame->GetRecentFiles().GetFile(0), QString::fromStdString(path));
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));

        QVERIFY(frame->OpenDocumentFile(QString::fromStdString(path)));
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 6);
        QVERIFY(!d->doc.IsModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("valves.xml - Carinova 1.6"));

        // Leaving asks too; Cancel keeps the window open.
        d->doc.RenameSpecimen(d->Record(0), "changed");
        d->ui.answers.push_back(MsgAnswer::Cancel);
        QVERIFY(!frame->close());
        QVERIFY(frame->isVisible());
        QCOMPARE(d->ui.messages.back().text, std::string("Save changes to valves.xml?"));
        d->ui.answers.push_back(MsgAnswer::No);
        QVERIFY(frame->close());
    }

    void saveAsRenamesTheDocument() {
        d->InsertSamples();
        const std::string path = temp->File("second.xml");
        SaveAs(path);
        frame->OnCommand(ID_FILE_SAVE); // no path yet: asks for one
        QCOMPARE(d->ui.fileDialogs.back().open, false);
        QVERIFY(std::filesystem::exists(path));
        QVERIFY(!d->doc.IsModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("second.xml - Carinova 1.6"));
    }

    // The save's fixed text with the file and the system's reason; no error box before it.
    void aFailedSaveSaysWhyAndChangesNothing() {
        d->InsertSamples();
        const std::string path = temp->File("protected.xml");
        std::ofstream(path) << "old";
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        d->ui.messages.clear();
        SaveAs(path);
        frame->OnCommand(ID_FILE_SAVE);
        QCOMPARE(d->ui.MessageTexts(),
                 std::vector<std::string>{"Failed to save Carinova Document.\nCould not write " +
                                          path + ": Permission denied"});
        QCOMPARE(d->ui.messages.back().caption, std::string("Carinova failure"));
        std::ifstream in(path);
        QCOMPARE(std::string(std::istreambuf_iterator<char>(in), {}), std::string("old"));
        QVERIFY(d->doc.IsModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));
        QCOMPARE(frame->GetRecentFiles().GetCount(), 0);
    }

    // A failed open leaves the open document exactly as it was: the same records, the mean
    // still last in the cluster, a control point to its last bit (a file would keep three
    // decimals), the reference, the title and the modified flag.
    void aBrokenFileKeepsTheOpenDocument() {
        d->InsertSamples();
        for (std::size_t i = 0; i < 4; ++i)
            d->doc.InsertIntoCluster(d->Record(i));
        d->doc.SetReferenceRecord(d->Record(1));
        d->doc.CalculateMeanSpecimen();
        FPoint& point = d->Record(2)->GetClusterApproximation()->ApproxUpper.ControlPoints[3];
        point.x += 0.000123f;
        const FPoint edited = point;
        const std::vector<CSpecimenRecord*> cluster = d->doc.GetClusterList();
        const std::string broken = temp->File("broken.xml");
        std::ofstream(broken) << "<SpecimenRecordList><SpecimenRecord>half";
        d->ui.answers.push_back(MsgAnswer::No);
        QVERIFY(!frame->OpenDocumentFile(QString::fromStdString(broken)));
        const std::string& said = d->ui.messages.back().text;
        QVERIFY2(said.rfind("Trying to open invalid Carinova document.\n" + broken, 0) == 0, said.c_str());
        QVERIFY(d->doc.GetClusterList() == cluster);
        QCOMPARE(d->doc.GetClusterList().back(), d->doc.GetClusterParameter().GetMeanRecord());
        QCOMPARE(d->Record(2)->GetClusterApproximation()->ApproxUpper.ControlPoints[3], edited);
        QCOMPARE(d->doc.GetReferenceRecord(), d->Record(1));
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 6);
        QCOMPARE(Tree()->ClusterRoot()->childCount(), 5);
        QVERIFY(d->doc.IsModified());
        QCOMPARE(frame->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));
        QCOMPARE(frame->GetRecentFiles().GetCount(), 0);
    }

    // Size and place, the tree's width and the last cluster view come back in the next run;
    // the last document opens at start only once the user asked for that.
    void theWindowAndItsChoicesAreRemembered() {
        const std::string saved = temp->File("last.xml");
        d->InsertSamples();
        SaveAs(saved);
        QVERIFY(frame->OnCommand(ID_FILE_SAVE));
        frame->resize(1000, 700);
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->GetMainView()->SetTreeWidth(260);
        QVERIFY(frame->OnCommand(ID_CLUSTER_AREA_DORSAL));
        QVERIFY(frame->close());
        QVERIFY(!frame->ReopenLastDocument());

        frame.reset();
        d = std::make_unique<CGuiTestDocument>();
        MakeFrame();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        QCOMPARE(frame->size(), QSize(1000, 700));
        QTRY_COMPARE(Tree()->width(), 260);
        QVERIFY(Tree()->LastClusterView() == RightPaneKind::AreaDorsal);
        QVERIFY(!frame->GetAction(ID_VIEW_REOPEN_LAST)->isChecked());
        QVERIFY(!frame->ReopenLastDocument());
        QVERIFY(d->doc.GetSpecimenList().empty());
        QVERIFY(frame->OnCommand(ID_VIEW_REOPEN_LAST));
        QVERIFY(Enabled(ID_VIEW_REOPEN_LAST) && frame->GetAction(ID_VIEW_REOPEN_LAST)->isChecked());
        QVERIFY(frame->ReopenLastDocument());
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));
        QCOMPARE(frame->windowTitle(), QStringLiteral("last.xml - Carinova 1.6"));
    }

    // Outline files dropped on the window are inserted; a dropped document is opened.
    void droppedFilesAreInsertedOrOpened() {
        const QString tps = QStringLiteral(CARINOVA_SAMPLES_DIR "/valves.tps");
        const QString msd = QStringLiteral(CARINOVA_SAMPLES_DIR "/valves.msd");
        auto drop = [this](const QStringList& files) {
            QMimeData data;
            QList<QUrl> urls;
            for (const QString& file : files)
                urls << QUrl::fromLocalFile(file);
            data.setUrls(urls);
            const QPoint centre = frame->rect().center();
            QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(frame.get(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(frame.get(), &dropped);
        };
        drop({tps, msd}); // six and two specimens (samples/README.md)
        // One report for the insert, a line for each file (each TPS specimen has LM=2).
        QCOMPARE(d->ui.messages.size(), std::size_t(1));
        QCOMPARE(QString::fromStdString(d->ui.messages[0].text),
                 QStringLiteral("valves.tps: 6 specimens (TPS); 2 landmarks kept with each of 6 "
                                "specimens\nvalves.msd: 2 specimens (Morphosys)"));
        d->ui.messages.clear();
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(8));
        QCOMPARE(Tree()->SpecimenRoot()->childCount(), 8);

        const std::string document = temp->File("dropped.xml");
        QVERIFY(d->doc.OnSaveDocument(document));
        QVERIFY(d->doc.OnNewDocument());
        drop({QString::fromStdString(document)});
        QVERIFY(d->ui.messages.empty());
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(8));
        QCOMPARE(frame->windowTitle(), QStringLiteral("dropped.xml - Carinova 1.6"));
    }

    // Qt cannot read the lock keys; only the X server can, so elsewhere the panes are left out.
    void lockKeyPanesOnlyWhereThePlatformTells() {
        CLockKeyIndicators* locks = frame->GetLockKeyIndicators();
        QCOMPARE(locks->HasPanes(), CLockKeyIndicators::PlatformCanTell());
        QCOMPARE(locks->HasPanes(), QGuiApplication::platformName() == QLatin1String("xcb"));
        if (!locks->HasPanes())
            return;
        QCOMPARE(locks->Pane(0)->parentWidget(), static_cast<QWidget*>(frame->statusBar()));
    }

    // The file is read on another thread: the window's timers run meanwhile, the status bar
    // counts the records, and the window refuses to close until the reading is done.
    void openingReadsWhileTheWindowRuns() {
        for (int i = 0; i < 40; ++i)
            d->InsertSamples();
        std::vector<CSpecimenRecord*> all;
        for (const auto& r : d->doc.GetSpecimenList())
            all.push_back(r.get());
        d->doc.InsertIntoCluster(all);
        const std::string path = temp->File("large.xml");
        QVERIFY(d->doc.OnSaveDocument(path));
        QVERIFY(d->doc.OnNewDocument());
        int ticksWhileLoading = 0;
        int largestMaximum = -1;
        bool closed = true;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (!frame->IsLoading())
                return;
            ++ticksWhileLoading;
            if (const QProgressBar* bar = frame->GetProgressBar())
                largestMaximum = std::max(largestMaximum, bar->maximum());
            closed = closed && frame->close();
        });
        watcher.start(0);
        QVERIFY(frame->OpenDocumentFile(QString::fromStdString(path)));
        watcher.stop();
        QVERIFY(ticksWhileLoading > 0);
        QVERIFY(!closed);
        QVERIFY(frame->isVisible());
        QVERIFY(largestMaximum == 0 || largestMaximum == 241); // not yet counting, or 240 + 1
        QVERIFY(!frame->GetProgressBar());
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(240));
        QCOMPARE(Tree()->ClusterRoot()->childCount(), 240);
    }

    void recentFilesComeFromTheSettingsAndDropDeadEntries() {
        frame.reset();
        const std::string good = temp->File("good.xml");
        d->InsertSamples();
        QVERIFY(d->doc.OnSaveDocument(good));
        QVERIFY(d->doc.OnNewDocument());
        settings->setValue("Recent File List/File1",
                           QString::fromStdString(temp->File("gone.xml")));
        settings->setValue("Recent File List/File2", QString::fromStdString(good));
        MakeFrame();
        QCOMPARE(frame->GetRecentFiles().GetCount(), 2);
        QVERIFY(frame->GetAction(ID_FILE_MRU_FILE1)->text().startsWith("&1 "));
        QVERIFY(Enabled(ID_FILE_MRU_FILE1 + 1));
        QVERIFY(!frame->UpdateCommand(ID_FILE_MRU_FILE1 + 2).enabled);

        frame->OnCommand(ID_FILE_MRU_FILE1); // the file is gone
        QVERIFY(!d->ui.messages.empty());
        QCOMPARE(frame->GetRecentFiles().GetFiles(), QStringList{QString::fromStdString(good)});
        settings->sync();
        QCOMPARE(settings->value("Recent File List/File1").toString(),
                 QString::fromStdString(good));
        QVERIFY(!settings->contains("Recent File List/File2"));

        frame->OnCommand(ID_FILE_MRU_FILE1);
        QCOMPARE(d->doc.GetSpecimenList().size(), std::size_t(6));
        QCOMPARE(frame->windowTitle(), QStringLiteral("good.xml - Carinova 1.6"));
    }
};

std::unique_ptr<QObject> MakeMainFrameTest() {
    return std::make_unique<CTestMainFrame>();
}

#include "test_main_frame.moc"
