// One chord-memory slot: up to eight notes in a small frame (the chord editor
// shows 0..35) and the base note that lands on the played key.
#pragma once

#include <array>
#include <span>

namespace sorel {

// A chord laid onto a key: distinct MIDI notes 0..127, ascending.
struct BuiltChord {
    static constexpr int kCapacity = 8;
    std::array<int, kCapacity> notes{};
    int count = 0;

    std::span<const int> Notes() const& { return {notes.data(), static_cast<std::size_t>(count)}; }
    // A view into a temporary chord would dangle (e.g. in a range-for over BuildOnKey(...).Notes()).
    std::span<const int> Notes() const&& = delete;
    bool Contains(int note) const;
    bool Add(int note);  // keeps the order; no duplicates; false when full
};

class ChordSlot {
public:
    static constexpr int kCapacity = 8;
    static constexpr int kDefaultBase = 12;
    static constexpr int kEditorLowest = 0;   // the frame inversions keep to
    static constexpr int kEditorHighest = 35;

    // False when the note is not a MIDI note, already present, or the slot is full.
    bool AddNote(int note);
    bool RemoveNote(int note);
    bool Contains(int note) const;
    void ClearNotes() { count_ = 0; }
    // Empty and back to the default base.
    void Reset();

    int Base() const { return base_; }
    // A base outside 0..127 is refused and the old base kept.
    bool SetBase(int note);

    int Count() const { return count_; }
    bool Empty() const { return count_ == 0; }
    // Ascending.
    std::span<const int> Notes() const { return {notes_.data(), static_cast<std::size_t>(count_)}; }
    int Lowest() const { return notes_[0]; }              // only when not empty
    int Highest() const { return notes_[count_ - 1]; }    // only when not empty

    // Every note moved by (key - base), clamped into 0..127; notes that land on
    // the same pitch after clamping sound once.
    BuiltChord BuildOnKey(int key) const;

private:
    std::array<int, kCapacity> notes_{};
    int count_ = 0;
    int base_ = kDefaultBase;
};

}  // namespace sorel
