// The real parameter table's ranges, for the fuzz targets of the readers.
#pragma once

#include <algorithm>
#include <memory>
#include <vector>

#include "frame/ParameterLayout.h"
#include "persistence/StateReader.h"

namespace sorel::fuzz {

inline const std::vector<ParameterRange>& TableRanges() {
    static const std::vector<ParameterRange> ranges = [] {
        ParameterLayout layout;
        DefineSorelParameters(layout, 0);
        std::vector<ParameterRange> result;
        for (int index = 0; index < ParameterLayout::Size(); ++index) {
            const ParameterInfo* p = layout.Get(index);
            result.push_back({p->Minimum(), p->Maximum(), p->Default(), p->Step(), p->Shape(), p->Kind() != ParamKind::Double});
        }
        return result;
    }();
    return ranges;
}

// What every read state must satisfy, whatever the bytes were.
inline void CheckImage(const StateImage& image) {
    const auto& ranges = TableRanges();
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
