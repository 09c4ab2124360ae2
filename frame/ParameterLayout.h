// The description of every slot of the parameter table. It never differs
// between instances of one host, so each process builds it once (per host
// numbering of octaves) and every instance's table refers to it.
#pragma once

#include <memory>
#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/ParameterInfo.h"

namespace sorel {

class ChordShapeList;

class ParameterLayout {
public:
    // Every slot with default contents (value 0, range 0..1).
    ParameterLayout();

    static constexpr int Size() { return param::kCount; }
    static constexpr bool Contains(int index) { return index >= 0 && index < param::kCount; }
    // Nothing for an index outside the table.
    const ParameterInfo* Get(int index) const {
        return Contains(index) ? &infos_[static_cast<size_t>(index)] : nullptr;
    }
    // For building; the index must lie inside the table.
    ParameterInfo& Describe(int index) { return infos_.at(static_cast<size_t>(index)); }

    // Sorel's layout for a host, with one choice per chord shape. The chord
    // shapes come from the module's one chord table, so they are the same
    // for every instance.
    static std::shared_ptr<const ParameterLayout> Shared(int hostCode, const ChordShapeList& shapes);

private:
    std::vector<ParameterInfo> infos_;
};

// Names, kinds, ranges, defaults and display texts of every used slot.
// `hostCode` chooses the octave numbering of the note names.
void DefineSorelParameters(ParameterLayout& layout, int hostCode);

// "Chord memory apply chord selection" offers one entry per chord shape, named as the shape.
void DefineChordShapeChoices(ParameterLayout& layout, const ChordShapeList& shapes);

}  // namespace sorel
