// The VST 2 binding of the plug-in object: the AEffect record handed to the
// host, the dispatcher, the process and parameter entries, the host's time
// query and the sending of MIDI. No exception leaves an entry: each one
// catches everything and answers 0.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "frame/IPlugBase.h"
#include "frame/MidiMessage.h"
#include "frame/TimeInfo.h"
#include "frame/vst2/VstApi.h"

namespace sorel {

class PluginEditor;

struct PluginIdentity {
    const char* effectName;
    const char* vendor;
    const char* product;
    VstInt32 uniqueId;
    VstInt32 version;
    int inputs;
    int outputs;
};

class IPlugVST : public IPlugBase {
public:
    static constexpr VstInt32 kTimeRequestMask =
        kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr int kMaxBlockEvents = 4096;

    IPlugVST(audioMasterCallback host, const PluginIdentity& identity);
    ~IPlugVST() override;

    AEffect* Effect() { return &effect_; }
    static IPlugVST* FromEffect(AEffect* effect);

    // The host code of the product string, found on first use and kept.
    int HostCode();
    int HostVersion();
    double SampleRate() const { return sampleRate_; }
    int BlockSize() const { return blockSize_; }
    bool HostHasCockosExtensions() const { return cockosExtensions_; }

    // The host's transport; false (all defaults kept) when it says nothing.
    bool GetTime(TimeInfo& info);
    // Hands the messages to the host in one call, in the order given.
    bool SendMidi(std::span<const MidiMessage> messages);

    // Asks the host to give the editor window a new size; false when it will not.
    bool RequestEditorSize(int width, int height);

    // The dispatcher's work, for one opcode (the entry adds the lock).
    intptr_t Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

protected:
    virtual void ProcessBlock(int frames) = 0;
    virtual void HandleMidiMessage(const MidiMessage& message) = 0;
    virtual void OnOpen() {}
    // Size of the chunk placed at *data, 0 for none.
    virtual intptr_t GetChunk(void** data, bool isBank) { return 0; }
    virtual bool SetChunk(const void* data, size_t size, bool isBank) { return false; }
    virtual bool GetMidiKeyName(MidiKeyName& key) { return false; }
    // Work that must not run on the audio thread, served by the host's idle calls.
    virtual void OnIdle() {}
    virtual PluginEditor* Editor() { return nullptr; }

    void ReportToHost(int index, double normalized) override;
    intptr_t CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                      float opt = 0.0f);

private:
    friend struct VstEntries;

    void IdentifyHost();
    intptr_t ProcessEvents(const VstEvents* events);
    intptr_t StringToParameter(int index, const char* text);
    intptr_t CanDo(const char* question);
    intptr_t PinProperties(int index, int count, const char* labelFormat, void* ptr);

    AEffect effect_{};
    audioMasterCallback host_ = nullptr;
    PluginIdentity identity_;
    int hostCode_ = -1;
    int hostVersion_ = 0;
    bool cockosExtensions_ = false;
    bool cockosViewAsConfig_ = false;
    bool opened_ = false;
    double sampleRate_ = kDefaultSampleRate;
    int blockSize_ = 1024;
    VstSpeakerArrangement inputArrangement_{};
    VstSpeakerArrangement outputArrangement_{};
    ERect editorRect_{};

    // The offset of the latest event delivered for the coming block.
    static constexpr VstInt32 kNoEventYet = std::numeric_limits<VstInt32>::min();
    VstInt32 lastEventOffset_ = kNoEventYet;

    // Outgoing events, built in storage reserved up front.
    std::vector<VstMidiEvent> outEvents_;
    std::vector<unsigned char> outListStorage_;
    VstTimeInfo* lastTime_ = nullptr;
};

// Builds a plug-in object under the process-wide creation lock and returns
// its AEffect, or null when building failed.
AEffect* CreateEffect(audioMasterCallback host, std::unique_ptr<IPlugVST> (*factory)(audioMasterCallback));

}  // namespace sorel
