// The table of every setting of the plug-in, addressed by index. Slots that
// serve no setting keep their default contents (value 0, range 0..1).
#pragma once

#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/Parameter.h"

namespace sorel {

class ChordShapeList;

class ParameterTable {
public:
    ParameterTable();

    static constexpr int Size() { return param::kCount; }
    static constexpr bool Contains(int index) { return index >= 0 && index < param::kCount; }

    // Nothing for an index outside the table.
    Parameter* Get(int index) { return Contains(index) ? &params_[index] : nullptr; }
    const Parameter* Get(int index) const { return Contains(index) ? &params_[index] : nullptr; }

    // Plain value, 0 for an index outside the table.
    double Value(int index) const { return Contains(index) ? params_[index].Value() : 0.0; }

private:
    std::vector<Parameter> params_;
};

// Names, kinds, ranges, defaults and display texts of every used slot.
// `hostCode` chooses the octave numbering of the note names.
void DefineSorelParameters(ParameterTable& table, int hostCode);

// "Chord memory apply chord selection" offers one entry per chord shape, named as the shape.
void DefineChordShapeChoices(ParameterTable& table, const ChordShapeList& shapes);

}  // namespace sorel
