// The sixteen chord-memory slots shared by the four key areas, the slot the
// editor shows, the copy clipboard and the named shapes that fill a slot.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/ChordShapeList.h"
#include "engine/ChordSlot.h"

namespace sorel {

class NoteList;

class ChordMemoryBank {
public:
    static constexpr int kSlotCount = 16;

    ChordMemoryBank() = default;
    // resource: the bytes of "resources/misc/chordmemory.res".
    explicit ChordMemoryBank(std::span<const std::uint8_t> resource) { LoadShapes(resource); }

    int LoadShapes(std::span<const std::uint8_t> resource) { return shapes_.Load(resource); }
    int LoadShapes(std::string_view resource) { return shapes_.Load(resource); }
    const ChordShapeList& Shapes() const { return shapes_; }

    int SlotCount() const { return kSlotCount; }
    // nullptr when i is not 0..15.
    ChordSlot* Slot(int i);
    const ChordSlot* Slot(int i) const;

    int Selected() const { return selected_; }
    void Select(int slot);  // clamped to 0..15

    // The chord editor's keyboard.
    void ToggleNote(int slot, int note, bool on);
    void SetBase(int slot, int note);

    // These act on the selected slot.
    void ApplyShape(int shapeIndex);  // base 12 and exactly the shape's notes
    void Invert(bool up);
    void Copy();
    void Paste();  // nothing before the first Copy
    void Clear();
    void ClearAll();  // every slot empty with base 12

    // The slot laid onto a key; an empty list for an empty slot or a bad index.
    BuiltChord BuildOnKey(int slot, int key) const;

    // The slot laid onto a key and merged into `out` with the key's velocity:
    // a pitch already in `out` is not added again and keeps its velocity.
    void MergeOnKey(int slot, int key, int velocity, NoteList& out) const;

    // Plain access for state chunks and ".cmb" banks.
    int Base(int slot) const;                  // 12 for a bad index
    std::span<const int> Notes(int slot) const;  // empty for a bad index
    bool AddNote(int slot, int note);          // range-checked; false when refused

private:
    std::array<ChordSlot, kSlotCount> slots_{};
    int selected_ = 0;
    ChordSlot clipboard_{};
    bool hasClipboard_ = false;
    ChordShapeList shapes_;
};

}  // namespace sorel
