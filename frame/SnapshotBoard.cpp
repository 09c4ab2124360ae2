#include "frame/SnapshotBoard.h"

#include "engine/ChordMemoryBank.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/VardoApp.h"
#include "frame/editing/EditorModel.h"

namespace sorel {

namespace {

constexpr int kChordKeys = 64;  // the notes a snapshot's mask carries

void FillChord(EngineSnapshot& snapshot, const ChordMemoryBank* chordMemory) {
    snapshot.chordNotes = 0;
    snapshot.chordBase = EngineSnapshot::kNoBase;
    const ChordSlot* slot = chordMemory ? chordMemory->Slot(chordMemory->Selected()) : nullptr;
    if (!slot) return;
    for (int note : slot->Notes())
        if (note >= 0 && note < kChordKeys) snapshot.chordNotes |= uint64_t{1} << note;
    snapshot.chordBase = slot->Base();
}

}  // namespace

void SnapshotBoard::Publish(VardoApp& app, const ChordMemoryBank* chordMemory, const EditorModel& model) {
    Fill(slots_[back_], app, chordMemory, model);
    back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndexMask;
}

bool SnapshotBoard::Take(EngineSnapshot& into) {
    std::lock_guard<std::mutex> lock(readerMutex_);
    if (!(middle_.load(std::memory_order_acquire) & kFresh)) return false;
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndexMask;
    into = slots_[front_];
    return true;
}

void SnapshotBoard::Fill(EngineSnapshot& snapshot, VardoApp& app, const ChordMemoryBank* chordMemory,
                         const EditorModel& model) {
    FillChord(snapshot, chordMemory);
    const PatternEngine* area = app.Area(model.Area());
    if (!area) {
        snapshot.area = snapshot.pattern = EngineSnapshot::kNoSelection;
        return;
    }
    snapshot.area = model.Area();
    snapshot.pattern = model.Pattern();
    snapshot.sceneOn = area->SceneOn();
    snapshot.sceneIndex = area->SceneIndex();
    snapshot.sceneEnd = area->SceneEnd();
    const PatternStepper& stepper = area->Stepper();
    for (int lane = 0; lane < param::kAllLanes; ++lane)
        snapshot.lanes[static_cast<std::size_t>(lane)] = {stepper.LaneLoopStart(snapshot.pattern, lane),
                                                          stepper.LaneLoopEnd(snapshot.pattern, lane),
                                                          stepper.Lane(snapshot.pattern, lane).laneOn};
}

}  // namespace sorel
