// The forty scales that "Scale" offers, in the order of its entries. Parameter
// value 0 is "Off"; value v selects scale v - 1 of this table.
#pragma once

#include <array>
#include <span>
#include <string_view>

namespace sorel {

class ScaleTable {
public:
    static constexpr int kCount = 40;
    static constexpr int kParameterEntries = kCount + 1;  // "Off" first
    static constexpr int kSemitonesPerOctave = 12;

    using Pattern = std::array<int, kSemitonesPerOctave>;  // 1 = the semitone belongs to the scale

    // Out-of-range indices give an empty name / no semitones / an empty pattern.
    static std::string_view Name(int scaleIndex);
    static std::span<const int> Semitones(int scaleIndex);
    static Pattern PatternOf(int scaleIndex);

    // The display text of a "Scale" parameter value: "Off" for 0, else the scale's name.
    static std::string_view ParameterText(int value);
};

}  // namespace sorel
