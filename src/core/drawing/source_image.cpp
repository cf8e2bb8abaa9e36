#include "drawing/source_image.h"

#include "formats/specimen_reader.h"
#include "imaging/traced_specimens.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

bool IsFile(const fs::path& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

} // namespace

fs::path FindSourceImage(const CSpecimen& specimen, const std::string& documentPath) {
    const fs::path outlineFile(specimen.PathName);
    if (specimen.FileType == kTracedImageFileType && IsFile(outlineFile))
        return outlineFile;
    const std::string name = ShortNameOfPath(specimen.ImageFile);
    if (name.empty())
        return {};
    for (const fs::path& folder : {fs::path(documentPath).parent_path(), outlineFile.parent_path()})
        if (!folder.empty() && IsFile(folder / name))
            return folder / name;
    return {};
}

CAffineMap ImageToSpecimenMap(const CSpecimen& specimen, int height) {
    const double unit = specimen.ScaleSpecified ? 1000.0 * specimen.ScaleFactor : 1.0;
    // tpsDig's coordinates in the specimen's units: (x, height - y) x unit.
    CAffineMap map{unit, 0.0, 0.0, -unit, 0.0, unit * height};
    if (!specimen.GetApplyTransformation())
        return map;
    const FPoint c = specimen.Centroid;
    const FPoint e1 = specimen.FirstEigenvect;
    const FPoint e2 = specimen.SecondEigenvect;
    // (p - c) projected onto the main axes, p being the point above.
    const auto project = [&](double x, double y, bool isDirection) {
        const double vx = isDirection ? x : x - c.x;
        const double vy = isDirection ? y : y - c.y;
        return std::pair{vx * e1.x + vy * e1.y, vx * e2.x + vy * e2.y};
    };
    const auto [ax, ay] = project(map.m11, map.m12, true);
    const auto [bx, by] = project(map.m21, map.m22, true);
    const auto [ox, oy] = project(map.dx, map.dy, false);
    return {ax, ay, bx, by, ox, oy};
}
