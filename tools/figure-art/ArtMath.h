#pragma once
// Shaping helpers. Only + - * / and sqrt are used anywhere in the art: those
// are exactly rounded under IEEE 754, so every compiler and C library gives
// the same bytes (transcendental functions would not).

#include <algorithm>
#include <cmath>

namespace figure_art {

inline double clamp01(double value) { return std::clamp(value, 0.0, 1.0); }

inline double mix(double from, double to, double amount) { return from + (to - from) * amount; }

// 0 at or below `edge0`, 1 at or above `edge1`, with a flat start and end.
inline double smoothstep(double edge0, double edge1, double value) {
    const double t = clamp01((value - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

// A soft hump: 1 at 0, falling to 0 at |t| = 1 with a level slope both ends,
// so summed reliefs never show a crease where one of them starts.
inline double bump(double t) {
    const double inside = 1.0 - t * t;
    return inside <= 0.0 ? 0.0 : inside * inside * inside;
}

inline double distanceBetween(double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    return std::sqrt(dx * dx + dy * dy);
}

// value^exponent by repeated squaring, for highlight falloffs.
inline double raisedTo(double value, unsigned exponent) {
    double result = 1.0;
    while (exponent > 0u) {
        if ((exponent & 1u) != 0u) {
            result *= value;
        }
        value *= value;
        exponent >>= 1u;
    }
    return result;
}

struct Vec3 {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vec3 normalised(const Vec3& v) {
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

}  // namespace figure_art
