#include "report_pictures.h"

#include "document/carinova_doc.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "drawing/morphospace_print.h"
#include "drawing/morphospace_scene.h"
#include "drawing/specimen_picture.h"
#include "output_folder.h"
#include "platform/recording_dc.h"
#include "render_targets.h"

#include <ostream>

namespace {

// The window sizes the pictures are laid out for, as a maximised view would show them.
constexpr CSize kOverlaySize{1200, 900};
constexpr CSize kSpecimenSize{800, 600};

bool Report(bool ok, const std::string& error, std::ostream& err) {
    if (!ok)
        err << "carinova-cli: " << error << '\n';
    return ok;
}

bool WriteOverlay(const CCarinovaDoc& doc, COutputFolder& folder, std::ostream& err) {
    const DrawFunction draw = [&doc](CDC& dc) { DrawOverlayPicture(dc, doc, kOverlaySize); };
    std::string error;
    return Report(RenderImageFile(folder.StagingPath("overlay.png"), ImageFormat::Png,
                                  kOverlaySize.cx, kOverlaySize.cy, draw, error),
                  error, err) &&
           Report(RenderSvgFile(folder.StagingPath("overlay.svg"), kOverlaySize.cx, kOverlaySize.cy,
                                draw, doc.GetTitle(), error),
                  error, err);
}

bool WriteSpecimenImages(const CCarinovaDoc& doc, COutputFolder& folder, std::ostream& err) {
    const CSpecimenViewSettings settings;
    for (const CSpecimenRecord* record : doc.GetClusterList()) {
        const std::string name = folder.UniqueName(
            "specimens/" + SafeFileName(record->GetSpecimen()->ShortPathName) + ".png");
        std::string error;
        const bool ok = RenderImageFile(
            folder.StagingPath(name), ImageFormat::Png, kSpecimenSize.cx, kSpecimenSize.cy,
            [&](CDC& dc) { DrawSpecimenPicture(dc, record, settings, kSpecimenSize); }, error);
        if (!Report(ok, error, err))
            return false;
    }
    return true;
}

// The overlay's page count depends on the paper height only, so a stand-in device with the
// layout's printable height gives the same count as the PDF device.
int OverlayPages(const CCarinovaDoc& doc, const CPdfLayout& layout) {
    CRecordingDC paper;
    paper.SetDeviceCaps(VERTSIZE, static_cast<int>(layout.pageHeightMm - 2.0 * layout.marginMm));
    return OverlayPrintPageCount(paper, doc);
}

bool WriteReport(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                 COutputFolder& folder, std::ostream& err) {
    CPdfLayout layout;
    layout.marginMm = 5.0;
    layout.title = doc.GetTitle();
    const int overlayPages = OverlayPages(doc, layout);
    const int morphospacePages = morphospace.space ? 1 : 0;
    const int firstMemberPage = overlayPages + morphospacePages + 1;
    const auto& members = doc.GetClusterList();
    const int pageCount = firstMemberPage - 1 + static_cast<int>(members.size());
    const CSpecimenViewSettings settings;
    const PageFunction drawPage = [&](CDC& dc, int page) {
        CPrintPageInfo info;
        info.maxPage = pageCount;
        info.currentPage = page;
        if (page <= overlayPages)
            PrintOverlayPage(dc, doc, kOverlaySize, info);
        else if (page < firstMemberPage)
            PrintMorphospacePage(dc, morphospace, info);
        else
            PrintSpecimenPage(dc, members[page - firstMemberPage], settings, kSpecimenSize, info);
    };
    std::string error;
    return Report(
        RenderPdfFile(folder.StagingPath("report.pdf"), pageCount, drawPage, layout, error), error,
        err);
}

} // namespace

bool WriteReportPictures(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                         COutputFolder& folder, std::ostream& err) {
    return WriteOverlay(doc, folder, err) && WriteSpecimenImages(doc, folder, err) &&
           WriteReport(doc, morphospace, folder, err);
}
