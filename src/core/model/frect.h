#pragma once

#include "model/fpoint.h"

// An axis-parallel float rectangle: min holds the smallest, max the largest coordinates.
struct FRect {
    FPoint min;
    FPoint max;

    float Width() const { return max.x - min.x; }
    float Height() const { return max.y - min.y; }

    // Componentwise union; where both values are equal the other rectangle's value is taken.
    FRect Union(const FRect& other) const {
        FRect r;
        r.min.x = min.x < other.min.x ? min.x : other.min.x;
        r.min.y = min.y < other.min.y ? min.y : other.min.y;
        r.max.x = max.x > other.max.x ? max.x : other.max.x;
        r.max.y = max.y > other.max.y ? max.y : other.max.y;
        return r;
    }
    friend bool operator==(const FRect& a, const FRect& b) = default;
};
