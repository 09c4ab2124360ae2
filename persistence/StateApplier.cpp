#include "persistence/StateApplier.h"

#include <algorithm>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "frame/editing/ActionParameters.h"
#include "frame/GlobalSettings.h"

namespace sorel {

namespace {

enum class ParameterAction : uint8_t { Leave, Store, StoreAndApply };

constexpr int kControllerMapSize = 128;

enum class ParameterClass : uint8_t { Ordinary, Action, GlobalSetting, ControllerMap, Untouched, TeachSelection };

// The class of every index, worked out once: deciding runs for every
// parameter of every load.
const std::vector<ParameterClass>& Classes() {
    static const std::vector<ParameterClass> classes = [] {
        std::vector<ParameterClass> table(param::kCount, ParameterClass::Ordinary);
        for (const ActionParameter& action : kActionParameters) {
            table[static_cast<size_t>(action.index)] = ParameterClass::Action;
        }
        for (const GlobalSettingEntry& setting : kGlobalSettingTable)
            table[static_cast<size_t>(setting.parameter)] = ParameterClass::GlobalSetting;
        for (int c = 0; c < kControllerMapSize; ++c) {
            table[static_cast<size_t>(param::kControllerMap + c)] = ParameterClass::ControllerMap;
        }
        // The editor's size is the player's, not the state's.
        table[param::kResize] = ParameterClass::Untouched;
        // Refreshing the teach selection must not teach a controller.
        table[param::kCcTeachSelection] = ParameterClass::TeachSelection;
        return table;
    }();
    return classes;
}

ParameterClass ClassOf(int index) {
    return index >= 0 && index < param::kCount ? Classes()[static_cast<size_t>(index)] : ParameterClass::Ordinary;
}

ParameterAction DecideParameter(const StateTarget& target, const StateImage& image, LoadSource source, int index) {
    const ParameterClass kind = ClassOf(index);
    if (kind == ParameterClass::Untouched || kind == ParameterClass::GlobalSetting) return ParameterAction::Leave;
    if (kind == ParameterClass::Action) return ParameterAction::Store;
    if (source != LoadSource::HostChunk && kind == ParameterClass::ControllerMap) return ParameterAction::Leave;
    if (target.KeepOnPresetLoad(index) && (source != LoadSource::HostChunk || index >= image.parametersAssigned)) {
        return ParameterAction::Leave;
    }
    return kind == ParameterClass::TeachSelection ? ParameterAction::Store : ParameterAction::StoreAndApply;
}

double StoredValue(const StateTarget& target, const StateImage& image, int index) {
    if (ClassOf(index) == ParameterClass::Action) return target.Range(index).defaultValue;
    return image.state.parameters[static_cast<size_t>(index)];
}

// One apply's walk through its lock holds.
class Holds {
public:
    explicit Holds(StateTarget& target, SupersededCheck superseded = {})
        : target_(target), superseded_(std::move(superseded)) {}

