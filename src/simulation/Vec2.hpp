// Vec2: the two-component vector of simulation space (positions in px, velocities in px/s, metres where
// noted).
#pragma once

#include <cmath>

namespace pelagrin {

/// A pair (x, y) of 64-bit floats. Trivially copyable, so particle arrays stay plain memory.
struct Vec2 {
    double x = 0.0;
    double y = 0.0;

    constexpr Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    constexpr Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    /// Elementwise product.
    constexpr Vec2 operator*(Vec2 o) const { return {x * o.x, y * o.y}; }
    /// Elementwise quotient.
    constexpr Vec2 operator/(Vec2 o) const { return {x / o.x, y / o.y}; }
    constexpr Vec2 operator*(double s) const { return {x * s, y * s}; }
    constexpr Vec2 operator/(double s) const { return {x / s, y / s}; }
    constexpr Vec2& operator+=(Vec2 o) { return *this = *this + o; }
    constexpr Vec2& operator-=(Vec2 o) { return *this = *this - o; }
    constexpr bool operator==(const Vec2&) const = default;

    constexpr double dot(Vec2 o) const { return x * o.x + y * o.y; }
    double length() const { return std::sqrt(x * x + y * y); }
};

} // namespace pelagrin
