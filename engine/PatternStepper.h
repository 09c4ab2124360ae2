// The twelve patterns of one key area with their steps and lane loops, and the
// area's musical clock: when each step starts and ends, the values it carries,
// and the step actions that play its notes.
//
// All times inside the stepper are quarter notes on the engine clock
// (EngineClock); a step's start is gridOrigin + gridIndex * stepLength with an
// integer grid index, so positions never accumulate rounding error.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/ControlLooper.h"
#include "engine/Pattern.h"
#include "engine/Step.h"
#include "engine/StepAction.h"
#include "engine/Stepper.h"

namespace sorel {

struct EngineContext;
class ActionListener;
class NoteList;
struct HeldNote;

class PatternStepper : public Stepper {
public:
    static constexpr int kPatterns = 12;
    static constexpr int kSteps = 32;
    static constexpr int kMaxActions = 512;
    // A step never spans less than this many steps of its rate.
    static constexpr double kMinimumStepSpan = 0.1;
    // A stepper whose next step lies this many steps in the past lost its
    // clock (a host jump it was not told of) and restarts on the current grid.
    static constexpr double kMaxLagSteps = 8.0;

    PatternStepper(EngineContext* context, ActionListener* engine);
    ~PatternStepper() override;

    // --- running (audio thread) ---
    // Starts the first step at engine sample `sample` (the current segment start).
    void Start(std::int64_t sample);
    // Runs the stepper over [segmentStart, segmentStart + length) engine samples.
    void Tick(std::int64_t segmentStart, int length);
    // Ends every sounding action at `offset`, drops the waiting ones, back to the start.
    void Stop(int offset);
    // Ends sounding notes at `offset` and drops the waiting actions; keeps running.
    void EndAllActions(int offset);
    // Ends sounding notes at `offset`; waiting actions stay and will pick from the new notes.
    void EndSoundingActions(int offset) { EndFiredActions(offset); }
    // True while the stepper is calling its key area back.
    bool InTick() const { return inTick_; }
    // "Reset on new note": the next step restarts the pattern.
    void RequestRestart() { restartPending_ = true; }
    // The key area wants the stepper stopped once the current callback returns.
    void RequestStop() { stopRequested_ = true; }
    // The engine clock jumped by delta quarter notes: every stored time follows.
    void Rebase(double deltaQn);
    // After the host transport started or jumped: the current step ends on the
    // host's grid of the step length (a step that has not begun waits for the
    // next grid line), so the arpeggio plays in time with the host from then on.
    void AlignToGrid();

    bool IsFree() const override;
    double StepLength() const override;
    void ResetLanes() override;      // the current pattern's lanes
    void ResetAllLanes();            // every pattern's lanes

    // --- patterns ---
    int CurrentPattern() const { return currentPattern_; }
    void SelectPattern(int pattern);   // while stopped
    void SwitchPattern(int pattern);   // while playing: lanes restart, the grid continues
    Pattern& PatternAt(int pattern);
    const Pattern& PatternAt(int pattern) const;
    const Pattern& Current() const { return *patterns_[currentPattern_]; }
    Step& StepAt(int pattern, int step);
    const Step& StepAt(int pattern, int step) const;
    ControlLooper& Lane(int pattern, int lane);
    const ControlLooper& Lane(int pattern, int lane) const;

    // Setters; out-of-range pattern, lane or step indices are ignored.
    void SetRate(int pattern, double value);
    void SetFreeMode(int pattern, bool on);
    void SetFreeRate(int pattern, double stepsPerSecond);
    void SetSwing(int pattern, double swing);
    void SetGate(int pattern, double parameter);
    void SetPatternSteps(int pattern, int steps);  // 1..32
    void SetTranspose(int pattern, int semitones);
    void SetHumanize(int pattern, double percent);  // 0..100
    void SetOctaves(int pattern, int octaves);
    void SetSortOrder(int pattern, int parameterValue);  // 0..7
    void SetResetOnNewNote(int pattern, bool on);
    void SetTrackOrder(int pattern, bool on);
    void SetLaneDirection(int pattern, int lane, int direction);
    void SetLaneResetWithPattern(int pattern, int lane, bool on);
    void SetLaneOn(int pattern, int lane, bool on);
    // Loop over steps start..end-1 of one lane.
    void SetLaneLoop(int pattern, int lane, int start, int end);
    int LaneLoopStart(int pattern, int lane) const;
    int LaneLoopEnd(int pattern, int lane) const;
    // The value of one step in one lane, as the parameters give it (DIV 1..8,
    // LENGTH 1..8, GATE/ACCENT -100..100, SHIFT -50..50, CC 0..127 ...).
    void SetStepValue(int pattern, int lane, int step, double value);
    double StepValue(int pattern, int lane, int step) const;
    void SetLaneSwitch(int pattern, int lane, int step, bool on);
    bool LaneSwitch(int pattern, int lane, int step) const;
    void SetGateInSteps(bool on) { gateInSteps_ = on; }

    // --- notes ---
    // Advances the play index over `list` for a single-note step; true when it wrapped.
    bool AdvancePlayIndex(const NoteList& list, const StepValues& values);
    // The note the step's ORDER value picks, or nullptr for an empty list.
    const HeldNote* PickNote(const NoteList& list, const StepValues& values);
    void RestartNoteSelection();

    // Position of the current step in its pattern (for the editor).
    int CurrentStep() const { return stepIndex_; }
    int LiveActions() const { return static_cast<int>(live_.size()); }

private:
    struct StepSlot {
        bool begun = false;
        double startQn = -1.0;
        double endQn = -1.0;
    };

    double CurrentStepLengthQn() const;
    void BeginStep(int offset);
    void EndStep(int offset);
    StepValues ReadStepValues(bool peekNext) const;
    StepAction* CreateAction(double startQn, const StepValues& values, std::int64_t gridIndex, int offset);
    void ScheduleParts(StepAction& action, double startQn, std::int64_t gridIndex);
    void FreeAction(int poolIndex);
    void DropUnfiredActions();
    void EndFiredActions(int offset);
    int Offset(std::int64_t sample) const;
    bool ProcessNextEvent(std::int64_t segmentStart, std::int64_t segmentEnd);
    bool FellBehind(std::int64_t sample) const;
    void Resync(std::int64_t sample);

    EngineContext* context_ = nullptr;
    ActionListener* engine_ = nullptr;
    std::array<Pattern*, kPatterns> patterns_{};
    std::vector<Pattern> patternStore_;
    std::vector<Step> steps_;                  // kPatterns * kSteps
    std::vector<ControlLooper> lanes_;         // kPatterns * lane::kCount
    int currentPattern_ = 0;
    bool gateInSteps_ = false;

    // Clock and grid
    double gridOrigin_ = 0.0;
    double gridLength_ = 0.25;
    std::int64_t gridIndex_ = 0;
    std::int64_t slotEndIndex_ = 0;
    StepValues nextValues_;
    StepSlot slot_;
    int stepIndex_ = 0;  // position of the current step in the pattern
    bool restartPending_ = false;
    bool stopRequested_ = false;
    bool nextActionMade_ = false;
    bool inTick_ = false;

    // Actions: a pool of fixed capacity, filled as it is first needed, and
    // the live ones in creation order.
    std::vector<StepAction> pool_;
    std::vector<int> freeList_;
    std::vector<int> live_;

    // Note selection
    int playIndex_ = -1;
    bool movingDown_ = false;
    int previousPick_ = -1;
};

}  // namespace sorel
