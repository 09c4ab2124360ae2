#include "engine/PatternStepper.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "engine/ActionListener.h"
#include "engine/EngineContext.h"
#include "engine/NoteList.h"
#include "engine/WholeStep.h"

namespace sorel {

namespace {

enum EventKind { kEndPart = 0, kBoundary = 1, kFirePart = 2, kNoEvent = 3 };

bool ValidPattern(int p) { return p >= 0 && p < PatternStepper::kPatterns; }
bool ValidStep(int s) { return s >= 0 && s < PatternStepper::kSteps; }
bool ValidLane(int l) { return l >= 0 && l < lane::kCount; }

// A gate this near zero would end a note exactly where the next one starts;
// it ends the note a hundredth of its span early instead, so that a note
// struck again is let go first.
constexpr double kNearlyNoGate = 0.01;
constexpr double kJustShortGate = -0.01;
// The gate shortens a note to a twentieth of its span at most and stretches
// it to twice its span at most.
constexpr double kShortestGate = -0.95;
constexpr double kLongestGate = 1.0;
// With "Gate length in steps" a positive step gate (up to 1) counts whole
// lengths instead: 1 + its whole part of 62, so 1 to 63 lengths.
constexpr double kGateStepsOverItsRange = 62.0;

// A position this little past a grid line (as a share of a step) is on it.
constexpr double kOnGridLineTolerance = 0.001;

// The index of the grid line at `qn`, or of the next one when `qn` lies past it.
std::int64_t GridLineAtOrAfter(double qn, double gridLength) {
    const double q = qn / gridLength;
    const double whole = std::floor(q);
    return static_cast<std::int64_t>(whole) + (q - whole < kOnGridLineTolerance ? 0 : 1);
}

}  // namespace

PatternStepper::PatternStepper(EngineContext* context, ActionListener* engine)
    : context_(context),
      engine_(engine),
      patternStore_(kPatterns),
      steps_(kPatterns * kSteps),
      lanes_(kPatterns * lane::kCount) {
    for (int p = 0; p < kPatterns; ++p) patterns_[static_cast<std::size_t>(p)] = &patternStore_[static_cast<std::size_t>(p)];
    // Room for every action now; an action is built the first time the
    // pool reaches it, so an instance holds memory only for what it plays.
    pool_.reserve(kMaxActions);
    freeList_.reserve(kMaxActions);
    live_.reserve(kMaxActions);
    for (int p = 0; p < kPatterns; ++p) SetPatternSteps(p, patterns_[static_cast<std::size_t>(p)]->steps);
    SetLoop(0, Current().steps);
    Looper::Reset();
}

PatternStepper::~PatternStepper() = default;

// --- access -----------------------------------------------------------------

Pattern& PatternStepper::PatternAt(int pattern) { return *patterns_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1))]; }
const Pattern& PatternStepper::PatternAt(int pattern) const {
    return *patterns_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1))];
}
Step& PatternStepper::StepAt(int pattern, int step) {
    return steps_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1) * kSteps + std::clamp(step, 0, kSteps - 1))];
}
const Step& PatternStepper::StepAt(int pattern, int step) const {
    return steps_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1) * kSteps + std::clamp(step, 0, kSteps - 1))];
}
ControlLooper& PatternStepper::Lane(int pattern, int laneIndex) {
    return lanes_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1) * lane::kCount +
                                           std::clamp(laneIndex, 0, lane::kCount - 1))];
}
const ControlLooper& PatternStepper::Lane(int pattern, int laneIndex) const {
    return lanes_[static_cast<std::size_t>(std::clamp(pattern, 0, kPatterns - 1) * lane::kCount +
                                           std::clamp(laneIndex, 0, lane::kCount - 1))];
}

// --- setters ----------------------------------------------------------------

