#include "report_pictures.h"

#include "document/carinova_doc.h"
#include "drawing/cluster_overlay_picture.h"
#include "drawing/cluster_overlay_print.h"
#include "drawing/morphospace_print.h"
#include "drawing/morphospace_scene.h"
#include "drawing/specimen_picture.h"
#include "interruption.h"
#include "platform/parallel_for.h"
#include "platform/recording_dc.h"
#include "progress.h"
#include "render_targets.h"
#include "text_output.h"

#include <mutex>
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

bool WriteOverlay(const CCarinovaDoc& doc, const CPicturePaths& paths, CProgress& progress,
                  std::ostream& err) {
    if (paths.overlayPng.empty() && paths.overlaySvg.empty())
        return true;
    progress.Begin("Drawing the overlay", 2);
    const DrawFunction draw = [&doc](CDC& dc) { DrawOverlayPicture(dc, doc, kOverlaySize); };
    std::string error;
    if (!paths.overlayPng.empty() &&
        !Report(RenderImageFile(paths.overlayPng, ImageFormat::Png, kOverlaySize.cx,
                                kOverlaySize.cy, draw, error),
                error, err))
        return false;
    progress.Advance();
    if (!paths.overlaySvg.empty() &&
        !Report(RenderSvgFile(paths.overlaySvg, kOverlaySize.cx, kOverlaySize.cy, draw,
                              doc.GetTitle(), error),
                error, err))
        return false;
    progress.Advance();
    progress.End();
    return true;
}

// Each picture is drawn on its own image, so they are made on all cores.
bool WriteSpecimenImages(const CCarinovaDoc& doc, const CPicturePaths& paths, CProgress& progress,
                         std::ostream& err) {
    const auto& members = doc.GetClusterList();
    if (paths.members.empty())
        return true;
    progress.Begin("Drawing the member pictures", members.size());
    const CSpecimenViewSettings settings;
    std::mutex failing;
    std::string firstError;
    ParallelFor(members.size(), [&](std::size_t i) {
        ThrowIfInterrupted();
        const CSpecimenRecord* record = members[i];
        const QImage image = RenderImage(kSpecimenSize.cx, kSpecimenSize.cy, [&](CDC& dc) {
            DrawSpecimenPicture(dc, record, settings, kSpecimenSize);
        });
        QByteArray bytes;
        std::string error = "Could not draw " + paths.members[i].string();
        if (!EncodeImage(image, ImageFormat::Png, bytes) ||
            !WriteFileBytes(
                paths.members[i],
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                error)) {
            const std::lock_guard lock(failing);
            if (firstError.empty())
                firstError = error;
        }
        progress.Advance();
    });
    if (!firstError.empty())
        return Report(false, firstError, err);
    progress.End();
    return true;
}

// The overlay's page count depends on the paper height only, so a stand-in device with the
// layout's printable height gives the same count as the PDF device.
int OverlayPages(const CCarinovaDoc& doc, const CPdfLayout& layout) {
    CRecordingDC paper;
    paper.SetDeviceCaps(VERTSIZE, static_cast<int>(layout.pageHeightMm - 2.0 * layout.marginMm));
    return OverlayPrintPageCount(paper, doc);
}

// A stop request leaves the remaining pages blank (they are quick), and the run then ends
// without the report: no exception passes through the printing.
bool WriteReport(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                 const CPicturePaths& paths, CProgress& progress, std::ostream& err) {
    if (paths.report.empty())
        return true;
    CPdfLayout layout;
    layout.marginMm = 5.0;
    layout.title = doc.GetTitle();
    const int overlayPages = OverlayPages(doc, layout);
    const int morphospacePages = morphospace.space ? 1 : 0;
    const int firstMemberPage = overlayPages + morphospacePages + 1;
    const auto& members = doc.GetClusterList();
    const int pageCount =
        firstMemberPage - 1 + (paths.memberPages ? static_cast<int>(members.size()) : 0);
    progress.Begin("Printing the report", static_cast<std::size_t>(pageCount));
    const CSpecimenViewSettings settings;
    const PageFunction drawPage = [&](CDC& dc, int page) {
        if (InterruptSignal() != 0)
            return;
        CPrintPageInfo info;
        info.maxPage = pageCount;
        info.currentPage = page;
        if (page <= overlayPages)
            PrintOverlayPage(dc, doc, kOverlaySize, info);
        else if (page < firstMemberPage)
            PrintMorphospacePage(dc, morphospace, info);
        else
            PrintSpecimenPage(dc, members[page - firstMemberPage], settings, kSpecimenSize, info);
        progress.Advance();
    };
    std::string error;
    const bool ok = RenderPdfFile(paths.report, pageCount, drawPage, layout, error);
    ThrowIfInterrupted();
    if (ok)
        progress.End();
    return Report(ok, error, err);
}

} // namespace

bool WriteReportPictures(const CCarinovaDoc& doc, const CMorphospaceScene& morphospace,
                         const CPicturePaths& paths, CProgress& progress, std::ostream& err) {
    return WriteOverlay(doc, paths, progress, err) &&
           WriteSpecimenImages(doc, paths, progress, err) &&
           WriteReport(doc, morphospace, paths, progress, err);
}
