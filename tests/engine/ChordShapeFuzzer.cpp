// Any bytes as a chord table: no more shapes and no longer names than the
// list holds, every shape usable by a slot, and chords built from them hold
// MIDI notes, each once.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "engine/ChordMemoryBank.h"

using sorel::ChordShapeList;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sorel::ChordMemoryBank bank(std::span<const std::uint8_t>(data, size));
    const ChordShapeList& shapes = bank.Shapes();
    if (shapes.Count() > ChordShapeList::kMaxShapes) std::abort();
    for (int i = 0; i < shapes.Count(); ++i) {
        const sorel::ChordShape* shape = shapes.Shape(i);
        if (!shape || shape->name.empty() || shape->name.size() > ChordShapeList::kMaxNameLength ||
            shape->notes.empty() || shape->notes.size() > static_cast<std::size_t>(sorel::ChordSlot::kCapacity))
            std::abort();
        bank.Select(i % sorel::ChordMemoryBank::kSlotCount);
        bank.ApplyShape(i);
        if (bank.Notes(bank.Selected()).size() != shape->notes.size()) std::abort();
        bank.Invert(i % 2 == 0);
        const sorel::BuiltChord chord = bank.BuildOnKey(bank.Selected(), shape->notes.front() * 7);
        const auto notes = chord.Notes();
        for (int note : notes)
            if (note < 0 || note > 127 || std::count(notes.begin(), notes.end(), note) != 1) std::abort();
    }
    // No such shape: the slot keeps its notes.
    const std::vector<int> kept(bank.Notes(bank.Selected()).begin(), bank.Notes(bank.Selected()).end());
    bank.ApplyShape(shapes.Count());
    const auto after = bank.Notes(bank.Selected());
    if (!std::equal(kept.begin(), kept.end(), after.begin(), after.end())) std::abort();
    return 0;
}
