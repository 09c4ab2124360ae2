#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ScaleState.h"
#include "engine/ScaleTable.h"

namespace sorel {
namespace {

int IndexOf(std::string_view name) {
    for (int i = 0; i < ScaleTable::kCount; ++i)
        if (ScaleTable::Name(i) == name) return i;
    ADD_FAILURE() << "no scale named " << name;
    return 0;
}

std::vector<int> SemitonesOf(std::string_view name) {
    auto span = ScaleTable::Semitones(IndexOf(name));
    return {span.begin(), span.end()};
}

// The tones of a scale started on its degree `fromTone` semitones up: a mode.
ScaleState Scale(std::string_view name, int key = 0, int mode = 0) {
    ScaleState scale;
    scale.SetScale(IndexOf(name));
    scale.SetKey(key);
    scale.SetMode(mode);
    return scale;
}

// --- The table --------------------------------------------------------------

// Saved states and presets rely on "Melodic Minor" sounding as "Harmonic Minor".
TEST(ScaleTable, MelodicMinorHasTheSemitonesOfHarmonicMinor) {
    EXPECT_EQ(SemitonesOf("Melodic Minor"), (std::vector<int>{0, 2, 3, 5, 7, 8, 11}));
    EXPECT_EQ(SemitonesOf("Harmonic Minor"), SemitonesOf("Melodic Minor"));
}

// --- Transposition ----------------------------------------------------------

// For every scale, key and mode: a scale tone moved up by n degrees and back
// returns home, and as many degrees as the scale has make an octave.
TEST(ScaleTransposition, DegreesAreConsistentInEveryScaleKeyAndMode) {
    for (int i = 0; i < ScaleTable::kCount; ++i) {
        const int degrees = static_cast<int>(ScaleTable::Semitones(i).size());
        for (int key = 0; key < 12; ++key) {
            for (int mode : {0, 3, 7}) {
                const ScaleState scale = Scale(ScaleTable::Name(i), key, mode);
                for (int note = 48; note < 72; ++note) {
                    const int home = scale.Quantise(note);
                    ASSERT_TRUE(scale.InScale(home));
                    ASSERT_GE(home, note);
                    ASSERT_LT(home - note, 12);
                    EXPECT_EQ(scale.Transpose(home, degrees), home + 12);
                    EXPECT_EQ(scale.Transpose(home, -degrees), home - 12);
                    for (int steps = 1; steps <= 4; ++steps) {
                        const int up = scale.Transpose(home, steps);
                        ASSERT_GT(up, home);
                        ASSERT_TRUE(scale.InScale(up));
                        ASSERT_EQ(scale.Transpose(up, -steps), home)
                            << ScaleTable::Name(i) << " key " << key << " mode " << mode << " note " << home;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace sorel
