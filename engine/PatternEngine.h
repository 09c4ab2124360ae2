// One key area: the notes held in its part of the keyboard, hold and note
// release, and the turning of each step its stepper fires into note records.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/ActionListener.h"
#include "engine/Latch.h"
#include "engine/NoteList.h"
#include "engine/NoteRecord.h"
#include "engine/SceneStep.h"
#include "engine/StepAction.h"

namespace sorel {

struct EngineContext;
struct TransportState;
class PatternStepper;
class ScaleState;

namespace velocity {
constexpr int kMax = 0;
constexpr int kNote = 1;
constexpr int kFirst = 2;
constexpr int kLast = 3;
constexpr int kAverage = 4;
}  // namespace velocity

// "Humanize" at 100 % moves a note's velocity by up to this much either way.
constexpr double kHumanizeSpan = 32.0;

class PatternEngine : public ActionListener {
public:
    PatternEngine(int index, TransportState* hostTime, EngineContext* context);
    ~PatternEngine() override;

    int Index() const { return index_; }

    // --- input (from the router) ---
    bool NoteOn(int note, int velocity, int offset, bool fromInput = true);
    // True when the area let the note go; false when hold or note release keeps it.
    bool NoteOff(double position, int note, int offset);
    // Runs the stepper over one segment of engine samples.
    void Process(std::int64_t segmentStart, int length, int blockOffset);
    // Ends all notes at `offset` and returns to the start.
    void Reset(int offset);

    // The area still has something to play (held or latched notes, a release pending).
    bool Busy() const;
    bool Accepts(int channel, int note) const;
    bool IsHeld(int note) const { return heldNotes_.Contains(note); }
    int HeldCount() const { return heldNotes_.Count(); }
    const NoteList& HeldNotes() const { return heldNotes_; }

    // --- settings ---
    void SetAreaOn(bool on);
    bool AreaOn() const { return areaOn_; }
    void SetHold(bool on);
    bool Hold() const { return hold_; }
    void SetHoldTranspose(bool on);
    void SetHoldBypass(bool on);
    bool HoldBypass() const { return holdBypass_; }
    bool HoldTranspose() const { return holdTranspose_; }
    void SetNoteRelease(bool on);
    bool NoteRelease() const { return noteRelease_; }
    // Parameter value 0 ("Next") commits at every step.
    void SetHoldSync(int parameterValue);
    int HoldSync() const { return holdSync_; }
    void SetArpOnNoteCount(int count);  // 1..4
    int ArpOnNoteCount() const { return arpOnNoteCount_; }
    void SetVelocityMode(int mode);
    void SetMidiInChannel(int channel);   // 1..16
    void SetMidiOutChannel(int channel);  // 1..16
    int MidiInChannel() const { return midiInChannel_; }
    int MidiOutChannel() const { return midiOutChannel_; }
    // Raw "Key area start/end/base note" values (0..119).
    void SetStartValue(int value);
    void SetEndValue(int value);
    void SetBaseValue(int value);
    int KeyLow() const { return keyLow_; }
    int KeyHigh() const { return keyHigh_; }
    int BaseNote() const { return baseNote_; }
    void SetVolume(double volume);
    void SetOnlyCc(bool on) { onlyCc_ = on; }
    bool OnlyCc() const { return onlyCc_; }
    void SetTriggerChordMemory(bool on) { triggerChordMemory_ = on; }
    void SetTransposeAsSemitones(bool on) { transposeAsSemitones_ = on; }
    void SetEditorShown(bool shown) { editorShown_ = shown; }

    // Pattern switching: now (false) or at the next sync point (true). A sync
    // below 0 waits the pattern's step count; without one the control zone's is used.
    bool RequestPattern(int pattern, int sync);
    bool RequestPattern(int pattern);
    int CurrentPattern() const;
    void SetSortOrder(int pattern, int value);
    void SetOctaves(int pattern, int octaves);

    // --- scenes ---
    void SetSceneOn(bool on);
    bool SceneOn() const { return sceneOn_; }
    void SetSceneStep(int step, int field, int value);
    const SceneStep& GetSceneStep(int step) const;
    void SetSceneEnd(int value);
    int SceneEnd() const { return sceneEnd_; }
    int SceneIndex() const { return sceneIndex_; }

    PatternStepper& Stepper() { return *stepper_; }
    const PatternStepper& Stepper() const { return *stepper_; }
    ScaleState& Scale() { return *scale_; }
    const ScaleState& Scale() const { return *scale_; }

    // --- ActionListener ---
    void FireAction(StepAction& action, int part, int offset) override;
    void EndAction(StepAction& action, int part, int offset) override;
    void StepEnds(int offset) override;

private:
    const NoteList& ChooseNoteList(const StepValues& values);
    void PickSingleNote(StepAction& action, const NoteList& list, bool advance);
    void PickChordNotes(StepAction& action, const NoteList& list);
    int VelocityFor(int noteVelocity, const NoteList& list, double accent) const;
    void EmitNoteOn(StepAction& action, ActionPart& part, int pickedNote, int pickedVelocity, int offset);
    void EmitControllersOnly(const StepAction& action, int offset);
    NoteRecord RecordOf(const StepValues& values, int note, int offset) const;
    bool LosesChance(double chance);
    int Humanized(int velocity);
    void Emit(const NoteRecord& record);
    void ReleaseHeldNote(int note, int offset);
    void DropNotesWithKeysUp();
    void ListBecameEmpty(int offset);
    void CommitHold(int offset);
    void CommitRelease(int offset);
    void AdvanceScene();
    void SwitchTo(int pattern);
    void StopStepper(int offset);

    int index_ = 0;
    TransportState* hostTime_ = nullptr;
    EngineContext* context_ = nullptr;
    std::unique_ptr<ScaleState> scale_;
    std::unique_ptr<PatternStepper> stepper_;

    bool editorShown_ = false;
    bool triggerChordMemory_ = false;
    bool transposeAsSemitones_ = false;
    int octaveIndex_ = 0;
    int holdSync_ = 1;
    int stepCounter_ = 0;
    Latch holdLatch_;
    Latch releaseLatch_;
    bool hold_ = false;
    bool holdTranspose_ = false;
    bool holdBypass_ = false;
    bool noteRelease_ = false;
    bool releasePending_ = false;
    int arpOnNoteCount_ = 1;
    std::array<bool, 128> keyDown_{};
    int keysDown_ = 0;
    int pendingPattern_ = 0;
    int pendingSync_ = 0;
    bool pendingFlag_ = false;
    int velocityMode_ = velocity::kMax;
    NoteList heldNotes_{128};
    NoteList chordNotes_{128};
    std::array<SceneStep, scene::kSteps> sceneSteps_{};
    int sceneEnd_ = 15;
    bool sceneOn_ = false;
    int sceneIndex_ = 0;
    int sceneStepCount_ = 0;
    int sceneRepeat_ = 0;
    bool playing_ = false;
    bool active_ = false;
    bool areaOn_ = false;
    int midiInChannel_ = 1;
    int midiOutChannel_ = 1;
    double volume_ = 0.0;
    bool onlyCc_ = false;
    int startValue_ = -1;
    int endValue_ = -1;
    int baseValue_ = -1;
    int keyLow_ = -1;
    int keyHigh_ = -1;
    int baseNote_ = -1;
};

}  // namespace sorel
