#pragma once
// How a drawn bitmap or colour combines with what is already there.

namespace sorel {

struct IChannelBlend {
    enum EBlendMethod : int {
        kBlendNone = 0,    // composite over, scaled by the weight
        kBlendClobber,     // replace, alpha included
        kBlendAdd,
        kBlendColorDodge,
    };
    EBlendMethod method = kBlendNone;
    float weight = 1.0f;

    constexpr IChannelBlend() = default;
    constexpr IChannelBlend(EBlendMethod m, float w = 1.0f) : method(m), weight(w) {}
};

}  // namespace sorel
