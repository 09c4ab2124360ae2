// The edits the engine holds outside the parameters: every lane's loop and
// on switch (all key areas and patterns) and the sixteen chord-memory
// slots. Taken when an edit step begins and again when it ends, the two
// images give the step's changes of these; a change applies back here.
//
// Read and applied under the plug-in lock.
#pragma once

#include <array>
#include <cstdint>

#include "engine/ChordMemoryBank.h"
#include "engine/ParameterIndex.h"
#include "frame/editing/EditHistory.h"

namespace sorel {

class VardoApp;

class EngineEditImage {
public:
    void Read(const VardoApp& app, const ChordMemoryBank& chords);
    // The changes from `earlier` to this image, in the order that makes them.
    template <class Record>
    void ChangesSince(const EngineEditImage& earlier, Record record) const;
    // Sets what `change` names to `value`; false for a change not of the engine.
    static bool Apply(const EditChange& change, double value, VardoApp& app, ChordMemoryBank& chords);

private:
    static constexpr int kLaneCount = param::kKeyAreas * param::kPatternsPerArea * param::kAllLanes;
    static constexpr int kNotesPerSlot = 128;
    static constexpr int kLoopPack = 64;  // a loop end is at most 32

    struct LaneLook {
        int start = 0;
        int end = param::kSteps;
        bool on = true;
    };

    std::array<LaneLook, kLaneCount> lanes_{};
    std::array<ChordSlot, ChordMemoryBank::kSlotCount> slots_{};
};

template <class Record>
void EngineEditImage::ChangesSince(const EngineEditImage& earlier, Record record) const {
    using Kind = EditChange::Kind;
    for (int key = 0; key < kLaneCount; ++key) {
        const LaneLook &was = earlier.lanes_[key], &is = lanes_[key];
        if (was.start != is.start || was.end != is.end)
            record({Kind::LaneLoop, key, double(was.start * kLoopPack + was.end), double(is.start * kLoopPack + is.end)});
        if (was.on != is.on) record({Kind::LaneOn, key, was.on ? 1.0 : 0.0, is.on ? 1.0 : 0.0});
    }
    for (int slot = 0; slot < ChordMemoryBank::kSlotCount; ++slot) {
        const ChordSlot &was = earlier.slots_[slot], &is = slots_[slot];
        // Notes leave before others come, so that a full slot takes the new ones.
        for (int note : was.Notes())
            if (!is.Contains(note)) record({Kind::ChordNote, slot * kNotesPerSlot + note, 1.0, 0.0});
        for (int note : is.Notes())
            if (!was.Contains(note)) record({Kind::ChordNote, slot * kNotesPerSlot + note, 0.0, 1.0});
        if (was.Base() != is.Base()) record({Kind::ChordBase, slot, double(was.Base()), double(is.Base())});
    }
}

}  // namespace sorel
