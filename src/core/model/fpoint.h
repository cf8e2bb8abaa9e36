#pragma once

#include <cmath>
#include <concepts>

// A 2-D point or vector of two 32-bit floats, held by value everywhere.
struct FPoint {
    float x = 0.0f;
    float y = 0.0f;

    constexpr FPoint() = default;
    constexpr FPoint(float px, float py) : x(px), y(py) {}
    // Integers only when both are integers, so that mixed literals like {1.5f, 0} stay floats.
    constexpr FPoint(std::integral auto px, std::integral auto py)
        : x(static_cast<float>(px)), y(static_cast<float>(py)) {}

    FPoint& operator-=(const FPoint& b) {
        x -= b.x;
        y -= b.y;
        return *this;
    }
    friend constexpr FPoint operator+(const FPoint& a, const FPoint& b) {
        return {a.x + b.x, a.y + b.y};
    }
    friend constexpr FPoint operator-(const FPoint& a, const FPoint& b) {
        return {a.x - b.x, a.y - b.y};
    }
    friend constexpr FPoint operator-(const FPoint& a) { return {-a.x, -a.y}; }
    friend constexpr FPoint operator*(float k, const FPoint& a) { return {k * a.x, k * a.y}; }
    // Dot product, summed y first as the statistics expect.
    friend constexpr float operator*(const FPoint& a, const FPoint& b) {
        return a.y * b.y + a.x * b.x;
    }
    friend constexpr bool operator==(const FPoint& a, const FPoint& b) = default;

    float Length() const {
        return static_cast<float>(
            std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y));
    }
    // No guard against a zero length: callers ask only for directions they know.
    FPoint Unit() const {
        const float len = Length();
        return {x / len, y / len};
    }
};
