#pragma once
// The buttons and modifier keys held during a mouse event.

namespace sorel {

struct IMouseMod {
    bool L = false, R = false, S = false, C = false, A = false;

    constexpr IMouseMod() = default;
    constexpr IMouseMod(bool left, bool right, bool shift = false, bool ctrl = false, bool alt = false)
        : L(left), R(right), S(shift), C(ctrl), A(alt) {}
};

}  // namespace sorel
