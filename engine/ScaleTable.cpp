#include "engine/ScaleTable.h"


namespace sorel {

namespace {

struct ScaleEntry {
    std::string_view name;
    std::array<int, ScaleTable::kSemitonesPerOctave> semitones;
    int count;
};

// The names are the texts the editor lists; states and presets store the index.
// "Melodic Minor" sounds exactly as "Harmonic Minor": states and presets made
// with it rely on that.
constexpr std::array<ScaleEntry, ScaleTable::kCount> kScales{{
    {"Major", {0, 2, 4, 5, 7, 9, 11}, 7},
    {"Minor", {0, 2, 3, 5, 7, 8, 10}, 7},
    {"Melodic Minor", {0, 2, 3, 5, 7, 8, 11}, 7},
    {"Harmonic Minor", {0, 2, 3, 5, 7, 8, 11}, 7},
    {"Minor Pentatonic", {0, 3, 5, 7, 10}, 5},
    {"Major Pentatonic", {0, 2, 4, 7, 9}, 5},
    {"Blues Pentatonic", {0, 3, 5, 6, 7, 10}, 6},
    {"Neut. Pentatonic", {0, 2, 5, 7, 10}, 5},
    {"Dim Half", {0, 1, 3, 4, 6, 7, 9, 10}, 8},
    {"Dim Whole", {0, 2, 3, 5, 6, 8, 9, 11}, 8},
    {"Whole", {0, 2, 4, 6, 8, 10}, 6},
    {"Augmented", {0, 3, 4, 7, 8, 11}, 6},
    {"Chromatic", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 12},
    {"Roumanian Minor", {0, 2, 3, 6, 7, 9, 10}, 7},
    {"Spanish Gypsy", {0, 1, 4, 5, 7, 8, 10}, 7},
    {"Blues", {0, 3, 5, 6, 7, 10}, 6},
    {"Diatonic", {0, 2, 4, 7, 9}, 5},
    {"Double Harmonic", {0, 1, 4, 5, 7, 8, 11}, 7},
    {"Eight Tone Spanish", {0, 1, 3, 4, 5, 6, 8, 10}, 8},
    {"Enigmatic", {0, 1, 4, 6, 8, 10, 11}, 7},
    {"Leading Whole Tone", {0, 2, 4, 6, 8, 10, 11}, 7},
    {"Lydian Augmented", {0, 2, 4, 6, 8, 9, 11}, 7},
    {"Neapolitan Major", {0, 1, 3, 5, 7, 9, 11}, 7},
    {"Neapolitan Minor", {0, 1, 3, 5, 7, 8, 10}, 7},
    {"Pelog", {0, 1, 3, 7, 8}, 5},
    {"Prometheus", {0, 2, 4, 6, 9, 10}, 6},
    {"Promet. Neop.", {0, 1, 4, 6, 9, 10}, 6},
    {"Six Tone Sym.", {0, 1, 4, 5, 8, 9}, 6},
    {"Super Locrian", {0, 1, 3, 4, 6, 8, 10}, 7},
    {"Lydian Minor", {0, 2, 4, 6, 7, 8, 10}, 7},
    {"Lydian Dim", {0, 2, 3, 6, 7, 9, 11}, 7},
    {"Nine Tone Scale", {0, 2, 3, 4, 6, 7, 8, 9, 11}, 9},
    {"Aux Dim", {0, 2, 3, 5, 6, 8, 9, 11}, 8},
    {"Aux Augmented", {0, 2, 4, 6, 8, 10}, 6},
    {"Aux Dim Blues", {0, 1, 3, 4, 6, 7, 9, 10}, 8},
    {"Major Locrian", {0, 2, 4, 5, 6, 8, 10}, 7},
    {"Overtone", {0, 2, 4, 6, 7, 9, 10}, 7},
    {"Dim Whole Tone", {0, 1, 3, 4, 6, 8, 10}, 7},
    {"Pure Minor", {0, 2, 3, 5, 7, 8, 10}, 7},
    {"Dominant 7th", {0, 2, 4, 5, 7, 9, 10}, 7},
}};

constexpr std::string_view kOffText = "Off";

constexpr bool InTable(int scaleIndex) { return scaleIndex >= 0 && scaleIndex < ScaleTable::kCount; }

}  // namespace

std::string_view ScaleTable::Name(int scaleIndex) {
    return InTable(scaleIndex) ? kScales[scaleIndex].name : std::string_view{};
}

std::span<const int> ScaleTable::Semitones(int scaleIndex) {
    if (!InTable(scaleIndex)) return {};
    const ScaleEntry& entry = kScales[scaleIndex];
    return {entry.semitones.data(), static_cast<std::size_t>(entry.count)};
}

ScaleTable::Pattern ScaleTable::PatternOf(int scaleIndex) {
    Pattern pattern{};
    for (int semitone : Semitones(scaleIndex)) pattern[semitone] = 1;
    return pattern;
}

std::string_view ScaleTable::ParameterText(int value) {
    return value == 0 ? kOffText : Name(value - 1);
}

}  // namespace sorel
