#include "views/overlay_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "qpainter_dc.h"
#include "views/window_bitmap_export.h"

#include <QMouseEvent>
#include <QPainter>

std::unique_ptr<CRightPaneView> CClusterSpecimensView::Create(CCarinovaDoc& doc, QWidget* parent) {
    return std::make_unique<CClusterSpecimensView>(doc, parent);
}

CClusterSpecimensView::CClusterSpecimensView(CCarinovaDoc& doc, QWidget* parent)
    : CPictureView(parent), doc_(doc) {}

// Membership, reference, recalculation and the mean change the picture; a changed cluster
// selection or drawing setting (hint 10) shows with the next repaint, so it drops the kept
// picture without asking for one.
void CClusterSpecimensView::OnUpdate(CView*, int hint, CObject*) {
    switch (hint) {
    case hintClusterInserted:
    case hintClusterRemoved:
    case hintReferenceChanged:
    case hintClusterRecalculated:
    case hintMeanCalculated:
    case hintMeanRemoved:
    case hintContentsReplaced:
        picture_.Invalidate();
        update();
        break;
    case hintClusterSelectionChanged:
        picture_.Invalidate();
        break;
    default:
        break;
    }
}

void CClusterSpecimensView::PrepareFit(CDC& dc, CSize clientSize) const {
    PrepareOverlayMapping(dc, doc_, clientSize);
}

void CClusterSpecimensView::DrawContent(CDC& dc) const {
    DrawOverlayView(dc, doc_);
}

bool CClusterSpecimensView::HasPicture() const {
    return !doc_.GetClusterList().empty();
}

void CClusterSpecimensView::paintEvent(QPaintEvent*) {
    if (Zoom().Factor() != pictureZoom_.Factor() || Zoom().Offset() != pictureZoom_.Offset()) {
        picture_.Invalidate();
        pictureZoom_ = Zoom();
    }
    QPainter painter(this);
    picture_.Paint(painter, *this, [this](QPainter& onImage) {
        CQPainterDC dc(onImage);
        KeepOverlayScreenPenWidth(doc_);
        DrawPicture(dc);
    });
}

// The overlay has no use for clicks, so the left button moves the picture as well.
void CClusterSpecimensView::mousePressEvent(QMouseEvent* event) {
    CPictureView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        BeginPan(event->position().toPoint());
}

CPrintSource CClusterSpecimensView::PrintSource() const {
    return {[this](const CDC& printer) { return OverlayPrintPageCount(printer, doc_); },
            [this](CDC& dc, const CPrintPageInfo& page) {
                PrintOverlayPage(dc, doc_, ClientSize(), page);
            }};
}

void CClusterSpecimensView::OnExportImage() {
    CWindowBitmapExport exporter(*this, doc_.GetInteraction(), [this](CDC& dc) {
        KeepOverlayScreenPenWidth(doc_);
        DrawPicture(dc);
    });
    exporter.Export(doc_.GetTitle() + ".bmp");
}

bool CClusterSpecimensView::OnCommand(int id) {
    if (id == ID_CLUSTER_EXPORT_IMAGE) {
        OnExportImage();
        return true;
    }
    return RunPrintCommand(id, *this, printer_, PrintSource()) || CPictureView::OnCommand(id);
}

// The tree decides when the image export is offered; printing always is.
bool CClusterSpecimensView::OnUpdateCommand(int id, bool& enabled) const {
    switch (id) {
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
        enabled = true;
        return true;
    default:
        return CPictureView::OnUpdateCommand(id, enabled);
    }
}
