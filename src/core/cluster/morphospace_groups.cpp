#include "cluster/morphospace_groups.h"

#include "cluster/morphospace.h"
#include "cluster/specimen_record.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <numbers>

namespace {

// Okabe and Ito's palette, yellow last because it is faint on white paper.
constexpr ColorRef kPalette[] = {
    RGB(0, 0, 0),     RGB(230, 159, 0), RGB(86, 180, 233),  RGB(0, 158, 115),
    RGB(0, 114, 178), RGB(213, 94, 0),  RGB(204, 121, 167), RGB(240, 228, 66),
};
constexpr int kColors = static_cast<int>(std::size(kPalette));

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

std::string FirstWord(const std::string& text) {
    const std::string trimmed = Trimmed(text);
    const std::size_t end = trimmed.find_first_of(" \t,;");
    return trimmed.substr(0, end);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const char* GroupFieldLabel(CGroupField field) {
    switch (field) {
    case CGroupField::None:
        return "None";
    case CGroupField::Locality:
        return "Locality";
    case CGroupField::Sex:
        return "Sex";
    case CGroupField::Stage:
        return "Stage";
    case CGroupField::Identifier:
        return "Identifier";
    case CGroupField::Comment:
        return "Comment";
    }
    return "None";
}

std::optional<CGroupField> GroupFieldFromLabel(std::string_view label) {
    for (CGroupField field : kGroupFields)
        if (EqualNoCase(label, GroupFieldLabel(field)))
            return field;
    return std::nullopt;
}

std::string GroupValue(const CSpecimen& specimen, CGroupField field) {
    switch (field) {
    case CGroupField::None:
        return {};
    case CGroupField::Locality:
        return Trimmed(specimen.Locality);
    case CGroupField::Sex:
        return Trimmed(specimen.Gender);
    case CGroupField::Stage:
        return Trimmed(specimen.Stage);
    case CGroupField::Identifier:
        return Trimmed(specimen.Identifier);
    case CGroupField::Comment:
        return FirstWord(specimen.Comment);
    }
    return {};
}

std::string CMorphospaceGroup::Label(CGroupField field) const {
    if (field == CGroupField::None)
        return "Members";
    return value.empty() ? "(empty)" : value;
}

std::vector<CMorphospaceGroup> GroupMorphospace(const CMorphospace& space, CGroupField field) {
    // Sorted by value; the empty value is moved to the end afterwards.
    std::map<std::string, std::vector<int>> byValue;
    for (int point = 0; point < space.MemberCount(); ++point) {
        const CSpecimenRecord* record = space.Record(point);
        const CSpecimen* specimen = record->GetSpecimen();
        byValue[specimen ? GroupValue(*specimen, field) : std::string()].push_back(point);
    }
    std::vector<CMorphospaceGroup> groups;
    for (auto& [value, points] : byValue)
        groups.push_back({value, 0, CMorphospaceGroup::Circle, std::move(points)});
    if (!groups.empty() && groups.front().value.empty())
        std::rotate(groups.begin(), groups.begin() + 1, groups.end());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const int i = static_cast<int>(g);
        groups[g].color = kPalette[i % kColors];
        groups[g].marker = static_cast<CMorphospaceGroup::Marker>((i / kColors) % 4);
    }
    return groups;
}

CGroupSpread GroupSpread(const CMorphospace& space, const CMorphospaceGroup& group, int xComponent,
                         int yComponent) {
    CGroupSpread spread;
    spread.count = static_cast<int>(group.points.size());
    if (spread.count == 0)
        return spread;
    for (int point : group.points) {
        spread.meanX += space.Score(point, xComponent);
        spread.meanY += space.Score(point, yComponent);
    }
    spread.meanX /= spread.count;
    spread.meanY /= spread.count;
    if (spread.count < 2)
        return spread;
    for (int point : group.points) {
        const double dx = space.Score(point, xComponent) - spread.meanX;
        const double dy = space.Score(point, yComponent) - spread.meanY;
        spread.xx += dx * dx;
        spread.xy += dx * dy;
        spread.yy += dy * dy;
    }
    const double denominator = spread.count - 1;
    spread.xx /= denominator;
    spread.xy /= denominator;
    spread.yy /= denominator;
    return spread;
}

std::vector<CScorePoint> ConfidenceEllipse(const CGroupSpread& spread, int segments) {
    if (spread.count < 3 || segments < 3 || !(spread.xx + spread.yy > 0.0))
        return {};
    // Eigen-decomposition of the symmetric 2 x 2 covariance.
    const double half = 0.5 * (spread.xx + spread.yy);
    const double root = std::hypot(0.5 * (spread.xx - spread.yy), spread.xy);
    const double major = half + root;
    const double minor = std::max(half - root, 0.0);
    const double angle = 0.5 * std::atan2(2.0 * spread.xy, spread.xx - spread.yy);
    const double radius = std::sqrt(-2.0 * std::log(0.05));
    const double a = radius * std::sqrt(major);
    const double b = radius * std::sqrt(minor);
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    std::vector<CScorePoint> outline;
    outline.reserve(static_cast<std::size_t>(segments));
    for (int i = 0; i < segments; ++i) {
        const double t = 2.0 * std::numbers::pi * i / segments;
        const double u = a * std::cos(t);
        const double w = b * std::sin(t);
        outline.push_back({spread.meanX + u * c - w * s, spread.meanY + u * s + w * c});
    }
    return outline;
}
