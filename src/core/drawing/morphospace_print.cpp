#include "drawing/morphospace_print.h"

#include "drawing/dc_state_guard.h"
#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_scene.h"
#include "drawing/picture_font.h"
#include "drawing/variance_chart.h"
#include "platform/cdc.h"

void PrintMorphospacePage(CDC& dc, const CMorphospaceScene& scene, const CPrintPageInfo& page) {
    // Header and footer in 0.1 mm with y up, as on the other printed pages.
    dc.SetMapMode(MM_LOMETRIC);
    dc.SetWindowOrg(0, 0);
    dc.SetViewportOrg(0, 0);
    CRect rect = LogicalPageRect(dc);
    {
        CDCStateGuard guard(dc);
        dc.SelectFont(MakePictureFont(PictureFontHeight(dc), FW_NORMAL, FF_SWISS));
        DrawPageHeader(dc, rect, "Carinova: Morphospace");
        DrawPageFooter(dc, rect, page);
        dc.SelectBrush({BrushStyle::Null, RGB(255, 255, 255)});
        dc.Rectangle(rect.left, rect.top, rect.right, rect.bottom);
    }
    const CRect frame = DeviceRect(dc, rect);
    if (!scene.space) {
        DrawMorphospacePicture(dc, scene, frame);
        return;
    }
    const int split = frame.top + frame.Height() * 2 / 3;
    DrawMorphospacePicture(dc, scene, {frame.left, frame.top, frame.right, split});
    DrawVarianceChart(dc, *scene.space, {frame.left, split, frame.right, frame.bottom});
}
