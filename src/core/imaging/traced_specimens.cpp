#include "imaging/traced_specimens.h"

#include "formats/specimen_reader.h"

std::vector<CTpsOutline> TracedOutlines(const CTraceResult& result, const CTracedImage& image) {
    const std::string name = ShortNameOfPath(image.path);
    const float height = static_cast<float>(image.height);
    std::vector<CTpsOutline> outlines;
    outlines.reserve(result.valves.size());
    for (const CTracedValve& valve : result.valves) {
        CTpsOutline outline;
        outline.points.reserve(valve.outline.size());
        for (const FPoint& p : valve.outline)
            outline.points.emplace_back(p.x, height - p.y);
        outline.image = name;
        outline.scale = image.scale;
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

std::vector<std::unique_ptr<CSpecimen>> TracedSpecimens(const std::vector<CTpsOutline>& outlines,
                                                        const std::string& imagePath) {
    const std::string name = ShortNameOfPath(imagePath);
    std::vector<std::unique_ptr<CSpecimen>> specimens;
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        const CTpsOutline& outline = outlines[i];
        auto specimen = std::make_unique<CSpecimen>();
        specimen->PathName = imagePath;
        specimen->ShortPathName = i == 0 ? name : name + " (" + std::to_string(i + 1) + ")";
        specimen->FileType = kTracedImageFileType;
        specimen->ImageFile = outline.image;
        specimen->Identifier = outline.identifier;
        specimen->Contour = outline.points;
        if (outline.scale) {
            // As a TPS reader applies a SCALE= line.
            specimen->ScaleFactor = *outline.scale;
            specimen->ScaleSpecified = true;
            const float factor = static_cast<float>(*outline.scale * 1000.0);
            for (FPoint& p : specimen->Contour) {
                p.x *= factor;
                p.y *= factor;
            }
        }
        specimen->NormalizeOrientation();
        specimen->CalculateStatistics();
        specimens.push_back(std::move(specimen));
    }
    return specimens;
}