void PatternStepper::SetRate(int pattern, double value) {
    if (ValidPattern(pattern)) PatternAt(pattern).SetRate(value);
}
void PatternStepper::SetFreeMode(int pattern, bool on) {
    if (ValidPattern(pattern)) PatternAt(pattern).freeMode = on;
}
void PatternStepper::SetFreeRate(int pattern, double stepsPerSecond) {
    if (ValidPattern(pattern)) PatternAt(pattern).SetFreeRate(stepsPerSecond);
}
void PatternStepper::SetSwing(int pattern, double swing) {
    if (ValidPattern(pattern) && std::isfinite(swing)) PatternAt(pattern).swing = std::clamp(swing, 0.0, 1.0);
}
void PatternStepper::SetGate(int pattern, double parameter) {
    if (ValidPattern(pattern)) PatternAt(pattern).SetGate(parameter);
}
void PatternStepper::SetPatternSteps(int pattern, int steps) {
    if (!ValidPattern(pattern)) return;
    Pattern& pat = PatternAt(pattern);
    pat.SetSteps(steps);
    for (int l = 0; l < lane::kCount; ++l) Lane(pattern, l).SetLimit(pat.steps);
    if (pattern == currentPattern_) SetLoop(0, pat.steps);
}
void PatternStepper::SetHumanize(int pattern, double percent) {
    if (ValidPattern(pattern) && std::isfinite(percent)) PatternAt(pattern).humanize = std::clamp(percent, 0.0, 100.0) / 100.0;
}
void PatternStepper::SetTranspose(int pattern, int semitones) {
    if (ValidPattern(pattern)) PatternAt(pattern).transpose = std::clamp(semitones, -48, 48);
}
void PatternStepper::SetOctaves(int pattern, int octaves) {
    if (ValidPattern(pattern)) PatternAt(pattern).octaves = std::clamp(octaves, 0, 10);
}
void PatternStepper::SetSortOrder(int pattern, int parameterValue) {
    if (ValidPattern(pattern)) PatternAt(pattern).SetSortOrderParameter(parameterValue);
}
void PatternStepper::SetResetOnNewNote(int pattern, bool on) {
    if (ValidPattern(pattern)) PatternAt(pattern).resetOnNewNote = on;
}
void PatternStepper::SetTrackOrder(int pattern, bool on) {
    if (ValidPattern(pattern)) PatternAt(pattern).trackOrder = on;
}
void PatternStepper::SetLaneDirection(int pattern, int laneIndex, int direction) {
    if (ValidPattern(pattern) && ValidLane(laneIndex)) Lane(pattern, laneIndex).SetDirection(direction);
}
void PatternStepper::SetLaneResetWithPattern(int pattern, int laneIndex, bool on) {
    if (ValidPattern(pattern) && ValidLane(laneIndex)) Lane(pattern, laneIndex).resetWithPattern = on;
}
void PatternStepper::SetLaneOn(int pattern, int laneIndex, bool on) {
    if (ValidPattern(pattern) && ValidLane(laneIndex)) Lane(pattern, laneIndex).laneOn = on;
}
void PatternStepper::SetLaneLoop(int pattern, int laneIndex, int start, int end) {
    if (ValidPattern(pattern) && ValidLane(laneIndex)) Lane(pattern, laneIndex).SetLoop(start, end);
}
int PatternStepper::LaneLoopStart(int pattern, int laneIndex) const { return Lane(pattern, laneIndex).LoopStart(); }
int PatternStepper::LaneLoopEnd(int pattern, int laneIndex) const { return Lane(pattern, laneIndex).LoopEnd(); }

