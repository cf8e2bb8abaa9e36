#include "drawing/cluster_overlay_print.h"

#include "document/carinova_doc.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/dc_state_guard.h"
#include "drawing/mapping_extent.h"
#include "drawing/picture_font.h"
#include "model/int_round.h"
#include "platform/c_format.h"
#include "platform/cdc.h"

#include <algorithm>

namespace {

void DrawFrame(CDC& dc, const CRect& rect) {
    CDCStateGuard guard(dc);
    dc.SelectBrush({BrushStyle::Null, RGB(255, 255, 255)});
    dc.Rectangle(rect.left, rect.top, rect.right, rect.bottom);
}

// The picture fills the framed rectangle from its top-left corner, y up.
void PreparePictureMapping(CDC& dc, const CCarinovaDoc& doc, const CRect& deviceRect) {
    const FRect b = OverlayBounds(doc);
    const double w = b.Width();
    const double h = b.Height();
    dc.SetMapMode(MM_ISOTROPIC);
    dc.SetWindowExt(MappingExtent(1.3 * w, 1), MappingExtent(-1.3 * h, -1));
    dc.SetWindowOrg(TruncToInt(b.min.x - 0.15 * w), TruncToInt(b.max.y + 0.15 * h));
    dc.SetViewportExt(deviceRect.Width(), deviceRect.Height());
    dc.SetViewportOrg(deviceRect.left, deviceRect.top);
}

// Page pg (from 2) lists the records (pg - 2) * L ... (pg - 1) * L - 1, one line each, from
// y = 0 downward in steps of 1.5 text heights.
void DrawMemberList(CDC& dc, const CCarinovaDoc& doc, int page, int linesPerPage) {
    const auto& list = doc.GetClusterList();
    const float hf = PictureFontHeight(dc);
    const int x = TruncToInt(OverlayBounds(doc).min.x);
    const long long first = (static_cast<long long>(page) - 2) * linesPerPage;
    const long long end =
        std::min<long long>(first + linesPerPage, static_cast<long long>(list.size()));
    CDCStateGuard guard(dc);
    dc.SelectFont(OverlayFont(hf, FW_NORMAL));
    for (long long p = std::max(first, 0LL); p < end; ++p) {
        const CSpecimenRecord* record = list[static_cast<size_t>(p)];
        const CSpecimen* specimen = record ? record->GetSpecimen() : nullptr;
        const int d = static_cast<int>(p - first);
        dc.TextOut(x, TruncToInt(1.5f * hf * static_cast<float>(d)),
                   FormatC("%d - %s %s", static_cast<int>(p),
                           specimen ? specimen->ShortPathName.c_str() : "",
                           record == doc.GetReferenceRecord() ? "(Reference)" : ""));
    }
}

} // namespace

int OverlayListLinesPerPage(const CDC& printer) {
    const int lines = TruncToInt((printer.GetDeviceCaps(VERTSIZE) - 21) * 0.18897637795275593);
    return std::max(lines, 1);
}

int OverlayPrintPageCount(const CDC& printer, const CCarinovaDoc& doc) {
    const long long n = static_cast<long long>(doc.GetClusterList().size());
    if (!doc.GetClusterParameter().PrintSpecimenList || n == 0)
        return 1;
    const long long lines = OverlayListLinesPerPage(printer);
    return static_cast<int>((n + lines - 1) / lines + 1);
}

void PrintOverlayPage(CDC& dc, const CCarinovaDoc& doc, CSize viewClientSize,
                      const CPrintPageInfo& page) {
    PrepareOverlayMapping(dc, doc, viewClientSize);
    CRect rect = LogicalPageRect(dc);
    {
        CDCStateGuard guard(dc);
        dc.SelectFont(OverlayFont(PictureFontHeight(dc), FW_NORMAL));
        DrawPageHeader(dc, rect, "Carinova: Specimen cluster view");
        DrawPageFooter(dc, rect, page);
    }
    DrawFrame(dc, rect);
    if (doc.GetClusterList().empty())
        return;
    if (page.currentPage == 1) {
        PreparePictureMapping(dc, doc, DeviceRect(dc, rect));
        DrawOverlayView(dc, doc);
    } else if (doc.GetClusterParameter().PrintSpecimenList) {
        DrawMemberList(dc, doc, page.currentPage, OverlayListLinesPerPage(dc));
    }
}
