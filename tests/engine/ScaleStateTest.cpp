#include <gtest/gtest.h>

#include <vector>

#include "engine/ScaleState.h"
#include "engine/ScaleTable.h"

namespace sorel {
namespace {

std::vector<int> SemitonesOf(std::string_view name) {
    for (int i = 0; i < ScaleTable::kCount; ++i)
        if (ScaleTable::Name(i) == name) return {ScaleTable::Semitones(i).begin(), ScaleTable::Semitones(i).end()};
    ADD_FAILURE() << "no scale named " << name;
    return {};
}

// Saved states and presets rely on "Melodic Minor" sounding as "Harmonic Minor".
TEST(ScaleTable, MelodicMinorHasTheSemitonesOfHarmonicMinor) {
    EXPECT_EQ(SemitonesOf("Melodic Minor"), (std::vector<int>{0, 2, 3, 5, 7, 8, 11}));
    EXPECT_EQ(SemitonesOf("Harmonic Minor"), SemitonesOf("Melodic Minor"));
}

// For every scale, key and mode: a note is put on the next scale tone up, a
// scale tone moved up by n degrees and back returns home, and as many
// degrees as the scale has make an octave.
TEST(ScaleTransposition, DegreesAreConsistentInEveryScaleKeyAndMode) {
    for (int i = 0; i < ScaleTable::kCount; ++i) {
        const int degrees = static_cast<int>(ScaleTable::Semitones(i).size());
        for (int key = 0; key < 12; ++key) {
            for (int mode : {0, 3, 7}) {
                ScaleState scale;
                scale.SetScale(i);
                scale.SetKey(key);
                scale.SetMode(mode);
                for (int note = 48; note < 72; ++note) {
                    const int home = scale.Quantise(note);
                    ASSERT_TRUE(scale.InScale(home) && home >= note && home - note < 12) << note;
                    EXPECT_EQ(scale.Transpose(home, degrees), home + 12);
                    EXPECT_EQ(scale.Transpose(home, -degrees), home - 12);
                    for (int steps = 1; steps <= 4; ++steps) {
                        const int up = scale.Transpose(home, steps);
                        ASSERT_TRUE(up > home && scale.InScale(up));
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