void PatternStepper::SetStepValue(int pattern, int laneIndex, int step, double value) {
    if (!ValidPattern(pattern) || !ValidLane(laneIndex) || !ValidStep(step) || !std::isfinite(value)) return;
    Step& s = StepAt(pattern, step);
    switch (laneIndex) {
        case lane::kOrder: s.noteSource = WholeStep(value, 0, 7); break;
        case lane::kChordMemory: s.chordSource = WholeStep(value, 0, 16); break;
        case lane::kLength: s.length = std::clamp(value, 1.0, 8.0); break;
        case lane::kGate: s.gate = std::clamp(value, -100.0, 100.0); break;
        case lane::kAccent: s.accent = std::clamp(value, -100.0, 100.0); break;
        case lane::kTranspose: s.transpose = WholeStep(value, -24, 24); break;
        case lane::kDivide: s.divide = std::clamp(value, 1.0, 8.0); break;
        case lane::kShift: s.shift = std::clamp(value, -50.0, 50.0); break;
        case lane::kChord: s.chordMask = WholeStep(value, 0, 255); break;
        case lane::kProb: s.chance = std::clamp(value, 0.0, param::kSureChance); break;
        default: s.cc[static_cast<std::size_t>(laneIndex - lane::kFirstCc)] = WholeStep(value, 0, 127); break;
    }
}

double PatternStepper::StepValue(int pattern, int laneIndex, int step) const {
    const Step& s = StepAt(pattern, step);
    switch (laneIndex) {
        case lane::kOrder: return s.noteSource;
        case lane::kChordMemory: return s.chordSource;
        case lane::kLength: return s.length;
        case lane::kGate: return s.gate;
        case lane::kAccent: return s.accent;
        case lane::kTranspose: return s.transpose;
        case lane::kDivide: return s.divide;
        case lane::kShift: return s.shift;
        case lane::kChord: return s.chordMask;
        case lane::kProb: return s.chance;
        default:
            if (laneIndex >= lane::kFirstCc && laneIndex < lane::kProb)
                return s.cc[static_cast<std::size_t>(laneIndex - lane::kFirstCc)];
            return 0.0;
    }
}

void PatternStepper::SetLaneSwitch(int pattern, int laneIndex, int step, bool on) {
    if (ValidPattern(pattern) && ValidLane(laneIndex) && ValidStep(step))
        StepAt(pattern, step).laneSwitch[static_cast<std::size_t>(laneIndex)] = on;
}
bool PatternStepper::LaneSwitch(int pattern, int laneIndex, int step) const {
    if (!ValidLane(laneIndex)) return false;
    return StepAt(pattern, step).laneSwitch[static_cast<std::size_t>(laneIndex)];
}

// --- patterns ---------------------------------------------------------------

void PatternStepper::SelectPattern(int pattern) {
    if (!ValidPattern(pattern)) return;
    currentPattern_ = pattern;
    SetLoop(0, Current().steps);
    Looper::Reset();
}

void PatternStepper::SwitchPattern(int pattern) {
    if (!ValidPattern(pattern)) return;
    currentPattern_ = pattern;
    SetLoop(0, Current().steps);
    Looper::Reset();
    ResetAllLanes();
    // Waiting actions were built from the old pattern's lanes; the next step rebuilds.
    DropUnfiredActions();
    nextActionMade_ = false;
}

void PatternStepper::ResetLanes() {
    for (int l = 0; l < lane::kCount; ++l) Lane(currentPattern_, l).Reset();
}

void PatternStepper::ResetAllLanes() {
    for (auto& l : lanes_) l.Reset();
}

bool PatternStepper::IsFree() const { return Current().freeMode; }

double PatternStepper::StepLength() const {
    const ControlLooper& l = Lane(currentPattern_, lane::kLength);
    const Step& s = StepAt(currentPattern_, l.Position());
    if (l.laneOn && s.laneSwitch[lane::kLength]) return s.length;
    return 1.0;
}

double PatternStepper::CurrentStepLengthQn() const {
    const Pattern& pat = Current();
    const EngineClock& clock = context_->clock;
    double len = pat.rateBeats;
    if (pat.freeMode && clock.Valid() && pat.freeRate > 0.0)
        len = clock.sampleRate / pat.freeRate / clock.samplesPerBeat;
    if (!std::isfinite(len) || len <= 0.0) len = 0.25;
    return len;
}