    // Runs `work` under the lock unless the apply has been superseded.
    template <typename Work>
    bool Run(Work work) {
        if (stopped_) return false;
        // The block path gets its turn between holds.
        if (held_++ > 0) std::this_thread::sleep_for(kPauseBetweenHolds);
        TargetLock lock(target_);
        if (superseded_ && superseded_()) {
            stopped_ = true;
            return false;
        }
        work();
        return true;
    }
    // Runs `work(index)` for every index below `count`, `perHold` at a time.
    template <typename Work>
    bool ForEachIndex(int count, int perHold, Work work) {
        for (int first = 0; first < count; first += perHold) {
            const int last = std::min(count, first + perHold);
            if (!Run([&] {
                    for (int index = first; index < last; ++index) work(index);
                })) {
                return false;
            }
        }
        return true;
    }

private:
    StateTarget& target_;
    SupersededCheck superseded_;
    int held_ = 0;
    bool stopped_ = false;
};

void ApplyEngineStructures(StateTarget& target, const StateImage& image) {
    target.SetBoxInfo(image.state.boxInfo);
    target.SetChordMemory(image.state.chords);
    if (image.stepCcNumbersRead) target.SetStepCcNumbers(image.state.stepCcNumbers);
    for (int area = 0; area < param::kKeyAreas; ++area) {
        for (int pattern = 0; pattern < param::kPatternsPerArea; ++pattern) {
            for (int lane = 0; lane <= param::kProbLane; ++lane) {
                const int index = LaneLoopIndex(area, pattern, lane);
                LaneLoop loop = image.state.laneLoops[static_cast<size_t>(index)];
                if (index >= image.laneLoopsRead) loop.enabled = target.GetLaneLoop(area, pattern, lane).enabled;
                target.SetLaneLoop(area, pattern, lane, loop);
            }
        }
    }
}

bool ApplyParameters(StateTarget& target, const StateImage& image, LoadSource source, Holds& holds) {
    const int count = std::min(target.ParameterCount(), static_cast<int>(image.state.parameters.size()));
    std::vector<ParameterAction> actions(static_cast<size_t>(count), ParameterAction::Leave);
    const bool stored = holds.ForEachIndex(count, kParametersStoredPerHold, [&](int index) {
        const ParameterAction action = DecideParameter(target, image, source, index);
        actions[static_cast<size_t>(index)] = action;
        if (action != ParameterAction::Leave) target.SetParameter(index, StoredValue(target, image, index));
    });
    // Every value is in place before the engine hears of any of them.
    return stored && holds.ForEachIndex(count, kParametersAppliedPerHold, [&](int index) {
        if (actions[static_cast<size_t>(index)] == ParameterAction::StoreAndApply) target.ParameterChanged(index);
    });
}

}  // namespace

bool ApplyState(StateTarget& target, const StateImage& image, LoadSource source, const SupersededCheck& superseded) {
    Holds holds(target, superseded);
    target.SetStateLoading(true);
    const bool complete = holds.Run([&] { ApplyEngineStructures(target, image); }) &&
                          ApplyParameters(target, image, source, holds) && holds.Run([&] {
                              // The machine's settings prevail over whatever the state held.
                              target.ApplyGlobalSettings(target.GetGlobalSettings());
                              target.StateApplied();
                          });
    target.SetStateLoading(false);
    return complete;
}

PluginState CaptureState(StateTarget& target, const std::string& chordBankName) {
    PluginState state;
    state.chordBankName = chordBankName.substr(0, kChordBankNameWidth - 1);
    state.parameters.resize(static_cast<size_t>(target.ParameterCount()));
    Holds holds(target);
    holds.ForEachIndex(target.ParameterCount(), kParametersStoredPerHold, [&](int index) {
        state.parameters[static_cast<size_t>(index)] = target.GetParameter(index);
    });
    holds.Run([&] {
        state.boxInfo = target.GetBoxInfo();
        state.chords = target.GetChordMemory();
        state.stepCcNumbers = target.GetStepCcNumbers();
        for (int area = 0; area < param::kKeyAreas; ++area) {
            for (int pattern = 0; pattern < param::kPatternsPerArea; ++pattern) {
                for (int lane = 0; lane <= param::kProbLane; ++lane) {
                    state.laneLoops[static_cast<size_t>(LaneLoopIndex(area, pattern, lane))] =
                        target.GetLaneLoop(area, pattern, lane);
                }
            }
        }
        const GlobalSettings settings = target.GetGlobalSettings();
        state.enableMidiNoteNames = settings.enableMidiNoteNames ? 1.0 : 0.0;
        state.startNotesImmediately = settings.startNotesImmediately ? 1.0 : 0.0;
        state.useOnlyOrderOnOff = settings.useOnlyOrderOnOff ? 1.0 : 0.0;
    });
    return state;
}

}  // namespace sorel
