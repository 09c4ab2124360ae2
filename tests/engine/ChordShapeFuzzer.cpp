// Any bytes as a chord table: the shapes read are always usable by a slot.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "engine/ChordMemoryBank.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sorel::ChordMemoryBank bank(std::span<const std::uint8_t>(data, size));
    const sorel::ChordShapeList& shapes = bank.Shapes();
    for (int i = 0; i < shapes.Count(); ++i) {
        const sorel::ChordShape* shape = shapes.Shape(i);
        if (!shape || shape->name.empty() || shape->notes.empty() ||
            shape->notes.size() > static_cast<std::size_t>(sorel::ChordSlot::kCapacity))
            std::abort();
        bank.Select(i % sorel::ChordMemoryBank::kSlotCount);
        bank.ApplyShape(i);
        if (bank.Notes(bank.Selected()).size() != shape->notes.size()) std::abort();
        bank.Invert(i % 2 == 0);
        const sorel::BuiltChord chord = bank.BuildOnKey(bank.Selected(), shape->notes.front() * 7);
        for (int note : chord.Notes())
            if (note < 0 || note > 127) std::abort();
    }
    return 0;
}
