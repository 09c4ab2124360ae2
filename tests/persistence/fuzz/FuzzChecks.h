// What the fuzz targets of the state readers check of every state read.
#pragma once

#include <algorithm>

#include "persistence/StateReader.h"
#include "tests/persistence/ModelTarget.h"

namespace sorel::fuzz {

inline void Require(bool holds) {
    if (!holds) __builtin_trap();
}

// What every read state must satisfy, whatever the bytes were.
inline void CheckImage(const StateImage& image) {
    const auto& ranges = test::ModelRanges();
    const auto& parameters = image.state.parameters;
    Require(parameters.size() == ranges.size());
    // The others hold their defaults, apart from the key-area conversions.
    const auto assigned = static_cast<size_t>(std::max(image.parametersAssigned, param::kKeyAreaBaseNote + 4));
    for (size_t i = 0; i < std::min(assigned, ranges.size()); ++i)
        Require(parameters[i] >= ranges[i].minimum && parameters[i] <= ranges[i].maximum);
    for (const auto& loop : image.state.laneLoops) Require(loop.IsValid());
    for (int32_t number : image.state.stepCcNumbers) Require(number >= -1 && number <= 127);
    for (const auto& slot : image.state.chords.slots) {
        Require(slot.baseNote >= 0 && slot.baseNote <= 127 && slot.notes.size() <= kChordSlotCapacity);
        for (int32_t note : slot.notes) Require(note >= 0 && note <= 127);
    }
    Require(image.version >= 1 && image.version <= kStateVersion);
    Require(image.state.boxInfo.name.size() <= 32 && image.state.chordBankName.size() <= 31);
}

}  // namespace sorel::fuzz
