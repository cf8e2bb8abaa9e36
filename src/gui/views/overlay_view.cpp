#include "views/overlay_view.h"

#include "document/carinova_doc.h"
#include "document/command_ids.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "qpainter_dc.h"
#include "views/window_bitmap_export.h"

#include <QPainter>

std::unique_ptr<CRightPaneView> CClusterSpecimensView::Create(CCarinovaDoc& doc, QWidget* parent) {
    return std::make_unique<CClusterSpecimensView>(doc, parent);
}

CClusterSpecimensView::CClusterSpecimensView(CCarinovaDoc& doc, QWidget* parent)
    : CRightPaneView(parent), doc_(doc) {
    UseWhitePaper();
    setFocusPolicy(Qt::StrongFocus);
}

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

void CClusterSpecimensView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    picture_.Paint(painter, *this, [this](QPainter& onImage) {
        CQPainterDC dc(onImage);
        KeepOverlayScreenPenWidth(doc_);
        DrawOverlayPicture(dc, doc_, ClientSize());
    });
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
        DrawOverlayPicture(dc, doc_, ClientSize());
    });
    exporter.Export(doc_.GetTitle() + ".bmp");
}

bool CClusterSpecimensView::OnCommand(int id) {
    if (id == ID_CLUSTER_EXPORT_IMAGE) {
        OnExportImage();
        return true;
    }
    return RunPrintCommand(id, *this, printer_, PrintSource());
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
        return false;
    }
}
