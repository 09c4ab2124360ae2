// The undo history of the edits made in the editor: one step per gesture
// (mouse down to mouse up) or per tool and menu action, each step the values
// it changed, before and after. The last kStepsKept steps are kept, within a
// fixed room of kChangeRoom changes; a step larger than the whole room
// cannot be undone and leaves the history empty.
//
// For the editor actions: every call under the plug-in lock (the editor
// thread, the bulk-edit worker, a state load's thread). Steps nest: the
// outermost Begin..End makes the step; changes recorded outside a step are
// not kept. Undo and redo wait while a step is open.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sorel {

struct EditChange {
    enum class Kind : uint8_t {
        Parameter,   // target: parameter index; plain values
        LaneLoop,    // target: lane key; value: loop start and end packed
        LaneOn,      // target: lane key; 0 or 1
        ChordNote,   // target: slot * 128 + note; 1 while the slot holds it
        ChordBase,   // target: slot; the base note
    };
    Kind kind = Kind::Parameter;
    int32_t target = 0;
    double before = 0.0;
    double after = 0.0;
};

class EditHistory {
public:
    static constexpr int kStepsKept = 64;
    static constexpr std::size_t kChangeRoom = std::size_t{1} << 16;

    void Begin();
    void End();
    bool Open() const { return depth_ > 0; }
    // The next End closes the step.
    bool Closing() const { return depth_ == 1; }
    // Kept only while a step is open. A change of the target changed last
    // in the same step joins it (a drag over one column is one change).
    void Record(const EditChange& change);

    bool CanUndo() const { return depth_ == 0 && cursor_ > oldest_; }
    bool CanRedo() const { return depth_ == 0 && cursor_ < stepsEnd_; }
    // Calls apply(change, value) for each change of the step, last first
    // with its value before (undo), or first first with its value after
    // (redo). False when there was nothing to do.
    template <class Apply>
    bool Undo(Apply apply);
    template <class Apply>
    bool Redo(Apply apply);
    // Forgets every step; a step being made goes on from nothing.
    void Clear();

private:
    struct Step {
        uint64_t first = 0;  // absolute change numbers, first..end-1
        uint64_t end = 0;
    };
    static constexpr uint64_t kNotStarted = ~uint64_t{0};

    Step& StepAt(uint64_t n) { return steps_[n % kStepsKept]; }
    EditChange& ChangeAt(uint64_t n) { return changes_[n % kChangeRoom]; }
    void StartStep();
    // Drops old steps until one more change fits; false when the open step fills the room alone.
    bool MakeRoom();
    bool OpenStepChangesSomething();

    std::vector<EditChange> changes_;  // kChangeRoom once the first change comes
    std::array<Step, kStepsKept> steps_{};
    uint64_t oldest_ = 0;    // step numbers: oldest_..cursor_-1 can be undone,
    uint64_t cursor_ = 0;    // cursor_..stepsEnd_-1 redone
    uint64_t stepsEnd_ = 0;
    uint64_t written_ = 0;   // the next change number
    uint64_t openFirst_ = kNotStarted;
    int depth_ = 0;
    bool overflow_ = false;
};

template <class Apply>
bool EditHistory::Undo(Apply apply) {
    if (!CanUndo()) return false;
    const Step step = StepAt(--cursor_);
    for (uint64_t n = step.end; n > step.first; --n) {
        const EditChange& change = ChangeAt(n - 1);
        apply(change, change.before);
    }
    return true;
}

template <class Apply>
bool EditHistory::Redo(Apply apply) {
    if (!CanRedo()) return false;
    const Step step = StepAt(cursor_++);
    for (uint64_t n = step.first; n < step.end; ++n) {
        const EditChange& change = ChangeAt(n);
        apply(change, change.after);
    }
    return true;
}

}  // namespace sorel
