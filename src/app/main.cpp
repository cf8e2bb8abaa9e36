#include "app/carinova_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Carinova"));
    QApplication::setApplicationVersion(QStringLiteral(CARINOVA_VERSION));
    CCarinovaApp carinova;
    if (!carinova.InitInstance(QApplication::arguments().mid(1),
                               QApplication::applicationDirPath()))
        return 0;
    return QApplication::exec();
}
