#pragma once
// Every image and font sheet has a twin drawn at twice the resolution for
// HiDPI screens. The twin is found from the 1x resource by this one rule:
// its number is kTwiceScaleNumberOffset higher and its file name carries
// "@2x" before the extension ("images/knob.png" -> "images/knob@2x.png").

#include <string>
#include <string_view>

namespace sorel::resources {

// The scales the art is drawn at.
inline constexpr int kScales[] = {1, 2};
inline constexpr int kTwiceScaleNumberOffset = 1000;
inline constexpr std::string_view kTwiceScaleSuffix = "@2x";

inline int ScaledNumber(int number, int scale) { return scale == 2 ? number + kTwiceScaleNumberOffset : number; }

inline std::string ScaledName(std::string_view name, int scale) {
    std::string scaled(name);
    if (scale != 2) return scaled;
    const std::size_t dot = scaled.rfind('.');
    const std::size_t slash = scaled.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    scaled.insert(hasExtension ? dot : scaled.size(), kTwiceScaleSuffix);
    return scaled;
}

}  // namespace sorel::resources
