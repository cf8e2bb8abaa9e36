// The help window as a user meets it: it takes clicks while a modal sheet is open, stands above
// the sheet that asked for it, and never keeps the program running after File > Exit.
#include "app/help_browser.h"
#include "app/main_frame.h"
#include "dialogs/specimen_sheet_dialog.h"
#include "document/command_ids.h"
#include "gui_test_support.h"
#include "qt_user_interaction.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

#include <functional>
#include <memory>

namespace {

const QUrl kContents(QStringLiteral("qrc:/help/html/index.htm"));
const std::string kTopic = "::/html/cari0206.htm#display_specfile";

// Clicks the help's "Contents" button through the window system, as the mouse would: a window
// blocked by a modal dialog never sees the click.
void ClickContents(CHelpBrowser& help) {
    auto* bar = help.findChild<QToolBar*>();
    QWidget* button = bar->widgetForAction(bar->actions().front());
    QTest::mouseClick(help.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      button->mapTo(&help, button->rect().center()));
}

} // namespace

class CTestHelpWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<CTempFolder> temp;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<CGuiTestDocument> d;
    std::unique_ptr<CMainFrame> frame;
    std::unique_ptr<CHelpBrowser> help;
    std::unique_ptr<CQtUserInteraction> ui;

    // Runs `inside` while a specimen sheet of the main window is open, then closes the sheet.
    void WithSheetOpen(const std::function<void(CSpecimenSheetDialog&)>& inside) {
        CPropertySheetSpecimen values;
        CSpecimenSheetDialog sheet(values, *ui, frame.get());
        QTimer::singleShot(0, &sheet, [&] {
            QVERIFY(QTest::qWaitForWindowExposed(&sheet));
            inside(sheet);
            sheet.reject();
        });
        sheet.exec();
    }

private slots:
    void init() {
        temp = std::make_unique<CTempFolder>("carinova-help-window");
        settings = std::make_unique<QSettings>(QString::fromStdString(temp->File("s.ini")),
                                               QSettings::IniFormat);
        d = std::make_unique<CGuiTestDocument>();
        frame = std::make_unique<CMainFrame>(d->doc, d->ui, *settings);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        help = std::make_unique<CHelpBrowser>(frame.get());
        ui = std::make_unique<CQtUserInteraction>(frame.get());
        ui->SetHelpHandler([this](const std::string& topic) { return help->ShowTopic(topic); });
    }
    void cleanup() {
        help.reset();
        ui.reset();
        frame.reset();
        d.reset();
        settings.reset();
        temp.reset();
    }

    // F1's Help button opens the page's topic above the sheet, and the help takes clicks.
    void helpFromASheetTakesClicks() {
        WithSheetOpen([this](CSpecimenSheetDialog& sheet) {
            QTest::mouseClick(sheet.HelpButton(), Qt::LeftButton);
            QVERIFY(help->isVisible());
            QCOMPARE(help->CurrentSource().fragment(), QStringLiteral("display_specfile"));
            ClickContents(*help);
            QCOMPARE(help->CurrentSource(), kContents);
            QCOMPARE(help->Owner(), sheet.windowHandle());
        });
        QTRY_COMPARE(help->Owner(), frame->windowHandle());
    }

    // Help already open when a sheet comes up is not blocked by it either.
    void helpOpenedBeforeASheetStaysUsable() {
        QVERIFY(help->ShowTopic(kTopic));
        WithSheetOpen([this](CSpecimenSheetDialog& sheet) {
            ClickContents(*help);
            QCOMPARE(help->CurrentSource(), kContents);
            QCOMPARE(help->Owner(), sheet.windowHandle());
        });
        QTRY_COMPARE(help->Owner(), frame->windowHandle());
    }

    // File > Exit closes the main window; an open help window does not keep the program up.
    void exitEndsTheProgramWithTheHelpOpen() {
        QVERIFY(help->ShowTopic(kTopic));
        bool timedOut = false;
        QTimer::singleShot(0, frame.get(), [this] { frame->OnCommand(ID_APP_EXIT); });
        QTimer::singleShot(5000, qApp, [&timedOut] {
            timedOut = true;
            QCoreApplication::exit(1);
        });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!timedOut);
        QVERIFY(!frame->isVisible());
    }
};

std::unique_ptr<QObject> MakeHelpWindowTest() {
    return std::make_unique<CTestHelpWindow>();
}

#include "test_help_window.moc"