// --- running ----------------------------------------------------------------

void PatternStepper::Start(std::int64_t sample) {
    const EngineClock& clock = context_->clock;
    DropUnfiredActions();
    stepperRunning_ = true;
    stopRequested_ = false;
    restartPending_ = false;
    nextActionMade_ = false;
    const double len = CurrentStepLengthQn();
    const double qn = clock.QnAt(sample);
    gridLength_ = len;
    if (clock.hostPlaying && !clock.loopJumped && !context_->startNotesImmediately) {
        // On the host's grid: the next grid line, or this one when we are just past it.
        gridOrigin_ = 0.0;
        gridIndex_ = GridLineAtOrAfter(qn, len);
    } else {
        gridOrigin_ = qn;
        gridIndex_ = 0;
    }
    slot_ = StepSlot{false, gridOrigin_ + static_cast<double>(gridIndex_) * gridLength_, -1.0};
}

int PatternStepper::Offset(std::int64_t sample) const {
    const std::int64_t offset = sample - context_->clock.blockStart;
    return static_cast<int>(std::clamp<std::int64_t>(offset, 0, std::numeric_limits<int>::max()));
}

void PatternStepper::Tick(std::int64_t segmentStart, int length) {
    if (!stepperRunning_ || length <= 0 || !context_->clock.Valid()) return;
    const std::int64_t segmentEnd = segmentStart + length;
    inTick_ = true;
    if (FellBehind(segmentStart)) Resync(segmentStart);
    // Each event moves time forward or finishes something, so this ends; the
    // bound only guards against a fault turning into a hang on the audio thread.
    for (int guard = 0; guard < 1 << 20; ++guard) {
        if (!ProcessNextEvent(segmentStart, segmentEnd)) break;
        if (!stepperRunning_) break;
    }
    inTick_ = false;
}

bool PatternStepper::FellBehind(std::int64_t sample) const {
    const double due = slot_.begun ? slot_.endQn : slot_.startQn;
    const double stepQn = std::max(gridLength_, CurrentStepLengthQn());
    return context_->clock.QnAt(sample) - due > kMaxLagSteps * stepQn;
}

void PatternStepper::Resync(std::int64_t sample) {
    // Playing the missed steps would flood the block; the notes that sound end
    // here and the arpeggio goes on from the current grid line.
    EndAllActions(Offset(sample));
    Start(sample);
}

bool PatternStepper::ProcessNextEvent(std::int64_t segmentStart, std::int64_t segmentEnd) {
    const EngineClock& clock = context_->clock;
    std::int64_t bestTime = std::numeric_limits<std::int64_t>::max();
    int bestKind = kNoEvent;
    std::uint64_t bestSequence = 0;
    int bestAction = -1, bestPart = -1;

    auto consider = [&](std::int64_t t, int kind, std::uint64_t sequence, int action, int part) {
        if (t < bestTime || (t == bestTime && (kind < bestKind || (kind == bestKind && sequence < bestSequence)))) {
            bestTime = t;
            bestKind = kind;
            bestSequence = sequence;
            bestAction = action;
            bestPart = part;
        }
    };

    // Events at the same sample and of the same kind go in the order the
    // actions began and, within an action, part by part: an action's parts
    // number below StepAction::kMaxParts.
    const auto order = [](const StepAction& a, int part) {
        return a.sequence * StepAction::kMaxParts + static_cast<unsigned>(part);
    };
    for (int index : live_) {
        const StepAction& a = pool_[static_cast<std::size_t>(index)];
        for (int p = 0; p < a.partCount; ++p) {
            const ActionPart& part = a.parts[static_cast<std::size_t>(p)];
            if (part.ended) continue;
            if (!part.fired)
                consider(clock.SampleAt(part.onQn), kFirePart, order(a, p), index, p);
            else
                consider(std::max(clock.SampleAt(part.offQn), clock.SampleAt(part.onQn)), kEndPart,
                         order(a, p), index, p);
        }
    }
    consider(clock.SampleAt(slot_.begun ? slot_.endQn : slot_.startQn), kBoundary, 0, -1, -1);

    if (bestKind == kNoEvent || bestTime >= segmentEnd) return false;
    const int offset = Offset(std::max(bestTime, segmentStart));

    if (bestKind == kBoundary) {
        if (slot_.begun)
            EndStep(offset);
        else
            BeginStep(offset);
    } else {
        StepAction& a = pool_[static_cast<std::size_t>(bestAction)];
        ActionPart& part = a.parts[static_cast<std::size_t>(bestPart)];
        if (bestKind == kFirePart) {
            part.fired = true;
            engine_->FireAction(a, bestPart, offset);
        } else {
            part.ended = true;
            engine_->EndAction(a, bestPart, offset);
        }
        if (a.Finished()) FreeAction(bestAction);
    }
    if (stopRequested_) Stop(offset);
    return true;
}

