// What the fuzz targets of the state readers check of every state read.
#pragma once

#include <algorithm>

#include "persistence/StateReader.h"
#include "tests/persistence/ModelTarget.h"

namespace sorel::fuzz {

// What every read state must satisfy, whatever the bytes were.
inline void CheckImage(const StateImage& image) {
    const auto& ranges = test::ModelRanges();
    if (image.state.parameters.size() != ranges.size()) __builtin_trap();
    // The others hold their defaults, apart from the key-area conversions.
    const auto assigned = static_cast<size_t>(std::max(image.parametersAssigned, param::kKeyAreaBaseNote + 4));
    for (size_t i = 0; i < std::min(assigned, ranges.size()); ++i) {
        const double v = image.state.parameters[i];
        if (!(v >= ranges[i].minimum && v <= ranges[i].maximum)) __builtin_trap();
    }
    for (const auto& loop : image.state.laneLoops) {
        if (!loop.IsValid()) __builtin_trap();
    }
    for (int32_t number : image.state.stepCcNumbers) {
        if (number < -1 || number > 127) __builtin_trap();
    }
    for (const auto& slot : image.state.chords.slots) {
        if (slot.baseNote < 0 || slot.baseNote > 127 || slot.notes.size() > kChordSlotCapacity) __builtin_trap();
        for (int32_t note : slot.notes) {
            if (note < 0 || note > 127) __builtin_trap();
        }
    }
    if (image.version < 1 || image.version > kStateVersion) __builtin_trap();
    if (image.state.boxInfo.name.size() > 32 || image.state.chordBankName.size() > 31) __builtin_trap();
}

}  // namespace sorel::fuzz
