// The LV2 binding of the plug-in: one plug-in core behind an LV2 instance,
// its ports, its run with the host's time:Position objects split into parts
// of the block, its state and the edits its UI hands to the host. No
// exception leaves an entry (see Lv2PluginMain.cpp).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "frame/HostParameters.h"
#include "frame/MidiMessage.h"
#include "frame/PluginCore.h"
#include "frame/PluginHost.h"
#include "module/lv2/Lv2Transport.h"
#include "module/lv2/Lv2UiEdits.h"

namespace sorel {

// Builds the core of one instance, calling back through the host given.
using Lv2CoreFactory = std::unique_ptr<PluginCore> (*)(PluginHost& host);

class IPlugLV2 : public PluginHost {
public:
    // Asks the host for the editor window's new size; false when it will not.
    using EditorResizer = bool (*)(void* context, int width, int height);

    // Throws std::runtime_error when the host lacks urid:map or the factory builds nothing.
    IPlugLV2(double sampleRate, const LV2_Feature* const* features, Lv2CoreFactory factory);
    ~IPlugLV2() override;

    PluginCore* Core() { return core_.get(); }

    // --- the LV2 entries ---
    void ConnectPort(uint32_t port, void* data);
    void Activate();
    void Run(uint32_t frames);
    LV2_State_Status Save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    // The host's worker thread runs what the audio thread left for later.
    LV2_Worker_Status Work();

    // --- for the UI, on its own thread ---
    // Hands over the edits kept since the last call (see Lv2UiEdits).
    template <typename F>
    void TakeUiEdits(F&& onEdit) {
        uiEdits_.Take(onEdit);
    }
    // True once after the core changed values the host shows on its own:
    // the UI writes every port's CurrentPortValue again.
    bool TakeValuesChanged() { return uiEdits_.TakeAllChanged(); }
    // The value a control port stands for at this moment.
    float CurrentPortValue(int hostIndex);
    // Null turns the requests down.
    void SetEditorResizer(EditorResizer resizer, void* context);

    // PluginHost
    int HostCode() override;
    int HostVersion() override { return 0; }
    double SampleRate() const override { return sampleRate_; }
    int BlockSize() const override { return blockSize_; }
    bool GetTime(TimeInfo& info) override;
    void ReportParameterEdit(int index, double normalized) override;
    void BeginParameterEdit(int index) override;
    void EndParameterEdit(int index) override;
    void ParameterValuesChanged() override;
    bool RequestEditorSize(int width, int height) override;

private:
    struct Uris {
        LV2_URID atomChunk, atomSequence, atomObject, atomBlank, atomFloat, atomDouble, atomInt, atomLong;
        LV2_URID midiEvent, timePosition, timeFrame, timeSpeed, timeBpm, timeBar, timeBarBeat, timeBeat,
            timeBeatsPerBar, timeBeatUnit, stateKey, maxBlock, nominalBlock;
    };

    void MapUris(LV2_URID_Map& map);
    void ReadOptions(const LV2_Feature* const* features);
    void ApplyChangedPorts();
    void TakeInputEvent(const LV2_Atom_Event& event, int& partStart, int frames);
    std::optional<double> Number(const LV2_Atom* atom) const;
    Lv2Transport::Position ReadPosition(const LV2_Atom_Object& object) const;
    void RunPart(int start, int end);
    bool Append(const MidiMessage& message, int64_t frame);
    void WriteOutput(std::span<const MidiMessage> messages, int offset);
    void FlushHeldOutput();
    void ScheduleDeferredWork();

    double sampleRate_;
    int blockSize_ = kDefaultBlockSize;
    Uris uris_{};
    Lv2Transport transport_;

    const LV2_Atom_Sequence* midiIn_ = nullptr;
    LV2_Atom_Sequence* midiOut_ = nullptr;
    uint32_t outCapacity_ = 0;
    std::array<const float*, HostParameters::kCount> controls_{};
    // The value each port had when last looked at; a port applies only when it moves.
    std::array<float, HostParameters::kCount> seenPorts_{};
    std::atomic<bool> resyncPorts_{true};
    int32_t lastEventOffset_ = 0;
    // What did not fit the host's output buffer goes first in the next block.
    std::vector<MidiMessage> heldOutput_;

    // The host's worker, when it offers one; else the core's own thread does the work.
    const LV2_Worker_Schedule* worker_ = nullptr;
    std::atomic<bool> workScheduled_{false};

    Lv2UiEdits uiEdits_;
    static constexpr int kNoEdit = -1;
    std::array<std::atomic<int>, HostParameters::kCount> editedTable_;
    std::atomic<EditorResizer> resizer_{nullptr};
    std::atomic<void*> resizerContext_{nullptr};

    // Last: it goes first, while everything it may call back is still there.
    std::unique_ptr<PluginCore> core_;
};

}  // namespace sorel