void PatternStepper::BeginStep(int offset) {
    slot_.begun = true;
    if (!stepperRunning_ || stopRequested_) return;
    if (restartPending_) {
        restartPending_ = false;
        if (Current().resetOnNewNote) {
            for (int l = 0; l < lane::kCount; ++l) {
                ControlLooper& lp = Lane(currentPattern_, l);
                if (!lp.resetWithPattern) continue;
                lp.Reset();
                if (l == lane::kOrder) RestartNoteSelection();
            }
            EndAllActions(offset);
            Looper::Reset();
            nextActionMade_ = false;
        }
    }
    const double len = CurrentStepLengthQn();
    if (len != gridLength_) {
        // A new rate starts its grid here, so the step that is due keeps its place.
        gridOrigin_ = slot_.startQn;
        gridIndex_ = 0;
        gridLength_ = len;
    }
    if (!nextActionMade_) {
        nextValues_ = ReadStepValues(false);
        CreateAction(slot_.startQn, nextValues_, gridIndex_, offset);
    }
    const StepValues current = nextValues_;
    std::int64_t endIndex = gridIndex_ + std::max(1, current.length);
    slot_.endQn = gridOrigin_ + static_cast<double>(endIndex) * gridLength_;
    const EngineClock& clock = context_->clock;
    if (clock.SampleAt(slot_.endQn) <= clock.SampleAt(slot_.startQn)) {
        // Shorter than a sample at this tempo: one sample, and a fresh grid from there.
        slot_.endQn = clock.QnAt(clock.SampleAt(slot_.startQn) + 1);
        gridOrigin_ = slot_.endQn;
        endIndex = 0;
    }
    slotEndIndex_ = endIndex;
    nextValues_ = ReadStepValues(true);
    CreateAction(slot_.endQn, nextValues_, endIndex, offset);
    nextActionMade_ = true;
}

void PatternStepper::EndStep(int offset) {
    for (int l = 0; l < lane::kCount; ++l) Lane(currentPattern_, l).Advance();
    const bool wrapped = Looper::Advance();
    if (wrapped) {
        for (int p = 0; p < kPatterns; ++p)
            for (int l = 0; l < lane::kCount; ++l) {
                ControlLooper& lp = Lane(p, l);
                if (!lp.resetWithPattern) continue;
                lp.Reset();
                if (p == currentPattern_ && l == lane::kOrder) RestartNoteSelection();
            }
    }
    gridIndex_ = slotEndIndex_;
    slot_ = StepSlot{false, slot_.endQn, -1.0};
    stepIndex_ = Position();
    engine_->StepEnds(offset);
}

