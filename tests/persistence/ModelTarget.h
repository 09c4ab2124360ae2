// A plug-in model for the persistence tests: a parameter table with the
// ranges that matter to the state reader, the engine structures a state
// fills, and a record of what was applied and how long the lock was held.
#pragma once

#include <algorithm>
#include <chrono>
#include <mutex>
#include <vector>

#include "engine/ParameterIndex.h"
#include "persistence/StateTarget.h"

namespace sorel::test {

inline std::vector<ParameterRange> ModelRanges() {
    std::vector<ParameterRange> ranges(param::kCount);
    const auto set = [&ranges](int index, double minimum, double maximum, double def, bool integral = true) {
        ranges[static_cast<size_t>(index)] = ParameterRange{minimum, maximum, def, integral ? 1.0 : 0.01, 1.0, integral};
    };
    set(param::kGlobalVolume, 0, 127, 64, false);
    for (int p = 0; p < param::kPatterns; ++p) {
        set(param::kGate + p, -100, 100, -10, false);
        set(param::kSwing + p, 0, 1, 0, false);
        set(param::kRate + p, 0, 22, 12, false);
        for (int step = 0; step < param::kSteps; ++step) {
            set(param::kStepOnOff + p * param::kSteps + step, 0, 1, 1);
            set(param::kStepTranspose + p * param::kSteps + step, -24, 24, 0);
            set(param::kStepGate + p * param::kSteps + step, -100, 100, 0, false);
        }
    }
    const int starts[] = {24, 48, 60, 72};
    const int ends[] = {46, 58, 70, 94};
    for (int area = 0; area < param::kKeyAreas; ++area) {
        set(param::kKeyAreaStartNote + area, 0, 119, starts[area]);
        set(param::kKeyAreaEndNote + area, 0, 119, ends[area]);
        set(param::kKeyAreaBaseNote + area, 0, 119, starts[area]);
        set(param::kSceneEnd + area, 0, 16, 15);
        set(param::kKeyAreaPatterns + area, 0, 11, 0);
    }
    for (int index = param::kLaneSwitch; index <= param::kCcLaneSwitchLast; ++index) set(index, 0, 1, 1);
    for (int controller = 0; controller < 128; ++controller) set(param::kControllerMap + controller, -1, 100000, -1);
    set(param::kDrawTool, 0, 1, 1);
    set(param::kPatternStepMode, 0, 8, 0);
    set(param::kChordMemorySelection, 0, 15, 0);
    set(param::kCcTeachSelection, 0, 128, 0);
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
    void ForgetApplied() { std::fill(applied.begin(), applied.end(), 0); }

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
