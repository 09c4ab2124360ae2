#include "engine/PatternEngine.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/NoteRouter.h"
#include "engine/PatternStepper.h"
#include "engine/ScaleState.h"

namespace sorel {

namespace {
bool ValidNote(int note) { return note >= 0 && note < 128; }

void AddAll(const NoteList& from, NoteList& to) {
    for (int i = 0; i < from.Count(); ++i) to.Add(from.ByPitch(i).note, from.ByPitch(i).velocity);
}
}  // namespace

void PatternEngine::DropNotesWithKeysUp() {
    for (int i = heldNotes_.Count() - 1; i >= 0; --i) {
        const int note = heldNotes_.ByPitch(i).note;
        if (!keyDown_[static_cast<std::size_t>(note)]) heldNotes_.Remove(note);
    }
}

PatternEngine::PatternEngine(int index, TransportState* hostTime, EngineContext* context)
    : index_(index),
      hostTime_(hostTime),
      context_(context),
      scale_(std::make_unique<ScaleState>()),
      stepper_(std::make_unique<PatternStepper>(context, this)) {
    stepper_->SetGateInSteps(context_->gateInSteps);
}

PatternEngine::~PatternEngine() = default;

// --- input ------------------------------------------------------------------

bool PatternEngine::Accepts(int channel, int note) const {
    return areaOn_ && channel == midiInChannel_ && note >= keyLow_ && note <= keyHigh_ && !(hold_ && holdBypass_);
}

bool PatternEngine::Busy() const {
    return !heldNotes_.Empty() || holdLatch_.Collecting() || releaseLatch_.Collecting() || releasePending_ ||
           stepper_->IsRunning();
}

bool PatternEngine::NoteOn(int note, int velocityValue, int offset, bool fromInput) {
    if (!ValidNote(note)) return false;
    velocityValue = std::clamp(velocityValue, 1, 127);
    const bool latchedKeyDown = [&] {
        for (int i = 0; i < heldNotes_.Count(); ++i)
            if (keyDown_[static_cast<std::size_t>(heldNotes_.ByPitch(i).note)]) return true;
        return false;
    }();
    if (!keyDown_[static_cast<std::size_t>(note)]) {
        keyDown_[static_cast<std::size_t>(note)] = true;
        ++keysDown_;
    }

    if (hold_ && !heldNotes_.Empty() && !latchedKeyDown) {
        // A chord is latched and all its keys are up: this key starts (or joins)
        // the chord that replaces it at the next hold-sync point.
        if (holdTranspose_) {
            if (holdLatch_.transposeUsed) return false;
            holdLatch_.saved.Clear();
            AddAll(heldNotes_, holdLatch_.saved);
            holdLatch_.transposeUsed = true;
            holdLatch_.incoming.Clear();
        } else if (!holdLatch_.Collecting() || holdLatch_.incomingKeysDown <= 0) {
            holdLatch_.incoming.Clear();
            holdLatch_.incomingKeysDown = 0;
        }
        holdLatch_.incoming.Add(note, velocityValue);
        ++holdLatch_.incomingKeysDown;
        holdLatch_.state = Latch::kCollecting;
        return false;
    }
    if (!hold_ && noteRelease_ && releasePending_) {
        // The release waits for the next step; this key joins the chord that follows.
        releaseLatch_.incoming.Add(note, velocityValue);
        releaseLatch_.state = Latch::kCollecting;
        return false;
    }
    if (hold_) holdLatch_.state = Latch::kCommitted;

    if (heldNotes_.Empty()) playing_ = true;
    if (stepper_->Current().resetOnNewNote) {
        stepper_->RequestRestart();
        octaveIndex_ = 0;
    }
    if (!heldNotes_.Add(note, velocityValue)) return false;
    heldNotes_.Sort(stepper_->Current().sortOrder);
    return true;
}

bool PatternEngine::NoteOff(double position, int note, int offset) {
    if (!ValidNote(note)) return false;
    if (keyDown_[static_cast<std::size_t>(note)]) {
        keyDown_[static_cast<std::size_t>(note)] = false;
        keysDown_ = std::max(0, keysDown_ - 1);
    }
    if (hold_) {
        if (holdLatch_.Collecting() && holdLatch_.incoming.Contains(note))
            holdLatch_.incomingKeysDown = std::max(0, holdLatch_.incomingKeysDown - 1);
        return false;  // the latch keeps playing it
    }
    if (noteRelease_) {
        if (releaseLatch_.Collecting() && releaseLatch_.incoming.Remove(note)) {
            if (releaseLatch_.incoming.Empty()) releaseLatch_.state = Latch::kIdle;
            return true;
        }
        if (keysDown_ == 0 && heldNotes_.Contains(note)) {
            // The last key up: the notes play on until the next step.
            releasePending_ = true;
            return false;
        }
    }
    ReleaseHeldNote(note, offset);
    return true;
}

void PatternEngine::ReleaseHeldNote(int note, int offset) {
    if (!heldNotes_.Remove(note)) return;
    context_->notifier->Notify(notify::kNoteActivity, index_);
    if (heldNotes_.Empty())
        ListBecameEmpty(offset);
    else
        heldNotes_.Sort(stepper_->Current().sortOrder);
}

void PatternEngine::ListBecameEmpty(int offset) {
    sceneStepCount_ = 0;
    stepCounter_ = 0;
    octaveIndex_ = 0;
    if (!hold_) {
        StopStepper(offset);
        playing_ = false;
    } else {
        stepper_->EndSoundingActions(offset);
        stepper_->ResetLanes();
    }
}

void PatternEngine::StopStepper(int offset) {
    if (stepper_->InTick())
        stepper_->RequestStop();
    else
        stepper_->Stop(offset);
}

void PatternEngine::Process(std::int64_t segmentStart, int length, int blockOffset) {
    if (heldNotes_.Empty() && !stepper_->IsRunning()) {
        active_ = false;
        return;
    }
    active_ = true;
    if (!stepper_->IsRunning()) {
        if (sceneOn_ && sceneIndex_ == 0) stepper_->SelectPattern(sceneSteps_[0].pattern);
        stepCounter_ = 0;
        stepper_->Start(segmentStart);
    }
    stepper_->Tick(segmentStart, length);
}

void PatternEngine::Reset(int offset) {
    playing_ = false;
    stepper_->Stop(offset);
    if (sceneOn_) {
        sceneIndex_ = 0;
        stepper_->SelectPattern(sceneSteps_[0].pattern);
    } else if (pendingFlag_) {
        stepper_->SelectPattern(pendingPattern_);
    }
    pendingFlag_ = false;
    sceneStepCount_ = sceneRepeat_ = 0;
    octaveIndex_ = 0;
    releasePending_ = false;
    stepCounter_ = 0;
    holdLatch_.Clear();
    releaseLatch_.Clear();
    heldNotes_.Clear();
    chordNotes_.Clear();
    active_ = false;
    keyDown_.fill(false);
    keysDown_ = 0;
    context_->notifier->Notify(notify::kNoteActivity, index_);
}

// --- settings ---------------------------------------------------------------

void PatternEngine::SetAreaOn(bool on) {
    if (on == areaOn_) return;
    areaOn_ = on;
    if (!on) {
        Reset(0);
        context_->router->AreaOff(index_, 0);
    }
}

void PatternEngine::SetHold(bool on) {
    if (on == hold_) return;
    hold_ = on;
    if (on) {
        holdLatch_.Clear();
        if (!heldNotes_.Empty()) holdLatch_.state = Latch::kCommitted;
        if (releaseLatch_.Collecting()) {
            AddAll(releaseLatch_.incoming, holdLatch_.incoming);
            holdLatch_.state = Latch::kCollecting;
        }
        releaseLatch_.Clear();
        releasePending_ = false;
        return;
    }
    // Hold off: what the latch kept goes; keys still down keep playing, those
    // of a chord that waited for its commit included.
    const bool anyLatched = holdLatch_.state != Latch::kIdle;
    for (int i = 0; i < holdLatch_.incoming.Count(); ++i) {
        const HeldNote& h = holdLatch_.incoming.ByPitch(i);
        if (keyDown_[static_cast<std::size_t>(h.note)]) heldNotes_.Add(h.note, h.velocity);
    }
    holdLatch_.Clear();
    DropNotesWithKeysUp();
    if (heldNotes_.Empty()) {
        if (stepper_->IsRunning()) ListBecameEmpty(0);
        playing_ = false;
        return;
    }
    heldNotes_.Sort(stepper_->Current().sortOrder);
    if (anyLatched) stepper_->ResetLanes();
}

void PatternEngine::SetHoldTranspose(bool on) {
    holdTranspose_ = on;
    if (on) holdBypass_ = false;
}

void PatternEngine::SetHoldBypass(bool on) {
    holdBypass_ = on;
    if (on) holdTranspose_ = false;
}

void PatternEngine::SetNoteRelease(bool on) {
    if (on == noteRelease_) return;
    noteRelease_ = on;
    if (on) return;
    // Off: a waiting release happens now.
    releaseLatch_.Clear();
    if (releasePending_) {
        releasePending_ = false;
        DropNotesWithKeysUp();
        if (heldNotes_.Empty())
            ListBecameEmpty(0);
        else
            heldNotes_.Sort(stepper_->Current().sortOrder);
    }
}

void PatternEngine::SetHoldSync(int parameterValue) { holdSync_ = std::clamp(parameterValue, 0, 31) + 1; }
void PatternEngine::SetArpOnNoteCount(int count) { arpOnNoteCount_ = std::clamp(count, 1, 4); }
void PatternEngine::SetVelocityMode(int mode) { velocityMode_ = std::clamp(mode, 0, 4); }
void PatternEngine::SetMidiInChannel(int channel) { midiInChannel_ = std::clamp(channel, 1, 16); }
void PatternEngine::SetMidiOutChannel(int channel) { midiOutChannel_ = std::clamp(channel, 1, 16); }

void PatternEngine::SetStartValue(int value) {
    startValue_ = std::clamp(value, 0, 119);
    keyLow_ = startValue_ + 12;
}
void PatternEngine::SetEndValue(int value) {
    endValue_ = std::clamp(value, 0, 119);
    keyHigh_ = endValue_ + 13;
}
void PatternEngine::SetBaseValue(int value) {
    baseValue_ = std::clamp(value, 0, 119);
    baseNote_ = baseValue_ + 12;
}
void PatternEngine::SetVolume(double volume) {
    if (std::isfinite(volume)) volume_ = std::clamp(volume, -1.0, 1.0);
}

int PatternEngine::CurrentPattern() const { return stepper_->CurrentPattern(); }
void PatternEngine::SetSortOrder(int pattern, int value) {
    stepper_->SetSortOrder(pattern, value);
    heldNotes_.Sort(stepper_->Current().sortOrder);
}
void PatternEngine::SetOctaves(int pattern, int octaves) { stepper_->SetOctaves(pattern, octaves); }

bool PatternEngine::RequestPattern(int pattern) {
    return RequestPattern(pattern, context_->controlZone ? context_->controlZone->Sync() : 0);
}

bool PatternEngine::RequestPattern(int pattern, int sync) {
    if (pattern < 0 || pattern >= PatternStepper::kPatterns) return false;
    if (pattern != stepper_->CurrentPattern() && !sceneOn_ && playing_) {
        pendingPattern_ = pattern;
        pendingSync_ = sync < 0 ? stepper_->Current().steps : sync;
        pendingFlag_ = true;
        return true;
    }
    pendingFlag_ = false;
    if (pattern == stepper_->CurrentPattern()) return false;
    if (stepper_->IsRunning())
        SwitchTo(pattern);
    else
        stepper_->SelectPattern(pattern);
    if (editorShown_) context_->notifier->Notify(notify::kSelectCurrentPattern, index_);
    return false;
}

void PatternEngine::SwitchTo(int pattern) {
    stepper_->SwitchPattern(pattern);
    stepCounter_ = 0;
    if (editorShown_) context_->notifier->Notify(notify::kSelectCurrentPattern, index_);
}

// --- scenes -----------------------------------------------------------------

void PatternEngine::SetSceneOn(bool on) {
    sceneOn_ = on;
    sceneRepeat_ = 0;
    if (!(active_ && on)) sceneStepCount_ = 0;
}

void PatternEngine::SetSceneStep(int step, int field, int value) {
    if (step < 0 || step >= scene::kSteps) return;
    SceneStep& s = sceneSteps_[static_cast<std::size_t>(step)];
    switch (field) {
        case scene::kFieldLength: s.length = std::clamp(value, 1, 32); break;
        case scene::kFieldPattern: s.pattern = std::clamp(value, 0, PatternStepper::kPatterns - 1); break;
        case scene::kFieldRepeat: s.repeat = std::clamp(value, 0, 31); break;
        default: break;
    }
}

const SceneStep& PatternEngine::GetSceneStep(int step) const {
    return sceneSteps_[static_cast<std::size_t>(std::clamp(step, 0, scene::kSteps - 1))];
}

void PatternEngine::SetSceneEnd(int value) { sceneEnd_ = std::clamp(value, 0, scene::kSteps - 1); }

void PatternEngine::AdvanceScene() {
    const SceneStep& current = sceneSteps_[static_cast<std::size_t>(std::clamp(sceneIndex_, 0, 15))];
    sceneStepCount_ = 0;
    if (sceneRepeat_ >= current.repeat) {
        sceneRepeat_ = 0;
        sceneIndex_ = sceneIndex_ + 1 > sceneEnd_ ? 0 : sceneIndex_ + 1;
        const int next = sceneSteps_[static_cast<std::size_t>(sceneIndex_)].pattern;
        if (next != stepper_->CurrentPattern()) SwitchTo(next);
    } else {
        ++sceneRepeat_;
        SwitchTo(stepper_->CurrentPattern());
    }
}

// --- steps ------------------------------------------------------------------

void PatternEngine::StepEnds(int offset) {
    ++sceneStepCount_;
    ++stepCounter_;
    bool committed = false;
    // The counter starts again with each pass, so a sync longer than the
    // pattern commits at the pattern's end.
    const int holdSync = std::min(holdSync_, stepper_->Current().steps);
    if (hold_ && holdLatch_.Collecting() && holdSync > 0 && stepCounter_ % holdSync == 0) {
        CommitHold(offset);
        committed = true;
    }
    if (sceneOn_) {
        if (sceneStepCount_ >= sceneSteps_[static_cast<std::size_t>(std::clamp(sceneIndex_, 0, 15))].length)
            AdvanceScene();
    } else if (pendingFlag_ && (pendingSync_ <= 0 || stepCounter_ % pendingSync_ == 0)) {
        pendingFlag_ = false;
        if (pendingPattern_ != stepper_->CurrentPattern()) SwitchTo(pendingPattern_);
    }
    if (!committed && releasePending_) CommitRelease(offset);
    // Sync points count from the pattern's start, not from the first key.
    if (stepCounter_ >= stepper_->Current().steps) stepCounter_ = 0;
    if (sceneStepCount_ > 31) sceneStepCount_ = 0;
}

void PatternEngine::CommitHold(int offset) {
    if (holdLatch_.incoming.Empty()) {
        holdLatch_.state = heldNotes_.Empty() ? Latch::kIdle : Latch::kCommitted;
        return;
    }
    heldNotes_.Clear();
    const NoteList& incoming = holdLatch_.incoming;
    if (holdTranspose_ && !holdLatch_.saved.Empty()) {
        const int delta = incoming.Lowest()->note - holdLatch_.saved.Lowest()->note;
        for (int i = 0; i < holdLatch_.saved.Count(); ++i) {
            const HeldNote& h = holdLatch_.saved.ByPitch(i);
            heldNotes_.Add(std::clamp(h.note + delta, 0, 127), h.velocity);
        }
    } else {
        AddAll(incoming, heldNotes_);
    }
    holdLatch_.Clear();
    holdLatch_.state = Latch::kCommitted;
    releasePending_ = false;
    stepper_->EndSoundingActions(offset);
    stepper_->RestartNoteSelection();
    octaveIndex_ = 0;
    heldNotes_.Sort(stepper_->Current().sortOrder);
}

void PatternEngine::CommitRelease(int offset) {
    releasePending_ = false;
    if (!releaseLatch_.incoming.Empty()) {
        heldNotes_.Clear();
        AddAll(releaseLatch_.incoming, heldNotes_);
        releaseLatch_.Clear();
        stepper_->EndSoundingActions(offset);
        stepper_->RestartNoteSelection();
        octaveIndex_ = 0;
        heldNotes_.Sort(stepper_->Current().sortOrder);
        return;
    }
    releaseLatch_.Clear();
    DropNotesWithKeysUp();
    if (heldNotes_.Empty())
        ListBecameEmpty(offset);
    else
        heldNotes_.Sort(stepper_->Current().sortOrder);
}

const NoteList& PatternEngine::ChooseNoteList(const StepValues& values) {
    const int sortOrder = stepper_->Current().sortOrder;
    ChordMemoryBank* bank = context_->chordMemory.get();
    if (triggerChordMemory_ && bank != nullptr) {
        chordNotes_.Clear();
        for (int i = 0; i < heldNotes_.Count(); ++i) {
            const HeldNote& h = heldNotes_.ByPitch(i);
            bank->MergeOnKey(std::clamp(h.note - keyLow_, 0, 15), h.note, h.velocity, chordNotes_);
        }
        chordNotes_.Sort(sortOrder);
        return chordNotes_;
    }
    if (values.chordSource > 0 && bank != nullptr && !heldNotes_.Empty()) {
        chordNotes_.Clear();
        const HeldNote& lowest = *heldNotes_.Lowest();
        const BuiltChord chord = bank->BuildOnKey(values.chordSource - 1, lowest.note);
        for (int n : chord.Notes()) chordNotes_.Add(n, lowest.velocity);
        chordNotes_.Sort(sortOrder);
        return chordNotes_;
    }
    heldNotes_.Sort(sortOrder);
    return heldNotes_;
}

// A step draws only when its chance is neither sure nor nil, so a pattern
// at 100 % leaves the generator as the random order alone moves it.
bool PatternEngine::LosesChance(double chance) {
    if (chance >= param::kSureChance) return false;
    if (chance <= 0.0) return true;
    std::uniform_real_distribution<double> roll(0.0, param::kSureChance);
    return roll(context_->noteRandom) >= chance;
}

int PatternEngine::Humanized(int velocity) {
    const double amount = stepper_->Current().humanize;
    if (amount <= 0.0) return velocity;
    const int reach = static_cast<int>(std::lround(amount * kHumanizeSpan));
    std::uniform_int_distribution<int> move(-reach, reach);
    return std::clamp(velocity + move(context_->noteRandom), 1, 127);
}

void PatternEngine::FireAction(StepAction& action, int partIndex, int offset) {
    ActionPart& part = action.parts[static_cast<std::size_t>(partIndex)];
    if (partIndex == 0) {
        // Once for the step: its divisions and its chord's notes follow the one draw.
        action.lost = LosesChance(action.values.chance);
        action.pickedCount = 0;
        const NoteList& list = ChooseNoteList(action.values);
        if (action.values.chordMask == 0) {
            if (stepper_->AdvancePlayIndex(list, action.values)) {
                ++octaveIndex_;
                if (octaveIndex_ + 1 > std::max(1, stepper_->Current().octaves)) octaveIndex_ = 0;
            }
            if (const HeldNote* h = stepper_->PickNote(list, action.values)) {
                action.pickedNotes[0] = h->note + 12 * octaveIndex_;
                action.pickedVelocities[0] = h->velocity;
                action.pickedCount = 1;
            }
        } else {
            for (int i = 0; i < ActionPart::kMaxNotes; ++i) {
                if ((action.values.chordMask & (1 << (7 - i))) == 0) continue;
                const HeldNote* h = list.AtPlayIndex(i);
                if (h == nullptr) continue;
                action.pickedNotes[static_cast<std::size_t>(action.pickedCount)] = h->note;
                action.pickedVelocities[static_cast<std::size_t>(action.pickedCount)] = h->velocity;
                ++action.pickedCount;
            }
        }
    }
    if (action.lost) return EmitControllersOnly(action, offset);
    for (int i = 0; i < action.pickedCount; ++i)
        EmitNoteOn(action, part, action.pickedNotes[static_cast<std::size_t>(i)],
                   action.pickedVelocities[static_cast<std::size_t>(i)], offset);
}

int PatternEngine::VelocityFor(int noteVelocity, const NoteList& list, double accent) const {
    double base = 127.0;
    switch (velocityMode_) {
        case velocity::kNote: base = noteVelocity; break;
        case velocity::kFirst: base = list.FirstVelocity(); break;
        case velocity::kLast: base = list.LastVelocity(); break;
        case velocity::kAverage: base = list.AverageVelocity(); break;
        default: break;
    }
    double v = std::trunc(base + accent / 100.0 * 127.0);
    v = std::trunc(v + volume_ * 127.0);
    // 0 stays 0 here: the global volume may still raise it, and the frame's
    // final clamp keeps every note-on above the wire's note-off value.
    return static_cast<int>(std::clamp(v, 0.0, 127.0));
}

NoteRecord PatternEngine::RecordOf(const StepValues& v, int note, int offset) const {
    NoteRecord r;
    r.note = note;
    r.isNoteOn = 1;
    r.channel = midiOutChannel_;
    r.area = index_;
    r.pattern = v.pattern;
    r.step = std::clamp(v.stepIndex, 0, 31);
    r.onlyCc = onlyCc_;
    r.muted = v.muted;
    r.ccValues = v.cc;
    r.time = offset;
    return r;
}

void PatternEngine::EmitControllersOnly(const StepAction& action, int offset) {
    // As a step that plays sends them: only when it has a note to play.
    if (action.pickedCount == 0) return;
    NoteRecord r = RecordOf(action.values, action.pickedNotes[0], offset);
    r.onlyCc = true;
    r.lostChance = true;
    Emit(r);
}

void PatternEngine::EmitNoteOn(StepAction& action, ActionPart& part, int pickedNote, int pickedVelocity, int offset) {
    if (part.noteCount >= ActionPart::kMaxNotes) return;
    const StepValues& v = action.values;
    const NoteList& list = (triggerChordMemory_ || v.chordSource > 0) ? chordNotes_ : heldNotes_;
    const int note = std::clamp(pickedNote, 0, 127);
    const int steps = v.transpose + stepper_->Current().transpose;
    const int moved = scale_->Move(note, steps, transposeAsSemitones_);
    const int shift = (baseNote_ >= 0 && keyLow_ >= 0) ? baseNote_ - keyLow_ : 0;
    NoteRecord r = RecordOf(v, std::clamp(moved + shift, 0, 127), offset);
    r.velocity = Humanized(VelocityFor(pickedVelocity, list, v.accent));
    part.notes[static_cast<std::size_t>(part.noteCount)] = r.note;
    part.channels[static_cast<std::size_t>(part.noteCount)] = r.channel;
    part.onlyCc = r.onlyCc;
    ++part.noteCount;
    Emit(r);
}

void PatternEngine::EndAction(StepAction& action, int partIndex, int offset) {
    ActionPart& part = action.parts[static_cast<std::size_t>(partIndex)];
    for (int i = 0; i < part.noteCount; ++i) {
        NoteRecord r;
        r.note = part.notes[static_cast<std::size_t>(i)];
        r.velocity = 127;
        r.isNoteOn = 0;
        // The channel its note-on went out on, whatever the area's channel is now.
        r.channel = part.channels[static_cast<std::size_t>(i)];
        r.area = index_;
        r.pattern = action.values.pattern;
        r.step = std::clamp(action.values.stepIndex, 0, 31);
        r.muted = action.values.muted;
        // As its note-on went out, whatever "Send CC" is now.
        r.onlyCc = part.onlyCc;
        r.time = offset;
        Emit(r);
    }
    part.noteCount = 0;
}

void PatternEngine::Emit(const NoteRecord& record) { context_->router->AddRecord(record); }

}  // namespace sorel
