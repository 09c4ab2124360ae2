// The VST 2 binding of the plug-in: the AEffect record handed to the host,
// the dispatcher, the process and parameter entries, the host's time query
// and the sending of MIDI, around one plug-in core. No exception leaves an
// entry: each one catches everything and answers 0.
#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "frame/HostParameters.h"
#include "frame/MidiMessage.h"
#include "frame/PluginCore.h"
#include "frame/PluginHost.h"
#include "frame/TimeInfo.h"
#include "module/vst2/TableOpcodes.h"
#include "module/vst2/VstApi.h"

namespace sorel {

// Builds the core of one instance, calling back through the host given.
using CoreFactory = std::unique_ptr<PluginCore> (*)(PluginHost& host);

class IPlugVST : public PluginHost {
public:
    static constexpr VstInt32 kTimeRequestMask =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    static constexpr int kMaxBlockEvents = 4096;


    IPlugVST(audioMasterCallback host, CoreFactory factory);
    ~IPlugVST() override;

    AEffect* Effect() { return &effect_; }
    static IPlugVST* FromEffect(AEffect* effect);
    // Null when the factory built nothing.
    PluginCore* Core() { return core_.get(); }

    // PluginHost
    int HostCode() override;
    int HostVersion() override;
    double SampleRate() const override { return sampleRate_; }
    int BlockSize() const override { return blockSize_; }
    bool GetTime(TimeInfo& info) override;
    void ReportParameterEdit(int index, double normalized) override;
    void BeginParameterEdit(int index) override;
    void EndParameterEdit(int index) override;
    void ParameterValuesChanged() override;
    bool RequestEditorSize(int width, int height) override;

    bool HostHasCockosExtensions() const { return cockosExtensions_; }
    // Hands the messages to the host in one call, in the order given.
    bool SendMidi(std::span<const MidiMessage> messages);

    // The dispatcher's work, for one opcode (the entry adds the lock).
    intptr_t Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

private:
    friend struct VstEntries;

    void Open();
    void RunBlock(int frames);
    intptr_t CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                      float opt = 0.0f);
    void IdentifyHost();
    intptr_t ProcessEvents(const VstEvents* events);
    intptr_t StringToParameter(int index, const char* text);
    intptr_t VendorSpecific(VstInt32 code, VstIntPtr value, void* ptr, float opt);
    intptr_t CanDo(const char* question);
    intptr_t PinProperties(int index, int count, const char* labelFormat, void* ptr);
    intptr_t EditorRect(void* ptr);
    intptr_t ProgramNameIndexed(int index, void* ptr);
    intptr_t KeyName(void* ptr);

    AEffect effect_{};
    audioMasterCallback host_ = nullptr;
    int hostCode_ = -1;
    int hostVersion_ = 0;
    bool cockosExtensions_ = false;
    bool cockosViewAsConfig_ = false;
    bool opened_ = false;
    double sampleRate_ = kDefaultSampleRate;
    int blockSize_ = kDefaultBlockSize;
    VstSpeakerArrangement inputArrangement_{};
    VstSpeakerArrangement outputArrangement_{};
    ERect editorRect_{};
    // Per host index, the table parameter whose edit the host was told of
    // (kNoEdit when none): an edit ends by the index it began with, even
    // when a pattern switch gave the table parameter another one meanwhile.
    static constexpr int kNoEdit = -1;
    std::array<int, HostParameters::kCount> editedTable_{};

    // The offset of the latest event delivered for the coming block.
    static constexpr VstInt32 kNoEventYet = std::numeric_limits<VstInt32>::min();
    VstInt32 lastEventOffset_ = kNoEventYet;

    // Outgoing events, built in storage reserved up front.
    std::vector<VstMidiEvent> outEvents_;
    std::vector<unsigned char> outListStorage_;
    // Last: it goes first, while everything it may call back is still there.
    std::unique_ptr<PluginCore> core_;
};

// Builds an instance under the process-wide creation lock and returns its
// AEffect, or null when building failed.
AEffect* CreateEffect(audioMasterCallback host, CoreFactory factory);

// The core behind an AEffect this binding made; null for any other.
PluginCore* CoreOf(AEffect* effect);

}  // namespace sorel
