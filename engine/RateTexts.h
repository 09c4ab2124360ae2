// The note values of the "Rate" parameter, in its order: whole note down to
// 1/256 dotted, each straight value followed by the next dotted and triplet ones.
#pragma once

#include <array>
#include <string_view>

namespace sorel {

inline constexpr std::array<std::string_view, 24> kRateTexts = {
    "1/1",    "1/2D", "1/1T",  "1/2",   "1/4D",   "1/2T", "1/4",   "1/8D",
    "1/4T",   "1/8",  "1/16D", "1/8T",  "1/16",   "1/32D", "1/16T", "1/32",
    "1/64D",  "1/32T", "1/64", "1/128D", "1/64T", "1/128", "1/256D", "1/128T"};

}  // namespace sorel
