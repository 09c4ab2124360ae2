#include "engine/ScaleState.h"

#include <algorithm>
#include <cstdlib>

namespace sorel {

namespace {

constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;
constexpr int kOctave = ScaleTable::kSemitonesPerOctave;
// Every scale has a tone in each octave, so this many degrees always leave the
// MIDI range; larger requests end at the same clamped note.
constexpr int kMaxDegrees = kHighestNote + 1;

int Wrap12(int value) { return ((value % kOctave) + kOctave) % kOctave; }
int ClampNote(long long note) { return static_cast<int>(std::clamp<long long>(note, kLowestNote, kHighestNote)); }

}  // namespace

ScaleState::ScaleState() { ReloadPattern(); }

void ScaleState::SetScale(int scaleIndex) {
    scaleIndex_ = (scaleIndex >= 0 && scaleIndex < ScaleTable::kCount) ? scaleIndex : kNoScale;
    ReloadPattern();
}

void ScaleState::SetMode(int mode) {
    mode_ = Wrap12(mode);
    ReloadPattern();
}

void ScaleState::SetKey(int key) {
    key_ = Wrap12(key);
    Rotate();
}

void ScaleState::ReloadPattern() {
    pattern_ = ScaleTable::PatternOf(scaleIndex_);
    Rotate();
}

void ScaleState::Rotate() {
    for (int k = 0; k < kOctave; ++k) rotated_[k] = pattern_[(mode_ + k) % kOctave];
    hasTone_ = std::any_of(rotated_.begin(), rotated_.end(), [](int v) { return v != 0; });
}

bool ScaleState::InScale(int note) const {
    if (!HasScale()) return true;
    return rotated_[Wrap12(Wrap12(note) - key_)] != 0;
}

int ScaleState::Transpose(int note, int steps) const {
    // Without a scale the sum is clamped too: the result indexes note tables.
    if (!HasScale()) return ClampNote(static_cast<long long>(ClampNote(note)) + steps);

    // A pattern without tones would leave the walk nowhere to stop.
    if (!hasTone_) return ClampNote(note);

    const int wanted = static_cast<int>(std::min<long long>(std::llabs(steps), kMaxDegrees));
    const int direction = steps >= 0 ? 1 : -1;
    int position = Wrap12(Wrap12(note) - key_);
    int walked = 0;
    int met = -1;
    for (;;) {
        if (rotated_[position] != 0 && ++met == wanted) break;
        walked += direction;
        position = Wrap12(position + direction);
    }
    return ClampNote(static_cast<long long>(note) + walked);
}

}  // namespace sorel
