#pragma once
// A colour with straight (not premultiplied) alpha, each channel 0 to 255.

#include <ostream>

namespace sorel {

struct IColor {
    int A = 255, R = 0, G = 0, B = 0;

    constexpr IColor() = default;
    constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
    constexpr bool operator==(const IColor&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const IColor& c) {
    return out << "(A " << c.A << ", R " << c.R << ", G " << c.G << ", B " << c.B << ")";
}

inline constexpr IColor COLOR_BLACK{255, 0, 0, 0};
inline constexpr IColor COLOR_WHITE{255, 255, 255, 255};
inline constexpr IColor COLOR_TRANSPARENT{0, 0, 0, 0};

}  // namespace sorel
