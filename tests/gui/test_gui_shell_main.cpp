// Runs the shell's widget tests on the offscreen platform; the first argument picks the class.
#include "app/gui_resources.h"

#include <QApplication>
#include <QTest>

#include <cstring>
#include <memory>

std::unique_ptr<QObject> MakeSpecimenTreeTest();
std::unique_ptr<QObject> MakeMainFrameTest();
std::unique_ptr<QObject> MakeShellPartsTest();
std::unique_ptr<QObject> MakeHelpWindowTest();

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitGuiResources();
    const char* which = argc > 1 ? argv[1] : "";
    std::unique_ptr<QObject> test;
    if (std::strcmp(which, "tree") == 0)
        test = MakeSpecimenTreeTest();
    else if (std::strcmp(which, "frame") == 0)
        test = MakeMainFrameTest();
    else if (std::strcmp(which, "parts") == 0)
        test = MakeShellPartsTest();
    else if (std::strcmp(which, "help") == 0)
        test = MakeHelpWindowTest();
    if (!test)
        return 2;
    return QTest::qExec(test.get(), 1, argv);
}
