#pragma once

#include "formats/reader_factory.h"
#include "model/specimen.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

using SpecimenList = std::vector<std::unique_ptr<CSpecimen>>;

// Reads a file as the document's Insert command does: ReadFirst once, then ReadNext until a
// read fails. The cap only guards the test against a reader that never stops.
inline SpecimenList ReadAllWith(CSpecimenReader& reader, std::size_t cap = 100000) {
    SpecimenList list;
    auto specimen = std::make_unique<CSpecimen>();
    bool ok = reader.ReadFirst(*specimen);
    while (ok && list.size() < cap) {
        list.push_back(std::move(specimen));
        specimen = std::make_unique<CSpecimen>();
        ok = reader.ReadNext(*specimen);
    }
    return list;
}

template <typename TReader> SpecimenList ReadAllAs(const std::string& path) {
    TReader reader(path);
    return ReadAllWith(reader);
}

inline SpecimenList ReadAllDetected(const std::string& path) {
    const std::unique_ptr<CSpecimenReader> reader = CreateSpecimenReader(path);
    return reader ? ReadAllWith(*reader) : SpecimenList();
}

// The order a reader stores the points in: reversed unless the closed polygon's signed area
// is positive. Computed in double on test data of small integers.
inline std::vector<FPoint> AsStored(std::vector<FPoint> points) {
    double twiceArea = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const FPoint& a = points[i];
        const FPoint& b = points[(i + 1) % points.size()];
        twiceArea += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    if (twiceArea <= 0.0)
        std::reverse(points.begin(), points.end());
    return points;
}

// Points as text, shortest exact float form, so that a mismatch shows every point.
inline std::string PointsText(const std::vector<FPoint>& points) {
    std::string text;
    char buffer[40];
    for (const FPoint& p : points) {
        text += '(';
        text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, p.x).ptr);
        text += ' ';
        text.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, p.y).ptr);
        text += ')';
    }
    return text;
}
