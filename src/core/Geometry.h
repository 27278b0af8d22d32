#pragma once
// Small numeric helpers shared by rendering, tools and export.

#include <climits>
#include <cmath>

namespace quirindo {

// Rounds to the nearest integer, halves to even (2.5 -> 2, 3.5 -> 4). Values
// beyond the int range (and NaN, which must never get here) saturate instead
// of invoking undefined behaviour.
[[nodiscard]] inline int RoundHalfEven(double v) {
    if (std::isnan(v)) return 0;
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(r);
}

} // namespace quirindo
