// A plug-in model for the persistence tests: a parameter table with the
// ranges that matter to the state reader, the engine structures a state
// fills, and a record of what was applied and how long the lock was held.
#pragma once

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/ParameterLayout.h"
#include "persistence/StateTarget.h"

namespace sorel::test {

// The ranges of the plug-in's own parameter layout.
inline std::vector<ParameterRange> ModelRanges() {
    ParameterLayout layout;
    DefineSorelParameters(layout, 0);
    std::vector<ParameterRange> ranges;
    for (int index = 0; index < ParameterLayout::Size(); ++index) {
        const ParameterInfo& p = *layout.Get(index);
        ranges.push_back({p.Minimum(), p.Maximum(), p.Default(), p.Step(), p.Shape(), p.Kind() != ParamKind::Double});
    }
    return ranges;
}

class ModelTarget : public StateTarget {
public:
    ModelTarget() : ranges_(ModelRanges()) {
        values.reserve(ranges_.size());
        for (const auto& range : ranges_) values.push_back(range.defaultValue);
        keep.assign(ranges_.size(), false);
        applied.assign(ranges_.size(), 0);
        stepCcNumbers.fill(-1);
    }

    int ParameterCount() const override { return static_cast<int>(ranges_.size()); }
    ParameterRange Range(int index) const override { return ranges_[static_cast<size_t>(index)]; }

    void Lock() override {
        const auto asked = Clock::now();
        mutex.lock();
        lockedAt_ = Clock::now();
        longestWait = std::max(longestWait, lockedAt_ - asked);
        callsThisHold_ = appliesThisHold_ = 0;
    }
    void Unlock() override {
        longestHold = std::max(longestHold, Clock::now() - lockedAt_);
        mutex.unlock();
    }

    double GetParameter(int index) const override { return values[static_cast<size_t>(index)]; }
    void SetParameter(int index, double plain) override {
        CountCall();
        values[static_cast<size_t>(index)] = ranges_[static_cast<size_t>(index)].Clamp(plain);
    }
    void ParameterChanged(int index) override {
        CountCall();
        mostAppliesInOneHold = std::max(mostAppliesInOneHold, ++appliesThisHold_);
        ++applied[static_cast<size_t>(index)];
    }
    bool KeepOnPresetLoad(int index) const override { return keep[static_cast<size_t>(index)]; }

    LaneLoop GetLaneLoop(int area, int pattern, int lane) const override {
        return loops[static_cast<size_t>(LaneLoopIndex(area, pattern, lane))];
    }
    void SetLaneLoop(int area, int pattern, int lane, const LaneLoop& loop) override {
        loops[static_cast<size_t>(LaneLoopIndex(area, pattern, lane))] = loop;
    }
    ChordBankData GetChordMemory() const override { return chords; }
    void SetChordMemory(const ChordBankData& bank) override { chords = bank; }
    std::array<int32_t, kStepCcNumberCount> GetStepCcNumbers() const override { return stepCcNumbers; }
    void SetStepCcNumbers(const std::array<int32_t, kStepCcNumberCount>& numbers) override { stepCcNumbers = numbers; }
    BoxInfo GetBoxInfo() const override { return boxInfo; }
    void SetBoxInfo(const BoxInfo& info) override { boxInfo = info; }
    GlobalSettings GetGlobalSettings() const override { return settings; }
    void ApplyGlobalSettings(const GlobalSettings& applySettings) override {
        ++globalSettingsApplied;
        const bool switches[] = {applySettings.enableMidiNoteNames,  applySettings.startNotesImmediately,
                                 applySettings.useOnlyOrderOnOff,    applySettings.transposeAsSemitones,
                                 applySettings.transposeAllOutputNotes, applySettings.disableControlZone,
                                 applySettings.gateLengthInSteps};
        const int indices[] = {param::kEnableMidiNoteNames,    param::kStartNotesImmediately, param::kUseOnlyOrderOnOff,
                               param::kTransposeAsSemitones,   param::kTransposeAllOutputNotes,
                               param::kDisableControlZone,     param::kGateLengthInSteps};
        for (int i = 0; i < 7; ++i) values[static_cast<size_t>(indices[i])] = switches[i] ? 1.0 : 0.0;
    }
    void SetStateLoading(bool loading) override { stateLoading = loading; }
    void SetPresetLoading(bool loading) override {
        presetLoading = loading;
        if (loading) ++presetLoads;
    }
    void StateApplied() override { ++statesApplied; }

    double Value(int index) const { return values[static_cast<size_t>(index)]; }
    int AppliedCount(int index) const { return applied[static_cast<size_t>(index)]; }

    using Clock = std::chrono::steady_clock;
    std::recursive_mutex mutex;
    std::vector<double> values;
    std::vector<bool> keep;
    std::vector<int> applied;
    std::array<LaneLoop, kLaneLoopCount> loops{};
    ChordBankData chords;
    std::array<int32_t, kStepCcNumberCount> stepCcNumbers;
    BoxInfo boxInfo;
    GlobalSettings settings;
    int globalSettingsApplied = 0;
    bool stateLoading = false;
    bool presetLoading = false;
    int presetLoads = 0;
    int statesApplied = 0;
    int mostCallsInOneHold = 0;
    int mostAppliesInOneHold = 0;
    Clock::duration longestHold{};
    Clock::duration longestWait{};

private:
    void CountCall() { mostCallsInOneHold = std::max(mostCallsInOneHold, ++callsThisHold_); }

    std::vector<ParameterRange> ranges_;
    Clock::time_point lockedAt_;
    int callsThisHold_ = 0;
    int appliesThisHold_ = 0;
};

}  // namespace sorel::test
