// A set of up to 127 notes kept in pitch order, with arrival order and play
// order. Used for the held notes of a key area and for chords. Fixed storage:
// nothing allocates.
#pragma once

#include <array>

#include "engine/HeldNote.h"

namespace sorel {

namespace sort {
constexpr int kLowToHigh = 0;
constexpr int kHighToLow = 1;
constexpr int kAsPlayed = 2;
constexpr int kReversed = 3;
}  // namespace sort

class NoteList {
public:
    static constexpr int kMaxNotes = 127;

    explicit NoteList(int capacity = 128) : capacity_(capacity) { slot_.fill(-1); }

    // Fails when full or the note is not 0..127; a note already present only
    // takes the new velocity.
    bool Add(int note, int velocity);
    bool Remove(int note);
    void Clear();
    bool Contains(int note) const { return note >= 0 && note < 128 && slot_[note] >= 0; }

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // i-th note in ascending pitch.
    const HeldNote& ByPitch(int i) const { return notes_[i]; }
    // The note at play index i, or nullptr.
    const HeldNote* AtPlayIndex(int i) const;
    const HeldNote* Find(int note) const { return Contains(note) ? &notes_[slot_[note]] : nullptr; }
    const HeldNote* Lowest() const { return count_ > 0 ? &notes_[0] : nullptr; }
    const HeldNote* Highest() const { return count_ > 0 ? &notes_[count_ - 1] : nullptr; }

    // Recomputes play indices (by sort order 0..3) and the velocity summaries.
    void Sort(int sortOrder);

    int FirstVelocity() const { return firstVelocity_; }
    int LastVelocity() const { return lastVelocity_; }
    int AverageVelocity() const { return averageVelocity_; }

private:
    void Reindex();

    std::array<int, 128> slot_{};           // note -> index into notes_, -1 when absent
    std::array<HeldNote, 128> notes_{};     // ascending pitch
    std::array<int, 128> byPlayIndex_{};    // play index -> index into notes_
    int count_ = 0;
    int capacity_ = 128;
    int firstVelocity_ = 127;
    int lastVelocity_ = 127;
    int averageVelocity_ = 127;
};

}  // namespace sorel