StepValues PatternStepper::ReadStepValues(bool peekNext) const {
    StepValues v;
    const int p = currentPattern_;
    v.pattern = p;
    v.stepIndex = peekNext ? PeekNext() : Position();
    // Lanes that restart with the pattern start over when the step loop wraps.
    const bool patternWraps = peekNext && WrapsNext();
    auto at = [&](int laneIndex) -> const Step& {
        const ControlLooper& l = Lane(p, laneIndex);
        if (!peekNext) return StepAt(p, l.Position());
        return StepAt(p, patternWraps && l.resetWithPattern ? l.ResetPosition() : l.PeekNext());
    };
    const bool onlyOrderSwitches = context_->useOnlyOrderOnOff;
    auto used = [&](int laneIndex, const Step& s) {
        return Lane(p, laneIndex).laneOn && (onlyOrderSwitches || s.laneSwitch[static_cast<std::size_t>(laneIndex)]);
    };

    const Step& order = at(lane::kOrder);
    v.orderLaneOn = Lane(p, lane::kOrder).laneOn;
    v.noteSource = v.orderLaneOn ? order.noteSource : order::kPlay;
    v.muted = !order.laneSwitch[lane::kOrder] || (v.orderLaneOn && order.noteSource == order::kOff);

    if (const Step& s = at(lane::kChordMemory); used(lane::kChordMemory, s)) v.chordSource = s.chordSource;
    if (const Step& s = at(lane::kLength); used(lane::kLength, s))
        v.length = std::clamp(static_cast<int>(std::lround(s.length)), 1, 8);
    if (const Step& s = at(lane::kGate); used(lane::kGate, s)) v.gate = MapGate(s.gate);
    if (const Step& s = at(lane::kAccent); used(lane::kAccent, s)) v.accent = s.accent;
    if (const Step& s = at(lane::kTranspose); used(lane::kTranspose, s)) v.transpose = s.transpose;
    if (const Step& s = at(lane::kDivide); used(lane::kDivide, s))
        v.divide = std::clamp(static_cast<int>(s.divide), 1, StepAction::kMaxParts);
    if (const Step& s = at(lane::kShift); used(lane::kShift, s)) v.shift = static_cast<int>(std::trunc(s.shift));
    if (const Step& s = at(lane::kChord); used(lane::kChord, s)) v.chordMask = s.chordMask;
    if (const Step& s = at(lane::kProb); used(lane::kProb, s)) v.chance = s.chance;
    for (int c = 0; c < lane::kCcCount; ++c) {
        const int laneIndex = lane::kFirstCc + c;
        if (Lane(p, laneIndex).laneOn) v.cc[static_cast<std::size_t>(c)] = at(laneIndex).cc[static_cast<std::size_t>(c)];
    }
    return v;
}

StepAction* PatternStepper::CreateAction(double startQn, const StepValues& values, std::int64_t gridIndex,
                                         int offset) {
    if (freeList_.empty() && pool_.size() < static_cast<std::size_t>(kMaxActions)) {
        freeList_.push_back(static_cast<int>(pool_.size()));
        pool_.emplace_back();  // within the reserved room: no allocation
    }
    if (freeList_.empty()) {
        // Every slot holds a sounding note: the oldest one ends now to make room.
        const int oldest = live_.front();
        StepAction& a = pool_[static_cast<std::size_t>(oldest)];
        for (int p = 0; p < a.partCount; ++p) {
            ActionPart& part = a.parts[static_cast<std::size_t>(p)];
            if (part.fired && !part.ended) engine_->EndAction(a, p, offset);
            part.fired = part.ended = true;
        }
        FreeAction(oldest);
    }
    const int index = freeList_.back();
    freeList_.pop_back();
    StepAction& a = pool_[static_cast<std::size_t>(index)];
    a = StepAction{};
    a.sequence = ++context_->actionSequence;
    a.values = values;
    ScheduleParts(a, startQn, gridIndex);
    live_.push_back(index);
    return &a;
}

