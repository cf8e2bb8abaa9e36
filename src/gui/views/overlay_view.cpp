#include "views/overlay_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "views/window_bitmap_export.h"

#include <QMouseEvent>

std::unique_ptr<CRightPaneView> CClusterSpecimensView::Create(CCarinovaDoc& doc, QWidget* parent) {
    return std::make_unique<CClusterSpecimensView>(doc, parent);
}

CClusterSpecimensView::CClusterSpecimensView(CCarinovaDoc& doc, QWidget* parent)
    : CPictureView(parent), doc_(doc) {}

// Membership, reference, recalculation and the mean change the picture; a changed cluster
// selection or drawing setting (hint 10) waits for the next repaint.
void CClusterSpecimensView::OnUpdate(CView*, int hint, CObject*) {
    switch (hint) {
    case hintClusterInserted:
    case hintClusterRemoved:
    case hintReferenceChanged:
    case hintClusterRecalculated:
    case hintMeanCalculated:
    case hintMeanRemoved:
        update();
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

void CClusterSpecimensView::paintEvent(QPaintEvent* event) {
    KeepOverlayScreenPenWidth(doc_);
    CPictureView::paintEvent(event);
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
