#pragma once

#include "platform/gdi_types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CMorphospace;
class CSpecimen;

// The specimen field the members of a morphospace are grouped by.
enum class CGroupField { None, Locality, Sex, Stage, Identifier, Comment };

constexpr CGroupField kGroupFields[] = {CGroupField::None,       CGroupField::Locality,
                                        CGroupField::Sex,        CGroupField::Stage,
                                        CGroupField::Identifier, CGroupField::Comment};

// The name users see ("Sex" for the Gender field, "Comment" for its first word).
const char* GroupFieldLabel(CGroupField field);
// The field for a label, case-insensitive: none, locality, sex, stage, identifier, comment.
std::optional<CGroupField> GroupFieldFromLabel(std::string_view label);
// The specimen's value of the field: the whole text, trimmed; for Comment its first word (up
// to a space, tab, comma or semicolon). Empty for None.
std::string GroupValue(const CSpecimen& specimen, CGroupField field);

// One group of members: its field value ("" for members without one), colour and marker, and
// the points of the morphospace that belong to it.
struct CMorphospaceGroup {
    enum Marker { Circle, Square, Triangle, Diamond };
    std::string value;
    ColorRef color = 0;
    Marker marker = Circle;
    std::vector<int> points;

    // The legend text: the value, "(empty)" without one, "Members" for no grouping.
    std::string Label(CGroupField field) const;
};

// The fitted members (never the projected mean) grouped by the field: one group for None;
// otherwise by value, sorted, members without a value last. Colours come from a palette that
// readers with a colour-vision deficiency can tell apart (Okabe and Ito); after eight groups
// they repeat with the next marker shape.
std::vector<CMorphospaceGroup> GroupMorphospace(const CMorphospace& space, CGroupField field);

// A group's scores on two components: mean and covariance (denominator count - 1).
struct CGroupSpread {
    int count = 0;
    double meanX = 0.0;
    double meanY = 0.0;
    double xx = 0.0;
    double xy = 0.0;
    double yy = 0.0;
};
CGroupSpread GroupSpread(const CMorphospace& space, const CMorphospaceGroup& group, int xComponent,
                         int yComponent);

// The 95 % ellipse of a group's scores: where a two-dimensional normal distribution with the
// group's mean and covariance holds 95 % of its mass (Mahalanobis radius sqrt(-2 ln 0.05)),
// as `segments` points of the closed outline. Empty with fewer than 3 members or without any
// spread.
struct CScorePoint {
    double x = 0.0;
    double y = 0.0;
};
std::vector<CScorePoint> ConfidenceEllipse(const CGroupSpread& spread, int segments = 72);
