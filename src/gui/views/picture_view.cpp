#include "views/picture_view.h"

#include "document/command_ids.h"
#include "platform/recording_dc.h"
#include "qpainter_dc.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {
constexpr double kWheelNotch = 120.0; // angle delta of one wheel step
} // namespace

CPictureView::CPictureView(QWidget* parent) : CRightPaneView(parent) {
    UseWhitePaper();
    setFocusPolicy(Qt::StrongFocus);
}

void CPictureView::PrepareMapping(CDC& dc) const {
    PrepareFit(dc, ClientSize());
    if (HasPicture())
        zoom_.Apply(dc);
}

void CPictureView::DrawPicture(CDC& dc) const {
    PrepareMapping(dc);
    DrawContent(dc);
}

// The screen's resolution decides the text heights the fit reserves, so the stand-in
// context reports it.
CPoint CPictureView::ToLogical(const QPoint& client) const {
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, logicalDpiX());
    dc.SetDeviceCaps(LOGPIXELSY, logicalDpiY());
    PrepareMapping(dc);
    return dc.DPtoLP({client.x(), client.y()});
}

QPoint CPictureView::ToClient(CPoint logical) const {
    CRecordingDC dc;
    dc.SetDeviceCaps(LOGPIXELSX, logicalDpiX());
    dc.SetDeviceCaps(LOGPIXELSY, logicalDpiY());
    PrepareMapping(dc);
    const CPoint device = dc.LPtoDP(logical);
    return {device.x, device.y};
}

void CPictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    CQPainterDC dc(painter);
    DrawPicture(dc);
}

bool CPictureView::OnCommand(int id) {
    const QPointF centre = QRectF(rect()).center();
    switch (id) {
    case ID_VIEW_ZOOM_IN:
        zoom_.ZoomAt(centre, 1.0);
        break;
    case ID_VIEW_ZOOM_OUT:
        zoom_.ZoomAt(centre, -1.0);
        break;
    case ID_VIEW_ZOOM_FIT:
        zoom_.Fit();
        break;
    default:
        return false;
    }
    update();
    return true;
}

bool CPictureView::OnUpdateCommand(int id, bool& enabled) const {
    switch (id) {
    case ID_VIEW_ZOOM_IN:
        enabled = HasPicture() && zoom_.Factor() < CViewZoom::kMaxFactor;
        return true;
    case ID_VIEW_ZOOM_OUT:
        enabled = HasPicture() && zoom_.Factor() > CViewZoom::kMinFactor;
        return true;
    case ID_VIEW_ZOOM_FIT:
        enabled = HasPicture() && !zoom_.IsFitted();
        return true;
    default:
        return false;
    }
}

void CPictureView::wheelEvent(QWheelEvent* event) {
    if (!HasPicture() || event->angleDelta().y() == 0) {
        CRightPaneView::wheelEvent(event);
        return;
    }
    zoom_.ZoomAt(event->position(), event->angleDelta().y() / kWheelNotch);
    event->accept();
    update();
}

void CPictureView::keyPressEvent(QKeyEvent* event) {
    if (HasPicture() && zoom_.HandleKey(event->key(), size())) {
        event->accept();
        update();
        return;
    }
    CRightPaneView::keyPressEvent(event);
}

void CPictureView::BeginPan(const QPoint& client) {
    if (HasPicture()) {
        panFrom_ = client;
        setCursor(Qt::ClosedHandCursor);
    }
}

void CPictureView::mousePressEvent(QMouseEvent* event) {
    CRightPaneView::mousePressEvent(event);
    if (event->button() == Qt::MiddleButton)
        BeginPan(event->position().toPoint());
}

void CPictureView::mouseMoveEvent(QMouseEvent* event) {
    CRightPaneView::mouseMoveEvent(event);
    if (!panFrom_)
        return;
    const QPoint pos = event->position().toPoint();
    zoom_.Pan(pos - *panFrom_);
    panFrom_ = pos;
    update();
}

void CPictureView::mouseReleaseEvent(QMouseEvent* event) {
    CRightPaneView::mouseReleaseEvent(event);
    if (panFrom_ && !(event->buttons() & (Qt::LeftButton | Qt::MiddleButton))) {
        panFrom_.reset();
        unsetCursor();
    }
}
