#include "frame/editing/EngineEditImage.h"

#include <cmath>

#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/VardoApp.h"

namespace sorel {

using namespace param;

namespace {

// A lane key: area, pattern and lane in one number.
int LaneKey(int area, int pattern, int lane) { return (area * kPatternsPerArea + pattern) * kAllLanes + lane; }

}  // namespace

void EngineEditImage::Read(const VardoApp& app, const ChordMemoryBank& chords) {
    for (int area = 0; area < kKeyAreas; ++area) {
        const PatternEngine* engine = app.Area(area);
        if (!engine) continue;
        const PatternStepper& stepper = engine->Stepper();
        for (int pattern = 0; pattern < kPatternsPerArea; ++pattern)
            for (int lane = 0; lane < kAllLanes; ++lane)
                lanes_[LaneKey(area, pattern, lane)] = {stepper.LaneLoopStart(pattern, lane),
                                                        stepper.LaneLoopEnd(pattern, lane),
                                                        stepper.Lane(pattern, lane).laneOn};
    }
    for (int slot = 0; slot < ChordMemoryBank::kSlotCount; ++slot)
        if (const ChordSlot* held = chords.Slot(slot)) slots_[slot] = *held;
}

bool EngineEditImage::Apply(const EditChange& change, double value, VardoApp& app, ChordMemoryBank& chords) {
    using Kind = EditChange::Kind;
    const int v = static_cast<int>(std::lround(value));
    if (change.kind == Kind::LaneLoop || change.kind == Kind::LaneOn) {
        const int key = change.target, lane = key % kAllLanes, pattern = key / kAllLanes % kPatternsPerArea;
        PatternEngine* engine = app.Area(key / kAllLanes / kPatternsPerArea);
        if (!engine) return true;
        if (change.kind == Kind::LaneLoop)
            engine->Stepper().SetLaneLoop(pattern, lane, v / kLoopPack, v % kLoopPack);
        else
            engine->Stepper().SetLaneOn(pattern, lane, v != 0);
        return true;
    }
    if (change.kind == Kind::ChordNote) {
        if (ChordSlot* slot = chords.Slot(change.target / kNotesPerSlot)) {
            const int note = change.target % kNotesPerSlot;
            if (v != 0)
                slot->AddNote(note);
            else
                slot->RemoveNote(note);
        }
        return true;
    }
    if (change.kind == Kind::ChordBase) {
        if (ChordSlot* slot = chords.Slot(change.target)) slot->SetBase(v);
        return true;
    }
    return false;
}

}  // namespace sorel
