#include "persistence/VardoStateTarget.h"

#include <algorithm>
#include <map>

#include "engine/ChordMemoryBank.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "frame/Vardo.h"

namespace sorel {

int VardoStateTarget::ParameterCount() const { return ParameterTable::Size(); }

ParameterRange VardoStateTarget::Range(int index) const {
    const Parameter* p = vardo_.Params().Get(index);
    return p ? RangeOf(p->Info()) : ParameterRange{};
}

ParameterRange VardoStateTarget::RangeOf(const ParameterInfo& info) {
    return ParameterRange{info.Minimum(), info.Maximum(), info.Default(), info.Step(), info.Shape(),
                          info.Kind() != ParamKind::Double};
}

std::shared_ptr<const std::vector<ParameterRange>> VardoStateTarget::Ranges() const {
    // One list per layout, and layouts live as long as the process.
    static std::mutex mutex;
    static std::map<const ParameterLayout*, std::shared_ptr<const std::vector<ParameterRange>>> shared;
    std::lock_guard lock(mutex);
    auto& ranges = shared[&vardo_.Params().Layout()];
    if (!ranges) ranges = StateTarget::Ranges();
    return ranges;
}

void VardoStateTarget::Lock() { vardo_.Mutex().lock(); }
void VardoStateTarget::Unlock() { vardo_.Mutex().unlock(); }

double VardoStateTarget::GetParameter(int index) const { return vardo_.Params().Value(index); }

void VardoStateTarget::SetParameter(int index, double plain) {
    if (Parameter* p = vardo_.GetParam(index)) p->SetValue(plain);
}

void VardoStateTarget::ParameterChanged(int index) { vardo_.OnParamChange(index, ChangeSource::Reapply); }

bool VardoStateTarget::KeepOnPresetLoad(int index) const { return vardo_.Params().KeepOnPresetLoad(index); }

LaneLoop VardoStateTarget::GetLaneLoop(int area, int pattern, int lane) const {
    const PatternEngine* engine = vardo_.App().Area(area);
    if (engine == nullptr) return LaneLoop{};
    const PatternStepper& stepper = engine->Stepper();
    return LaneLoop{stepper.LaneLoopStart(pattern, lane), stepper.LaneLoopEnd(pattern, lane),
                    stepper.Lane(pattern, lane).laneOn};
}

void VardoStateTarget::SetLaneLoop(int area, int pattern, int lane, const LaneLoop& loop) {
    PatternEngine* engine = vardo_.App().Area(area);
    if (engine == nullptr) return;
    PatternStepper& stepper = engine->Stepper();
    stepper.SetLaneLoop(pattern, lane, loop.start, loop.end);
    stepper.SetLaneOn(pattern, lane, loop.enabled);
    stepper.Lane(pattern, lane).Reset();
}

ChordBankData VardoStateTarget::GetChordMemory() const {
    ChordBankData bank;
    const ChordMemoryBank& memory = *vardo_.Context().chordMemory;
    for (int slot = 0; slot < kChordSlots; ++slot) {
        auto& data = bank.slots[static_cast<size_t>(slot)];
        data.baseNote = memory.Base(slot);
        const auto notes = memory.Notes(slot);
        data.notes.assign(notes.begin(), notes.end());
    }
    return bank;
}

void VardoStateTarget::SetChordMemory(const ChordBankData& bank) {
    ChordMemoryBank& memory = *vardo_.Context().chordMemory;
    memory.ClearAll();
    for (int slot = 0; slot < kChordSlots; ++slot) {
        const auto& data = bank.slots[static_cast<size_t>(slot)];
        memory.SetBase(slot, data.baseNote);
        for (int32_t note : data.notes) memory.AddNote(slot, note);
    }
    // A bank file replaces every slot: older chord edits no longer apply.
    vardo_.Actions().ClearHistory();
}

std::array<int32_t, kStepCcNumberCount> VardoStateTarget::GetStepCcNumbers() const {
    std::array<int32_t, kStepCcNumberCount> numbers{};
    const StepCcNumbers& live = vardo_.CcNumbers();
    std::copy(live.begin(), live.end(), numbers.begin());
    return numbers;
}

void VardoStateTarget::SetStepCcNumbers(const std::array<int32_t, kStepCcNumberCount>& numbers) {
    StepCcNumbers& live = vardo_.CcNumbers();
    std::copy(numbers.begin(), numbers.end(), live.begin());
}

GlobalSettings VardoStateTarget::GetGlobalSettings() const { return vardo_.Settings(); }

void VardoStateTarget::ApplyGlobalSettings(const GlobalSettings& settings) { vardo_.ApplyGlobalSettings(settings); }

void VardoStateTarget::SetStateLoading(bool loading) {
    std::lock_guard lock(loadingMutex_);
    loadingDepth_ = std::max(0, loadingDepth_ + (loading ? 1 : -1));
    vardo_.SetEngineSuspended(loadingDepth_ > 0);
}

void VardoStateTarget::SetPresetLoading(bool loading) {
    if (!loading) return;
    // Another preset may split the keyboard into other areas and channels:
    // what sounds now would end in an area that never started it. The next
    // block ends every note the key areas sent, whatever the engine knows of
    // it; the keys held play on in the new preset.
    std::lock_guard<std::recursive_mutex> lock(vardo_.Mutex());
    vardo_.RequestEndOfNotes();
}

void VardoStateTarget::StateApplied() {
    // What the history would bring back belongs to the state before.
    vardo_.Actions().ClearHistory();
    EditorEvent refresh;
    refresh.kind = EditorEvent::Kind::Refresh;
    vardo_.Link().Post(refresh);
    // A load runs on the loader's thread or the host's, never on the audio thread.
    vardo_.TellHostOfChangedValues();
}

}  // namespace sorel