void PatternStepper::ScheduleParts(StepAction& action, double startQn, std::int64_t gridIndex) {
    const Pattern& pat = Current();
    const StepValues& v = action.values;
    const double len = gridLength_;

    double gate = v.gate + pat.gate;
    if (std::fabs(gate) < kNearlyNoGate) gate = kJustShortGate;
    gate = std::clamp(gate, kShortestGate, kLongestGate);

    double lengthSteps = v.length;
    if (gateInSteps_ && v.gate > 0.0) lengthSteps *= std::trunc(v.gate * kGateStepsOverItsRange + 1.0);

    double on = startQn;
    if (v.shift == 0) {
        if ((gridIndex & 1) != 0) on += pat.swing * 0.5 * len;
    } else {
        on += v.shift / 100.0 * len;
    }
    double end = startQn + lengthSteps * len;
    if (end - startQn < kMinimumStepSpan * len) end += len;
    end += (end - on) * v.shift / 100.0;
    if (end < on) end = on;

    action.partCount = std::clamp(v.divide, 1, StepAction::kMaxParts);
    if (action.partCount == 1) {
        action.parts[0].onQn = on;
        action.parts[0].offQn = std::max(on, end + (end - on) * gate);
        return;
    }
    const double d = (end - on) / action.partCount;
    for (int i = 0; i < action.partCount; ++i) {
        ActionPart& part = action.parts[static_cast<std::size_t>(i)];
        part.onQn = on + i * d;
        part.offQn = std::max(part.onQn, part.onQn + d * (1.0 + gate));
    }
}

void PatternStepper::FreeAction(int poolIndex) {
    auto it = std::find(live_.begin(), live_.end(), poolIndex);
    if (it == live_.end()) return;
    live_.erase(it);
    freeList_.push_back(poolIndex);
}

void PatternStepper::DropUnfiredActions() {
    for (std::size_t i = 0; i < live_.size();) {
        StepAction& a = pool_[static_cast<std::size_t>(live_[i])];
        for (int p = 0; p < a.partCount; ++p) {
            ActionPart& part = a.parts[static_cast<std::size_t>(p)];
            if (!part.fired) part.fired = part.ended = true;
        }
        if (a.Finished())
            FreeAction(live_[i]);
        else
            ++i;
    }
}

void PatternStepper::EndFiredActions(int offset) {
    for (int index : live_) {
        StepAction& a = pool_[static_cast<std::size_t>(index)];
        for (int p = 0; p < a.partCount; ++p) {
            ActionPart& part = a.parts[static_cast<std::size_t>(p)];
            if (part.fired && !part.ended) {
                part.ended = true;
                engine_->EndAction(a, p, offset);
            }
        }
    }
}

void PatternStepper::EndAllActions(int offset) {
    EndFiredActions(offset);
    DropUnfiredActions();
}

void PatternStepper::Stop(int offset) {
    EndAllActions(offset);
    stepperRunning_ = false;
    stopRequested_ = false;
    restartPending_ = false;
    nextActionMade_ = false;
    slot_ = StepSlot{};
    Looper::Reset();
    stepIndex_ = Position();
    ResetAllLanes();
    RestartNoteSelection();
    previousPick_ = -1;
}

void PatternStepper::Rebase(double deltaQn) {
    if (!std::isfinite(deltaQn) || deltaQn == 0.0) return;
    gridOrigin_ += deltaQn;
    if (slot_.startQn >= 0.0 || stepperRunning_) slot_.startQn += deltaQn;
    if (slot_.begun) slot_.endQn += deltaQn;
    for (int index : live_) {
        StepAction& a = pool_[static_cast<std::size_t>(index)];
        for (int p = 0; p < a.partCount; ++p) {
            a.parts[static_cast<std::size_t>(p)].onQn += deltaQn;
            a.parts[static_cast<std::size_t>(p)].offQn += deltaQn;
        }
    }
}

