// A plug-in model for the persistence tests: the plug-in's parameter ranges,
// the structures a state fills, and what each hold of the lock applied.
#pragma once

#include <algorithm>
#include <mutex>
#include <random>
#include <vector>

#include "engine/ParameterIndex.h"
#include "frame/ParameterLayout.h"
#include "persistence/StateTarget.h"
#include "persistence/VardoStateTarget.h"

namespace sorel::test {

// The ranges of the plug-in's own parameter layout, worked out once.
inline const std::vector<ParameterRange>& ModelRanges() {
    static const std::vector<ParameterRange> ranges = [] {
        ParameterLayout layout;
        DefineSorelParameters(layout, 0);
        std::vector<ParameterRange> result;
        for (int index = 0; index < ParameterLayout::Size(); ++index)
            result.push_back(VardoStateTarget::RangeOf(*layout.Get(index)));
        return result;
    }();
    return ranges;
}

// Something other than the reset value in every field but the parameters.
inline void FillStructures(PluginState& state) {
    std::mt19937 random(7);
    state.boxInfo.Set("Night Bus", "Ilse K.", "Walking bass over two octaves", "Hold a chord with the left hand");
    state.chordBankName = "Jazz voicings";
    state.chords.slots[0] = {12, {0, 4, 7, 11}};
    state.chords.slots[9] = {30, {3, 10}};
    state.chords.slots[15] = {0, {35}};
    for (size_t i = 0; i < state.stepCcNumbers.size(); ++i) state.stepCcNumbers[i] = i % 3 == 0 ? -1 : 20 + int(i);
    for (auto& loop : state.laneLoops) {
        const auto start = static_cast<int32_t>(random() % 31);
        const auto length = static_cast<int32_t>(random() % static_cast<unsigned>(32 - start));
        loop = {start, start + 1 + length, random() % 4 != 0};
    }
    state.enableMidiNoteNames = 1.0;
    state.useOnlyOrderOnOff = 1.0;
}

class ModelTarget : public StateTarget {
public:
    ModelTarget() {
        for (const auto& range : ModelRanges()) values.push_back(range.defaultValue);
    }

    int ParameterCount() const override { return static_cast<int>(values.size()); }
    ParameterRange Range(int index) const override { return ModelRanges()[static_cast<size_t>(index)]; }

    void Lock() override {
        mutex.lock();
        callsThisHold_ = appliesThisHold_ = 0;
    }
    void Unlock() override { mutex.unlock(); }

    double GetParameter(int index) const override { return values[static_cast<size_t>(index)]; }
    void SetParameter(int index, double plain) override {
        CountCall();
        values[static_cast<size_t>(index)] = Range(index).Clamp(plain);
    }
    void ParameterChanged(int index) override {
        CountCall();
        mostAppliesInOneHold = std::max(mostAppliesInOneHold, ++appliesThisHold_);
        ++applied[static_cast<size_t>(index)];
    }
    bool KeepOnPresetLoad(int index) const override { return keep[static_cast<size_t>(index)]; }

    LaneLoop GetLaneLoop(int area, int pattern, int lane) const override { return loops[At(area, pattern, lane)]; }
    void SetLaneLoop(int area, int pattern, int lane, const LaneLoop& loop) override {
        loops[At(area, pattern, lane)] = loop;
    }
    ChordBankData GetChordMemory() const override { return chords; }
    void SetChordMemory(const ChordBankData& bank) override { chords = bank; }
    std::array<int32_t, kStepCcNumberCount> GetStepCcNumbers() const override { return stepCcNumbers; }
    void SetStepCcNumbers(const std::array<int32_t, kStepCcNumberCount>& numbers) override { stepCcNumbers = numbers; }
    BoxInfo GetBoxInfo() const override { return boxInfo; }
    void SetBoxInfo(const BoxInfo& info) override { boxInfo = info; }
    GlobalSettings GetGlobalSettings() const override { return {}; }
    void ApplyGlobalSettings(const GlobalSettings&) override {}
    void SetStateLoading(bool loading) override { stateLoading = loading; }
    void SetPresetLoading(bool loading) override {
        presetLoading = loading;
        if (loading) ++presetLoads;
    }
    void StateApplied() override {}

    std::recursive_mutex mutex;
    std::vector<double> values;
    std::vector<bool> keep = std::vector<bool>(ModelRanges().size());
    std::vector<int> applied = std::vector<int>(ModelRanges().size());
    std::array<LaneLoop, kAllLaneLoops> loops{};
    ChordBankData chords;
    std::array<int32_t, kStepCcNumberCount> stepCcNumbers = PluginState().stepCcNumbers;
    BoxInfo boxInfo;
    bool stateLoading = false;
    bool presetLoading = false;
    int presetLoads = 0;
    int mostCallsInOneHold = 0;
    int mostAppliesInOneHold = 0;

private:
    void CountCall() { mostCallsInOneHold = std::max(mostCallsInOneHold, ++callsThisHold_); }
    static size_t At(int area, int pattern, int lane) { return size_t(LaneLoopIndex(area, pattern, lane)); }

    int callsThisHold_ = 0;
    int appliesThisHold_ = 0;
};

}  // namespace sorel::test
