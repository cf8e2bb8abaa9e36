#include "formats/specimen_reader.h"

#include "model/specimen.h"

#include <algorithm>
#include <cmath>

std::string ShortNameOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool HasFiniteContour(const CSpecimen& specimen) {
    return std::all_of(specimen.Contour.begin(), specimen.Contour.end(),
                       [](FPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); });
}
