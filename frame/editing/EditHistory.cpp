#include "frame/editing/EditHistory.h"

namespace sorel {

void EditHistory::Begin() { ++depth_; }

void EditHistory::End() {
    if (depth_ == 0 || --depth_ > 0) return;
    if (openFirst_ == kNotStarted) return;
    if (overflow_ || !OpenStepChangesSomething()) {
        written_ = openFirst_;
    } else {
        if (stepsEnd_ - oldest_ == kStepsKept) ++oldest_;
        StepAt(stepsEnd_++) = {openFirst_, written_};
        cursor_ = stepsEnd_;
    }
    openFirst_ = kNotStarted;
    overflow_ = false;
}

bool EditHistory::OpenStepChangesSomething() {
    for (uint64_t n = openFirst_; n < written_; ++n)
        if (ChangeAt(n).before != ChangeAt(n).after) return true;
    return false;
}

// The first change of a step: the steps that could be redone are gone.
void EditHistory::StartStep() {
    if (changes_.empty()) changes_.resize(kChangeRoom);
    if (cursor_ > oldest_)
        written_ = StepAt(cursor_ - 1).end;
    else if (stepsEnd_ > oldest_)
        written_ = StepAt(oldest_).first;
    stepsEnd_ = cursor_;
    openFirst_ = written_;
}

bool EditHistory::MakeRoom() {
    while (written_ - (oldest_ < stepsEnd_ ? StepAt(oldest_).first : openFirst_) >= kChangeRoom) {
        if (oldest_ == stepsEnd_) return false;
        ++oldest_;
    }
    return true;
}

void EditHistory::Record(const EditChange& change) {
    if (depth_ == 0 || overflow_) return;
    if (openFirst_ == kNotStarted) StartStep();
    if (written_ > openFirst_) {
        EditChange& last = ChangeAt(written_ - 1);
        if (last.kind == change.kind && last.target == change.target) {
            last.after = change.after;
            return;
        }
    }
    if (!MakeRoom()) {
        // Too large to undo: the history starts afresh after this step.
        overflow_ = true;
        return;
    }
    ChangeAt(written_++) = change;
}

void EditHistory::Clear() {
    oldest_ = cursor_ = stepsEnd_ = written_ = 0;
    openFirst_ = kNotStarted;
    overflow_ = false;
}

}  // namespace sorel
