#include "morphospace_outputs.h"

#include "document/carinova_doc.h"
#include "document/morphospace_tables.h"
#include "drawing/morphospace_picture.h"
#include "drawing/morphospace_scene.h"
#include "output_folder.h"
#include "platform/text_file.h"
#include "render_targets.h"

#include <charconv>
#include <ostream>

namespace {

// The window size the picture is laid out for, as for the overlay.
constexpr int kWidth = 1200;
constexpr int kHeight = 900;

bool ParseNumber(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && last == end && value >= 1;
}

bool Report(bool ok, const std::string& error, std::ostream& err) {
    if (!ok)
        err << "carinova-cli: " << error << '\n';
    return ok;
}

} // namespace

std::string ParseComponents(const std::string& text, CMorphospaceOptions& options) {
    const std::size_t comma = text.find(',');
    int x = 0;
    int y = 0;
    if (comma == std::string::npos || !ParseNumber(std::string_view(text).substr(0, comma), x) ||
        !ParseNumber(std::string_view(text).substr(comma + 1), y))
        return "expected two component numbers from 1, as in 1,2";
    options.xComponent = x - 1;
    options.yComponent = y - 1;
    return {};
}

CMorphospaceScene MakeMorphospaceScene(const CCarinovaDoc& doc, const CMorphospaceOptions& options,
                                       std::ostream& err) {
    CMorphospaceScene scene;
    scene.groupBy = options.groupBy;
    scene.xComponent = options.xComponent;
    scene.yComponent = options.yComponent;
    scene.Compute(doc);
    if (!scene.space) {
        err << "carinova-cli: no morphospace: " << scene.message << '\n';
        return scene;
    }
    if (!scene.message.empty())
        err << "carinova-cli: morphospace: " << scene.message << '\n';
    if (scene.xComponent != options.xComponent || scene.yComponent != options.yComponent)
        err << "carinova-cli: the morphospace has " << scene.space->ComponentCount()
            << " components; it shows PC" << scene.xComponent + 1 << " and PC"
            << scene.yComponent + 1 << '\n';
    return scene;
}

bool WriteMorphospaceOutputs(const CMorphospaceScene& scene, const std::string& title,
                             COutputFolder& folder, const CNumberLocale& locale,
                             std::ostream& err) {
    if (!scene.space)
        return true;
    const CMorphospace& space = *scene.space;
    std::string error;
    const bool tables =
        Report(WriteTextFile(folder.StagingPath("pca_variance.tsv"),
                             FormatMorphospaceVariance(space, locale), error),
               error, err) &&
        Report(WriteTextFile(folder.StagingPath("pca_scores.tsv"),
                             FormatMorphospaceScores(space, ScoreTableComponents(space), locale),
                             error),
               error, err);
    if (!tables)
        return false;
    const DrawFunction draw = [&scene](CDC& dc) {
        DrawMorphospacePicture(dc, scene, {0, 0, kWidth, kHeight});
    };
    return Report(RenderImageFile(folder.StagingPath("morphospace.png"), ImageFormat::Png, kWidth,
                                  kHeight, draw, error),
                  error, err) &&
           Report(RenderSvgFile(folder.StagingPath("morphospace.svg"), kWidth, kHeight, draw, title,
                                error),
                  error, err);
}
