#include "engine/ChordSlot.h"

#include <algorithm>

namespace sorel {

namespace {

constexpr int kLowestNote = 0;
constexpr int kHighestNote = 127;

bool IsMidiNote(int note) { return note >= kLowestNote && note <= kHighestNote; }

// Inserts into an ascending array of distinct values; false when present or full.
template <std::size_t N>
bool InsertSorted(std::array<int, N>& values, int& count, int value) {
    auto end = values.begin() + count;
    auto at = std::lower_bound(values.begin(), end, value);
    if (at != end && *at == value) return false;
    if (count == static_cast<int>(N)) return false;
    std::move_backward(at, end, end + 1);
    *at = value;
    ++count;
    return true;
}

}  // namespace

bool BuiltChord::Contains(int note) const {
    return std::binary_search(notes.begin(), notes.begin() + count, note);
}

bool BuiltChord::Add(int note) { return InsertSorted(notes, count, note); }

bool ChordSlot::AddNote(int note) {
    if (!IsMidiNote(note)) return false;
    return InsertSorted(notes_, count_, note);
}

bool ChordSlot::RemoveNote(int note) {
    auto end = notes_.begin() + count_;
    auto at = std::lower_bound(notes_.begin(), end, note);
    if (at == end || *at != note) return false;
    std::move(at + 1, end, at);
    --count_;
    return true;
}

bool ChordSlot::Contains(int note) const {
    return std::binary_search(notes_.begin(), notes_.begin() + count_, note);
}

void ChordSlot::Reset() {
    count_ = 0;
    base_ = kDefaultBase;
}

bool ChordSlot::SetBase(int note) {
    if (!IsMidiNote(note)) return false;
    base_ = note;
    return true;
}

BuiltChord ChordSlot::BuildOnKey(int key) const {
    BuiltChord chord;
    const int shift = std::clamp(key, kLowestNote, kHighestNote) - base_;
    for (int note : Notes()) chord.Add(std::clamp(note + shift, kLowestNote, kHighestNote));
    return chord;
}

}  // namespace sorel
