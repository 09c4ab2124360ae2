#include "engine/ChordMemoryBank.h"

#include <algorithm>

#include "engine/NoteList.h"

namespace sorel {

namespace {

constexpr int kOctave = 12;

bool ValidSlot(int i) { return i >= 0 && i < ChordMemoryBank::kSlotCount; }

}  // namespace

ChordSlot* ChordMemoryBank::Slot(int i) { return ValidSlot(i) ? &slots_[static_cast<std::size_t>(i)] : nullptr; }

const ChordSlot* ChordMemoryBank::Slot(int i) const {
    return ValidSlot(i) ? &slots_[static_cast<std::size_t>(i)] : nullptr;
}

void ChordMemoryBank::Select(int slot) { selected_ = std::clamp(slot, 0, kSlotCount - 1); }

void ChordMemoryBank::ToggleNote(int slot, int note, bool on) {
    ChordSlot* target = Slot(slot);
    if (!target) return;
    if (on)
        target->AddNote(note);
    else
        target->RemoveNote(note);
}

void ChordMemoryBank::SetBase(int slot, int note) {
    if (ChordSlot* target = Slot(slot)) target->SetBase(note);
}

void ChordMemoryBank::ApplyShape(int shapeIndex) {
    const ChordShape* shape = shapes_.Shape(shapeIndex);
    if (!shape) return;
    ChordSlot& target = slots_[static_cast<std::size_t>(selected_)];
    target.Reset();
    for (int note : shape->notes) target.AddNote(note);
}

void ChordMemoryBank::Invert(bool up) {
    ChordSlot& target = slots_[static_cast<std::size_t>(selected_)];
    if (target.Empty()) return;
    const int moving = up ? target.Lowest() : target.Highest();
    const int moved = moving + (up ? kOctave : -kOctave);
    if (moved < ChordSlot::kEditorLowest || moved > ChordSlot::kEditorHighest) return;
    target.RemoveNote(moving);
    // A note that lands on one already in the chord merges with it.
    target.AddNote(moved);
}

void ChordMemoryBank::Copy() {
    clipboard_ = slots_[static_cast<std::size_t>(selected_)];
    hasClipboard_ = true;
}

void ChordMemoryBank::Paste() {
    if (hasClipboard_) slots_[static_cast<std::size_t>(selected_)] = clipboard_;
}

void ChordMemoryBank::Clear() { slots_[static_cast<std::size_t>(selected_)].ClearNotes(); }

void ChordMemoryBank::ClearAll() {
    for (ChordSlot& slot : slots_) slot.Reset();
}

BuiltChord ChordMemoryBank::BuildOnKey(int slot, int key) const {
    const ChordSlot* source = Slot(slot);
    return source ? source->BuildOnKey(key) : BuiltChord{};
}

void ChordMemoryBank::MergeOnKey(int slot, int key, int velocity, NoteList& out) const {
    const BuiltChord chord = BuildOnKey(slot, key);
    for (int note : chord.Notes())
        if (!out.Contains(note)) out.Add(note, velocity);
}

int ChordMemoryBank::Base(int slot) const {
    const ChordSlot* source = Slot(slot);
    return source ? source->Base() : ChordSlot::kDefaultBase;
}

std::span<const int> ChordMemoryBank::Notes(int slot) const {
    const ChordSlot* source = Slot(slot);
    return source ? source->Notes() : std::span<const int>{};
}

bool ChordMemoryBank::AddNote(int slot, int note) {
    ChordSlot* target = Slot(slot);
    return target && target->AddNote(note);
}

}  // namespace sorel
