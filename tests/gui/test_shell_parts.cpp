// The smaller pieces of the shell: command line, recent-file list, help pages and topics,
// About box, splash timing and the start-up of the whole application.
#include "app/about_dialog.h"
#include "app/app_version.h"
#include "app/carinova_app.h"
#include "app/carinova_view.h"
#include "app/command_line_info.h"
#include "app/help_browser.h"
#include "app/main_frame.h"
#include "app/recent_file_list.h"
#include "app/splash_window.h"
#include "app/static_link.h"
#include "gui_test_support.h"
#include "views/specimen_tree_view.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include <fstream>
#include <memory>

namespace {

// Answers the application's real message boxes with their first button, keeping the texts.
class CMessageBoxCloser {
public:
    CMessageBoxCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            box->buttons().first()->click();
        });
        timer_.start(20);
    }
    QStringList texts;

private:
    QTimer timer_;
};

} // namespace

class CTestShellParts : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("noLogo");
        QTest::newRow("nothing") << QStringList{} << "" << false;
        QTest::newRow("dash") << QStringList{"-nologo"} << "" << true;
        QTest::newRow("slash") << QStringList{"/nologo"} << "" << true;
        QTest::newRow("capitals") << QStringList{"-NOLOGO"} << "" << false;
        QTest::newRow("other flag") << QStringList{"/logo"} << "" << false;
        QTest::newRow("absolute path")
            << QStringList{"/home/u/valves.xml"} << "/home/u/valves.xml" << false;
        QTest::newRow("flag then file")
            << QStringList{"-nologo", "valves.xml"} << "valves.xml" << true;
        QTest::newRow("file then flag")
            << QStringList{"a.xml", "/nologo", "b.xml"} << "a.xml" << true;
        QTest::newRow("lone dash") << QStringList{"-"} << "-" << false;
    }
    void commandLine() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fileName);
        QFETCH(bool, noLogo);
        const CCommandLineInfo info = CCommandLineInfo::Parse(arguments);
        QCOMPARE(info.fileName, fileName);
        QCOMPARE(info.NoLogo(), noLogo);
    }

    void recentFileListKeepsSixNewestFirst() {
        CRecentFileList list;
        for (int i = 1; i <= 8; ++i)
            list.Add(QStringLiteral("/data/doc%1.xml").arg(i));
        QCOMPARE(list.GetFiles(),
                 QStringList({"/data/doc8.xml", "/data/doc7.xml", "/data/doc6.xml",
                              "/data/doc5.xml", "/data/doc4.xml", "/data/doc3.xml"}));
        list.Add(QStringLiteral("/data/doc5.xml")); // again: to the front, no duplicate
        QCOMPARE(list.GetCount(), 6);
        QCOMPARE(list.GetFile(0), QStringLiteral("/data/doc5.xml"));
        QCOMPARE(list.GetFile(4), QStringLiteral("/data/doc4.xml"));
        QCOMPARE(list.GetMenuText(0), QStringLiteral("&1 /data/doc5.xml"));

        CTempFolder temp("carinova-mru-test");
        QSettings settings(QString::fromStdString(temp.File("s.ini")), QSettings::IniFormat);
        list.WriteList(settings);
        QCOMPARE(settings.value("Recent File List/File6").toString(), "/data/doc3.xml");
        CRecentFileList read;
        read.ReadList(settings);
        QCOMPARE(read.GetFiles(), list.GetFiles());

        CRecentFileList amp;
        amp.Add(QStringLiteral("/data/a&b.xml"));
        QCOMPARE(amp.GetMenuText(0), QStringLiteral("&1 /data/a&&b.xml"));
    }

    void abbreviatedPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("shown");
        QTest::newRow("fits") << "/data/valves.xml"
                              << "/data/valves.xml";
        QTest::newRow("folders left out") << "/home/someone/projects/ostracoda/2024/valves.xml"
                                          << "/home/.../2024/valves.xml";
        QTest::newRow("name alone too long") << "/x/a_very_very_long_name_of_a_valves_document.xml"
                                             << "a_very_very_long_name_of_a_valves_document.xml";
    }
    void abbreviatedPaths() {
        QFETCH(QString, path);
        QFETCH(QString, shown);
        QCOMPARE(AbbreviatePath(path, 30), shown);
    }

    void helpTopicsOfThePropertyPagesExist() {
        const char* topics[] = {
            "::/html/cari0206.htm#display_specfile",
            "::/html/cari0206.htm#display_specstatistics",
            "::/html/cari0206.htm#display_specgraphics",
            "::/html/cari0206.htm#display_specinfo",
            "::/html/cari0207.htm#approximation_params",
            "::/html/cari0207.htm#approximation_statistics",
            "::/html/cari0207.htm#approximation_options",
            "::/html/cari0207.htm#approximation_ctrlpnts",
            "::/html/cari0209.htm#cluster_set_params",
            "::/html/cari0209.htm#cluster_set_graphics",
            "::/html/cari0209.htm#cluster_set_print",
        };
        for (const char* topic : topics) {
            const QUrl url = CHelpBrowser::TopicUrl(topic);
            QVERIFY2(CHelpBrowser::PageExists(url), topic);
            QFile page(QLatin1Char(':') + url.path());
            QVERIFY(page.open(QIODevice::ReadOnly));
            const QString anchor = QStringLiteral("name=\"%1\"").arg(url.fragment());
            QVERIFY2(QString::fromUtf8(page.readAll()).contains(anchor), topic);
        }
        CHelpBrowser browser;
        // The pages build the topic from the help file's path and the page's suffix.
        QVERIFY(browser.ShowTopic(
            "/opt/carinova/help/index.htm::/html/cari0209.htm#cluster_set_print"));
        QCOMPARE(browser.CurrentSource().fileName(), QStringLiteral("cari0209.htm"));
        QCOMPARE(browser.CurrentSource().fragment(), QStringLiteral("cluster_set_print"));
        QVERIFY(browser.Browser()->toPlainText().contains("Print Specimen List"));
        QVERIFY(browser.ShowTopic(""));
        QCOMPARE(browser.CurrentSource().fileName(), QStringLiteral("index.htm"));
        QVERIFY(!browser.ShowTopic("::/html/cari9999.htm"));
    }

    void helpFileIsFoundBesideTheProgramOrInstalled() {
        CTempFolder temp("carinova-help-test");
        const QString bin = QString::fromStdString((temp.Path() / "bin").string());
        std::filesystem::create_directories(temp.Path() / "bin");
        QCOMPARE(FindHelpFile(bin), std::string());
        std::filesystem::create_directories(temp.Path() / "share/carinova/help");
        std::ofstream((temp.Path() / "share/carinova/help/index.htm").string()) << "<html/>";
        QCOMPARE(FindHelpFile(bin), (temp.Path() / "share/carinova/help/index.htm").string());
        std::filesystem::create_directories(temp.Path() / "bin/help");
        std::ofstream((temp.Path() / "bin/help/index.htm").string()) << "<html/>";
        QCOMPARE(FindHelpFile(bin), (temp.Path() / "bin/help/index.htm").string());
    }

    void aboutBoxShowsNameVersionAndLink() {
        CAboutDialog about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Info about Carinova"));
        QCOMPARE(about.VersionText(), QStringLiteral("(Version: 1, 6, 0, 0)"));
        QStringList texts;
        for (const QLabel* label : about.findChildren<QLabel*>())
            texts << label->text();
        QVERIFY(texts.contains("Carinova "));
        QVERIFY(texts.contains("Carinova is a program designed for the approximation of "
                               "ostracoda specimen using an adapted B-spline algorithm."));
        QVERIFY(about.Link()->font().underline());
        QCOMPARE(about.Link()->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QCOMPARE(about.Link()->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(CAppVersion::FrameTitle("valves.xml"),
                 QStringLiteral("valves.xml - Carinova 1.6"));
    }

    void splashWaitsForTheMainWindow() {
        QPointer<CSplashWnd> splash = new CSplashWnd(":/images/splash.svg", 50, 0);
        QVERIFY(splash->IsImageLoaded());
        QCOMPARE(splash->size(), QSize(391, 452));
        splash->ShowCentered();
        QTest::mouseClick(splash, Qt::LeftButton); // cannot be clicked away
        QTest::qWait(300);
        QVERIFY(splash && splash->isVisible());
        QWidget mainWindow;
        splash->SetMainWindow(&mainWindow);
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 2000);

        QPointer<CSplashWnd> clickable =
            new CSplashWnd(":/images/splash.svg", -1, CSplashWnd::CloseOnInput);
        clickable->ShowCentered();
        QTest::mouseClick(clickable, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(clickable.isNull(), 2000);

        QPointer<CSplashWnd> timed =
            new CSplashWnd(":/images/splash.svg", 50, CSplashWnd::IgnoreMainWindow);
        timed->ShowCentered();
        QTRY_VERIFY_WITH_TIMEOUT(timed.isNull(), 2000);
    }

    void startUpWithADocumentAndWithoutSplash() {
        CTempFolder temp("carinova-start-test");
        const std::string document = temp.File("start.xml");
        {
            CGuiTestDocument d;
            d.InsertSamples();
            QVERIFY(d.doc.OnSaveDocument(document));
        }
        std::filesystem::create_directories(temp.Path() / "help");
        std::ofstream(temp.File("help/index.htm")) << "<html/>";
        CMessageBoxCloser closer;
        CCarinovaApp app(std::make_unique<QSettings>(QString::fromStdString(temp.File("s.ini")),
                                                     QSettings::IniFormat));
        QVERIFY(app.InitInstance({"-nologo", QString::fromStdString(document)},
                                 QString::fromStdString(temp.Path().string())));
        QVERIFY(!app.GetSplash());
        QVERIFY(app.GetMainFrame()->isVisible());
        QCOMPARE(app.GetMainFrame()->windowTitle(), QStringLiteral("start.xml - Carinova 1.6"));
        QCOMPARE(app.GetMainFrame()->GetMainView()->GetTreeView()->SpecimenRoot()->childCount(), 6);
        QCOMPARE(app.GetDocument().GetHelpFilePath(), temp.File("help/index.htm"));
        QVERIFY(closer.texts.isEmpty());
    }

    void startUpShowsTheSplashAndReportsMissingHelp() {
        CTempFolder temp("carinova-splash-test");
        CMessageBoxCloser closer;
        QElapsedTimer clock;
        clock.start();
        CCarinovaApp app(std::make_unique<QSettings>(QString::fromStdString(temp.File("s.ini")),
                                                     QSettings::IniFormat));
        QVERIFY(app.InitInstance({}, QString::fromStdString(temp.Path().string())));
        QCOMPARE(closer.texts, QStringList{"Error: Carinova help file not found."});
        QCOMPARE(app.GetMainFrame()->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));
        QPointer<CSplashWnd> splash = app.GetSplash();
        QVERIFY(splash);
        QTRY_VERIFY_WITH_TIMEOUT(splash.isNull(), 6000);
        QVERIFY(clock.elapsed() >= CSplashWnd::kDuration);
    }

    void startUpWithABrokenDocumentKeepsRunning() {
        CTempFolder temp("carinova-broken-start-test");
        std::ofstream(temp.File("broken.xml")) << "not a document";
        std::filesystem::create_directories(temp.Path() / "help");
        std::ofstream(temp.File("help/index.htm")) << "<html/>";
        CMessageBoxCloser closer;
        CCarinovaApp app(std::make_unique<QSettings>(QString::fromStdString(temp.File("s.ini")),
                                                     QSettings::IniFormat));
        QVERIFY(app.InitInstance({"/nologo", QString::fromStdString(temp.File("broken.xml"))},
                                 QString::fromStdString(temp.Path().string())));
        QVERIFY(!closer.texts.isEmpty());
        QVERIFY(app.GetMainFrame()->isVisible());
        QCOMPARE(app.GetMainFrame()->windowTitle(), QStringLiteral("Untitled - Carinova 1.6"));
    }
};

std::unique_ptr<QObject> MakeShellPartsTest() {
    return std::make_unique<CTestShellParts>();
}

#include "test_shell_parts.moc"
