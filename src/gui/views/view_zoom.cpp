#include "views/view_zoom.h"

#include "platform/cdc.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

void CViewZoom::Fit() {
    factor_ = 1.0;
    offset_ = {};
}

void CViewZoom::ZoomAt(QPointF anchor, double steps) {
    const double factor = std::clamp(factor_ * std::pow(kStep, steps), kMinFactor, kMaxFactor);
    const QPointF fitted = Unmap(anchor);
    factor_ = factor;
    offset_ = anchor - fitted * factor_;
}

void CViewZoom::Pan(QPointF delta) {
    offset_ += delta;
}

void CViewZoom::Apply(CDC& dc) const {
    if (dc.GetMapMode() != MM_ISOTROPIC || IsFitted())
        return;
    const CSize extent = dc.GetViewportExt();
    const CPoint origin = dc.GetViewportOrg();
    // Far outside any screen but well inside the int range.
    auto device = [](double v) {
        return static_cast<int>(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
    };
    auto scaled = [&](int v) {
        const int r = device(v * factor_);
        return r != 0 ? r : (v < 0 ? -1 : 1);
    };
    dc.SetViewportExt(scaled(extent.cx), scaled(extent.cy));
    const QPointF moved = Map(QPointF(origin.x, origin.y));
    dc.SetViewportOrg(device(moved.x()), device(moved.y()));
}

bool CViewZoom::HandleKey(int key, QSize client) {
    const QPointF centre = QRectF(QPointF(0, 0), client).center();
    const double stepX = client.width() / 10.0;
    const double stepY = client.height() / 10.0;
    switch (key) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        ZoomAt(centre, 1.0);
        return true;
    case Qt::Key_Minus:
        ZoomAt(centre, -1.0);
        return true;
    case Qt::Key_0:
    case Qt::Key_Home:
        Fit();
        return true;
    case Qt::Key_Left:
        Pan({stepX, 0.0});
        return true;
    case Qt::Key_Right:
        Pan({-stepX, 0.0});
        return true;
    case Qt::Key_Up:
        Pan({0.0, stepY});
        return true;
    case Qt::Key_Down:
        Pan({0.0, -stepY});
        return true;
    default:
        return false;
    }
}
