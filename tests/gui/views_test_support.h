#pragma once

#include "gui_test_support.h"

#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QWidget>

#include <set>

// Counts the paint events a widget receives, to see whether a hint asked for a repaint.
class CPaintCounter : public QObject {
public:
    explicit CPaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

inline void ShowView(CRightPaneView& view, CCarinovaDoc& doc, QSize size) {
    doc.AddView(&view);
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    view.OnInitialUpdate();
}

// Rows of every hint 0 to 14, saying whether the view repaints on it.
inline void AddHintRows(const std::set<int>& repainting) {
    QTest::addColumn<int>("hint");
    for (int hint = 0; hint <= 14; ++hint)
        QTest::addRow("hint %d%s", hint, repainting.count(hint) ? " repaints" : "") << hint;
}

inline void CheckHintRepaint(CRightPaneView& view) {
    QFETCH(int, hint);
    QCoreApplication::processEvents();
    CPaintCounter counter(view);
    view.OnUpdate(nullptr, hint, nullptr);
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints > 0, QString::fromLatin1(QTest::currentDataTag()).endsWith("repaints"));
}

inline void SendMouse(QWidget& widget, QEvent::Type type, QPoint pos) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget.mapToGlobal(pos)), button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

inline std::string ReadBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// Page objects of a PDF file (not the page tree, "/Type /Pages").
inline int PdfPageCount(const std::string& path) {
    const std::string bytes = ReadBytes(path);
    const QString text = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

// Whether a dark pixel lies within one pixel of the point.
inline bool DarkNear(const QImage& image, QPoint p) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.rect().contains(p + QPoint(dx, dy)) &&
                qGray(image.pixel(p + QPoint(dx, dy))) < 96)
                return true;
    return false;
}

inline int CountNonWhite(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return count;
}
