// What the state reader and writer need of the plug-in. The plug-in object
// implements it over its parameter table and engine; tests use a model.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "frame/GlobalSettings.h"
#include "persistence/PluginState.h"

namespace sorel {

class StateTarget {
public:
    virtual ~StateTarget() = default;

    // The table's shape, fixed once the plug-in is built; callable without the lock.
    virtual int ParameterCount() const = 0;
    virtual ParameterRange Range(int index) const = 0;
    // Every parameter's range; a plug-in shares one list between its instances.
    virtual std::shared_ptr<const std::vector<ParameterRange>> Ranges() const;

    // The plug-in's lock, the one block processing holds. Everything below
    // but the two loading flags is called with it held.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;

    virtual double GetParameter(int index) const = 0;
    // Stores a plain value, clamped to the range, without applying it.
    virtual void SetParameter(int index, double plain) = 0;
    // Hands the parameter's value to the engine and the editor.
    virtual void ParameterChanged(int index) = 0;
    virtual bool KeepOnPresetLoad(int index) const = 0;

    virtual LaneLoop GetLaneLoop(int area, int pattern, int lane) const = 0;
    // Also puts the lane's play position at the loop start.
    virtual void SetLaneLoop(int area, int pattern, int lane, const LaneLoop& loop) = 0;
    virtual ChordBankData GetChordMemory() const = 0;
    virtual void SetChordMemory(const ChordBankData& bank) = 0;
    virtual std::array<int32_t, kStepCcNumberCount> GetStepCcNumbers() const = 0;
    virtual void SetStepCcNumbers(const std::array<int32_t, kStepCcNumberCount>& numbers) = 0;
    virtual BoxInfo GetBoxInfo() const = 0;
    virtual void SetBoxInfo(const BoxInfo& info) = 0;
    virtual GlobalSettings GetGlobalSettings() const = 0;
    // Switches, parameters and effects of the seven settings in engine and frame.
    virtual void ApplyGlobalSettings(const GlobalSettings& settings) = 0;

    // Raised while a state is applied / while a preset file loads; block
    // processing may skip engine work meanwhile. Called without the lock.
    virtual void SetStateLoading(bool loading) = 0;
    virtual void SetPresetLoading(bool loading) = 0;
    // After a state was applied: info line, editor redraw. Called with the lock.
    virtual void StateApplied() = 0;
};

// Holds the target's lock for one scope.
class TargetLock {
public:
    explicit TargetLock(StateTarget& target) : target_(target) { target_.Lock(); }
    ~TargetLock() { target_.Unlock(); }
    TargetLock(const TargetLock&) = delete;
    TargetLock& operator=(const TargetLock&) = delete;

private:
    StateTarget& target_;
};

}  // namespace sorel
