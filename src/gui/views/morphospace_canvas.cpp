#include "views/morphospace_canvas.h"

#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_scene.h"
#include "qpainter_dc.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

CMorphospaceCanvas::CMorphospaceCanvas(std::function<const CMorphospaceScene&()> scene,
                                       QWidget* parent)
    : QWidget(parent), scene_(std::move(scene)) {
    setObjectName(QStringLiteral("MorphospaceCanvas"));
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

void CMorphospaceCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CQPainterDC dc(painter);
    plot_ = DrawMorphospacePicture(dc, scene_(), {0, 0, width(), height()});
}

// A marker is about three screen pixels wide each side; the hit area is a little larger.
int CMorphospaceCanvas::PointAt(QPoint pos) {
    const CMorphospaceScene& scene = scene_();
    return plot_.HitTest(scene, pos.x(), pos.y(), 5.0 * plot_.Unit());
}

QString CMorphospaceCanvas::ToolTipAt(QPoint pos) {
    const int point = PointAt(pos);
    return point < 0 ? QString() : QString::fromStdString(PointDescription(scene_(), point));
}

void CMorphospaceCanvas::mouseMoveEvent(QMouseEvent* event) {
    const QString text = ToolTipAt(event->position().toPoint());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
    QWidget::mouseMoveEvent(event);
}

void CMorphospaceCanvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        if (const int point = PointAt(event->position().toPoint()); point >= 0)
            emit pointClicked(point);
    QWidget::mousePressEvent(event);
}