void PatternStepper::AlignToGrid() {
    if (!stepperRunning_) return;
    const double len = gridLength_;
    // The next step's action waits at the current step's end and moves with it.
    auto moveNextAction = [this](double delta) {
        if (!nextActionMade_ || live_.empty() || delta == 0.0) return;
        StepAction& a = pool_[static_cast<std::size_t>(live_.back())];
        if (a.AnyFired()) return;
        for (int p = 0; p < a.partCount; ++p) {
            a.parts[static_cast<std::size_t>(p)].onQn += delta;
            a.parts[static_cast<std::size_t>(p)].offQn += delta;
        }
    };
    if (!slot_.begun) {
        const std::int64_t index = GridLineAtOrAfter(slot_.startQn, len);
        const double start = static_cast<double>(index) * len;
        moveNextAction(start - slot_.startQn);
        gridOrigin_ = 0.0;
        gridIndex_ = index;
        slot_.startQn = start;
        return;
    }
    const std::int64_t steps = std::max<std::int64_t>(1, slotEndIndex_ - gridIndex_);
    const std::int64_t startIndex = static_cast<std::int64_t>(std::floor(slot_.startQn / len + 1e-9));
    std::int64_t endIndex = startIndex + steps;
    if (static_cast<double>(endIndex) * len - slot_.startQn < kMinimumStepSpan * len) ++endIndex;
    const double end = static_cast<double>(endIndex) * len;
    moveNextAction(end - slot_.endQn);
    slot_.endQn = end;
    gridOrigin_ = 0.0;
    slotEndIndex_ = endIndex;
    gridIndex_ = endIndex - steps;
}

// --- notes ------------------------------------------------------------------

void PatternStepper::RestartNoteSelection() {
    playIndex_ = -1;
    movingDown_ = false;
}

bool PatternStepper::AdvancePlayIndex(const NoteList& list, const StepValues& values) {
    const Pattern& pat = Current();
    const bool moves = !pat.trackOrder || !values.orderLaneOn || values.noteSource == order::kPlay ||
                       values.noteSource == order::kRandom;
    if (!moves) return false;
    const int max = list.Count() > 0 ? list.Count() - 1 : 0;
    bool wrapped = false;
    playIndex_ += movingDown_ ? -1 : 1;
    if (pat.noteListDirection < 2) {
        if (playIndex_ > max) {
            playIndex_ = 0;
            wrapped = true;
        }
        if (playIndex_ < 0) playIndex_ = 0;
    } else {
        if (playIndex_ > max) {
            movingDown_ = true;
            playIndex_ = max;
        }
        if (playIndex_ < 0) {
            movingDown_ = false;
            playIndex_ = 0;
            wrapped = true;
        }
    }
    playIndex_ = std::clamp(playIndex_, 0, max);
    return wrapped;
}

const HeldNote* PatternStepper::PickNote(const NoteList& list, const StepValues& values) {
    if (list.Empty()) return nullptr;
    const int source = values.orderLaneOn ? values.noteSource : order::kPlay;
    const HeldNote* picked = nullptr;
    switch (source) {
        case order::kPrevious: picked = list.AtPlayIndex(previousPick_); break;
        case order::kFirst: picked = list.AtPlayIndex(0); break;
        case order::kLast: picked = list.AtPlayIndex(list.Count() - 1); break;
        case order::kHighest: picked = list.Highest(); break;
        case order::kLowest: picked = list.Lowest(); break;
        case order::kRandom: {
            std::uniform_int_distribution<int> pick(0, list.Count() - 1);
            picked = list.AtPlayIndex(pick(context_->noteRandom));
            break;
        }
        default: picked = list.AtPlayIndex(std::max(playIndex_, 0)); break;
    }
    if (picked == nullptr) picked = list.AtPlayIndex(0);
    if (picked != nullptr) previousPick_ = picked->playIndex;
    return picked;
}

}  // namespace sorel
