#pragma once

#include "formats/specimen_file.h"
#include "model/specimen.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using SpecimenList = std::vector<std::unique_ptr<CSpecimen>>;

// A text read by one reader class (whatever the format tests would choose), as the program
// reads a file.
template <typename TReader>
CSpecimenFile ReadTextWith(const std::string& text, const std::string& path = "test.txt") {
    TReader reader(path, text);
    return ReadSpecimensWith(reader);
}

template <typename TReader>
SpecimenList ReadAllAs(const std::string& text, const std::string& path = "test.txt") {
    return ReadTextWith<TReader>(text, path).specimens;
}

// A text read as the program reads a file: the format chosen by the tests, in their order.
inline CSpecimenFile ReadText(const std::string& text, const std::string& path = "test.txt") {
    return ReadSpecimenText(path, text);
}

inline SpecimenList ReadAllDetected(const std::string& path) {
    return ReadSpecimenFile(path).specimens;
}

// `list`: the specimens of a file of the real data folder; the test is skipped where that
// folder is absent.
#define REAL_SPECIMENS_OR_SKIP(list, name)                                                         \
    const std::filesystem::path list##Path = std::filesystem::path(CARINOVA_REAL_DATA_DIR) / name; \
    if (!std::filesystem::is_regular_file(list##Path))                                             \
        GTEST_SKIP() << list##Path << " is not present";                                           \
    const SpecimenList list = ReadAllDetected(list##Path.string())

// The problems of a reading, each as "line: text" (the first line of its range).
inline std::vector<std::string> ProblemsOf(const CSpecimenFile& file) {
    std::vector<std::string> problems;
    for (const CReadingNote& note : file.notes)
        if (note.problem)
            problems.push_back(std::to_string(note.firstLine) + ": " + note.text);
    return problems;
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
