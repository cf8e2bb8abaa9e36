// Runs the picture views' tests on the offscreen platform. "screenshots <folder>" instead saves
// pictures of the main window (run it on a real display, e.g. under xvfb-run).
#include "app/gui_resources.h"

#include <QApplication>
#include <QTest>

#include <cstring>
#include <memory>

std::unique_ptr<QObject> MakeSingleViewTest();
std::unique_ptr<QObject> MakeOverlayViewTest();
std::unique_ptr<QObject> MakeUserPathTest();
std::unique_ptr<QObject> MakeMorphospaceViewTest();
int SaveScreenshots(const QString& folder);

int main(int argc, char* argv[]) {
    const bool screenshots = argc > 2 && std::strcmp(argv[1], "screenshots") == 0;
    if (!screenshots && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitGuiResources();
    if (screenshots)
        return SaveScreenshots(QString::fromLocal8Bit(argv[2]));
    int failures = 0;
    for (const auto& make :
         {MakeSingleViewTest, MakeOverlayViewTest, MakeUserPathTest, MakeMorphospaceViewTest}) {
        std::unique_ptr<QObject> test = make();
        failures += QTest::qExec(test.get(), 1, argv);
    }
    return failures;
}
