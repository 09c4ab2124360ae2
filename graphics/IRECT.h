#pragma once
// A rectangle in window pixels: left, top, right, bottom; R and B lie just
// outside it, so the width is R - L.

#include <algorithm>
#include <cstdint>
#include <ostream>

namespace sorel {

struct IRECT {
    int32_t L = 0, T = 0, R = 0, B = 0;

    constexpr IRECT() = default;
    constexpr IRECT(int32_t l, int32_t t, int32_t r, int32_t b) : L(l), T(t), R(r), B(b) {}

    // Saturated, so that even a rectangle spanning all of int32 has a width.
    constexpr int32_t W() const { return Span(L, R); }
    constexpr int32_t H() const { return Span(T, B); }
    constexpr bool Empty() const { return R <= L || B <= T; }
    constexpr bool Contains(int32_t x, int32_t y) const { return x >= L && x < R && y >= T && y < B; }
    constexpr IRECT Intersect(const IRECT& o) const {
        IRECT r{std::max(L, o.L), std::max(T, o.T), std::min(R, o.R), std::min(B, o.B)};
        return r.Empty() ? IRECT{} : r;
    }
    constexpr IRECT Translated(int32_t dx, int32_t dy) const { return {L + dx, T + dy, R + dx, B + dy}; }
    constexpr bool operator==(const IRECT&) const = default;

private:
    static constexpr int32_t Span(int32_t from, int32_t to) {
        const int64_t span = int64_t{to} - from;
        return static_cast<int32_t>(std::clamp<int64_t>(span, INT32_MIN, INT32_MAX));
    }
};

inline std::ostream& operator<<(std::ostream& out, const IRECT& r) {
    return out << "(" << r.L << ", " << r.T << ", " << r.R << ", " << r.B << ")";
}

}  // namespace sorel
