// The plug-in object as the state reader and writer see it: its parameter
// table, lock and engine, and the box info of the current preset, which
// lives here.
#pragma once

#include <mutex>

#include "persistence/StateTarget.h"

namespace sorel {

class ParameterInfo;
class Vardo;

class VardoStateTarget final : public StateTarget {
public:
    explicit VardoStateTarget(Vardo& vardo) : vardo_(vardo) {}

    // A parameter's range as stored states see it: whole-step kinds round.
    static ParameterRange RangeOf(const ParameterInfo& info);

    int ParameterCount() const override;
    ParameterRange Range(int index) const override;
    std::shared_ptr<const std::vector<ParameterRange>> Ranges() const override;
    void Lock() override;
    void Unlock() override;
    double GetParameter(int index) const override;
    void SetParameter(int index, double plain) override;
    void ParameterChanged(int index) override;
    bool KeepOnPresetLoad(int index) const override;
    LaneLoop GetLaneLoop(int area, int pattern, int lane) const override;
    void SetLaneLoop(int area, int pattern, int lane, const LaneLoop& loop) override;
    ChordBankData GetChordMemory() const override;
    void SetChordMemory(const ChordBankData& bank) override;
    std::array<int32_t, kStepCcNumberCount> GetStepCcNumbers() const override;
    void SetStepCcNumbers(const std::array<int32_t, kStepCcNumberCount>& numbers) override;
    BoxInfo GetBoxInfo() const override { return boxInfo_; }
    void SetBoxInfo(const BoxInfo& info) override { boxInfo_ = info; }
    GlobalSettings GetGlobalSettings() const override;
    void ApplyGlobalSettings(const GlobalSettings& settings) override;
    void SetStateLoading(bool loading) override;
    void SetPresetLoading(bool loading) override;
    void StateApplied() override;

private:
    Vardo& vardo_;
    BoxInfo boxInfo_;
    // Two applies may overlap for a moment (a newer one supersedes an older
    // one); the engine stays suspended until both are done.
    std::mutex loadingMutex_;
    int loadingDepth_ = 0;
};

}  // namespace sorel
