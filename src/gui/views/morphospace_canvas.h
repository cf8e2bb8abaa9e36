#pragma once

#include "drawing/morphospace_plot.h"

#include <QWidget>

#include <functional>

struct CMorphospaceScene;

// The drawing surface of the morphospace view: draws the scene it is given, shows a point's
// name and scores while the mouse rests on it and reports clicks on points.
class CMorphospaceCanvas : public QWidget {
    Q_OBJECT

public:
    // `scene` is asked for the current scene before every use, so that the owner can bring it
    // up to date first.
    CMorphospaceCanvas(std::function<const CMorphospaceScene&()> scene, QWidget* parent);

    // The layout of the last paint (empty before the first).
    const CMorphospacePlot& Plot() const { return plot_; }
    // The point drawn under a position of this widget, or -1 (also before the first paint).
    int PointAt(QPoint pos);
    // The hover text at a position; empty where there is no point.
    QString ToolTipAt(QPoint pos);

signals:
    void pointClicked(int point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<const CMorphospaceScene&()> scene_;
    CMorphospacePlot plot_;
};
