// The one VST 2 host of the tests, the soak and the MIDI-path fuzzer: a test
// session over sorel-host's HostedPlugin. It answers the time query from a
// scriptable transport (or any raw answer, null included), checks every MIDI
// event the plug-in sends as it arrives, and counts the host calls.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "HostedPlugin.h"
#include "support/MidiOutChecker.h"

namespace sorel::test {

// The calling thread's own CPU time so far.
std::chrono::nanoseconds ThreadCpuTime();

struct HostTransport {
    double sampleRate = 48000.0;
    double tempo = 120.0;
    double samplePos = 0.0;
    bool playing = false;
    bool loopEnabled = false;
    double cycleStartPpq = 0.0;
    double cycleEndPpq = 0.0;
    bool answersTime = true;   // when false the time query returns null (a host that reports nothing)
    bool reportsTempo = true;  // when false the validity flags and the tempo are left out
    int ppqTicksPerBeat = 0;   // the grid the host rounds its quarter-note position to; 0: exact
    double ppqShift = 0.0;     // quarter notes the host adds to the position it reports
};

using ProcessEntry = host::HostedPlugin::ProcessEntry;

// The path of the module under test: SOREL_MODULE_PATH from the environment.
inline std::string ModulePathFromEnvironment() {
    const char* path = std::getenv("SOREL_MODULE_PATH");
    return path ? path : "";
}
// Loads a module with sorel-host's loader (it stays loaded) and finds its
// entry; null and `error` set when that fails.
VSTPluginMainProc LoadModuleEntry(const std::string& path, std::string& error);
class TestHost : public host::HostSession {
public:
    static constexpr int kMaxFrames = 8192;

    // Throws when the module cannot be loaded.
    explicit TestHost(const std::string& modulePath = ModulePathFromEnvironment());
    // A plug-in linked into the test itself, created through this entry.
    explicit TestHost(VSTPluginMainProc entry) : entry_(entry) {}
    ~TestHost() override { Close(); }

    // Creates, opens and switches on the plug-in; false when its entry returned no usable effect.
    bool CreateAndOpen(int blockSize = 512);
    void Close() { plugin_.reset(); }
    AEffect* Effect() const { return plugin_ ? &plugin_->effect() : nullptr; }
    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return plugin_ ? plugin_->dispatch(opcode, index, value, ptr, opt) : 0;
    }
    std::string DispatchString(int opcode, int index = 0) { return plugin_->dispatchText(opcode, index); }

    // Table parameters, by table index, as Sorel's own tools reach them.
    void SetParameter(int index, float normalized) { plugin_->setParameterNormalised(index, normalized); }
    float GetParameter(int index) { return plugin_->parameterNormalised(index); }
    std::string ParameterName(int index) { return plugin_->parameterName(index); }
    std::string ParameterDisplay(int index) { return plugin_->parameterDisplay(index); }
    // The host's own parameters, by host index, as automation has them.
    void SetHostParameter(int index, float normalized) { plugin_->setHostParameter(index, normalized); }
    float GetHostParameter(int index) { return plugin_->hostParameter(index); }
    // The bank (0) or program (1) chunk the plug-in hands out; empty when it gives none.
    std::vector<uint8_t> GetChunk(int which) { return plugin_->getChunk(which == 0); }
    bool SetChunk(int which, std::vector<uint8_t> bytes) {
        return Dispatch(effSetChunk, which, static_cast<intptr_t>(bytes.size()), bytes.data()) == 1;
    }
    // Sets a table parameter to a plain value from its text.
    bool SetParameterText(int index, const std::string& text) { return plugin_->setParameterText(index, text); }

    // MIDI delivered with the next block.
    void QueueMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
        queued_.push_back({kVstMidiType, sizeof(VstMidiEvent), offset, 0, 0, 0, {char(status), char(data1), char(data2), 0}, 0, 0, 0, 0});
    }
    void NoteOn(int offset, int channel, int note, int velocity) { QueueMidi(offset, 0x8F + channel, note, velocity); }
    void NoteOff(int offset, int channel, int note, int velocity = 0) { QueueMidi(offset, 0x7F + channel, note, velocity); }
    void Controller(int offset, int channel, int number, int value) { QueueMidi(offset, 0xAF + channel, number, value); }
    // Hands an event list over as it is, however malformed.
    intptr_t Deliver(const VstEvents* events);
    // Delivers the queued MIDI (if any), then runs one block and returns the
    // calling thread's own CPU time the plug-in took (robust to a busy
    // machine, unlike wall time). Replacing calls must leave silence.
    std::chrono::nanoseconds ProcessBlock(int frames, ProcessEntry entry = ProcessEntry::Replacing);
    void ProcessBlocks(int count, int frames) {
        for (int i = 0; i < count; ++i) ProcessBlock(frames);
    }

    // The checker of everything the plug-in sent, under its own lock.
    template <typename Fn>
    auto WithChecker(Fn&& fn) const {
        return Locked([&] { return fn(checker_); });
    }
    HostTransport transport;
    // Whether the editor may have the size it asks for (audioMasterSizeWindow).
    std::atomic<bool> acceptsEditorSize{false};
    // From now on the time query answers `info` (or null), not the transport.
    void SetTime(const VstTimeInfo& info, bool answers) {
        Locked([&] { rawTime_ = true, time_ = info, answersTime_ = answers; });
    }
    void SetProductString(const std::string& product) { Locked([&] { product_ = product; }); }

    // Every MIDI event sent is kept while this is on.
    void SetRecording(bool on) { recording_ = on; }
    std::vector<SentMidi> Sent() const { return Locked([&] { return sent_; }); }
    std::vector<SentMidi> SentInBlock(int64_t block) const {
        return Filtered(Sent(), [block](const SentMidi& m) { return m.block == block; });
    }
    void ClearSent() { Locked([&] { sent_.clear(); }); }
    int BlockCount() const { return blockCount_; }
    // How often the plug-in called each host opcode.
    int CallCount(int opcode) const {
        return Locked([&] { return callCounts_.contains(opcode) ? callCounts_.at(opcode) : 0; });
    }

    // Every audioMasterAutomate so far: host index and normalised value.
    std::vector<std::pair<int, float>> Automated() const { return Locked([&] { return automated_; }); }
    // Every call that tells the host of an edit or asks it to read the
    // parameters again (automate, begin and end of an edit, update display),
    // in order, with the calling thread.
    struct EditCall {
        int opcode;
        int index;
        float value;
        std::thread::id thread;
    };
    std::vector<EditCall> EditCalls() const { return Locked([&] { return editCalls_; }); }
    void ClearEditCalls() { Locked([&] { editCalls_.clear(); }); }

    // The checker's faults so far, one text each; empty when there were none.
    std::string Faults();

    const VstTimeInfo* timeInfo(VstInt32 requestMask) override;
    void receiveEvents(const VstEvents* list) override;
    std::optional<VstIntPtr> answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

private:
    bool Silent(ProcessEntry entry, int frames);
    // Tells the checker which notes of the next block are the host's.
    void ShowHostNotes(const VstMidiEvent& event) {
        checker_.HostNote(uint8_t(event.midiData[0]), uint8_t(event.midiData[1]), uint8_t(event.midiData[2]));
    }
    template <typename Fn>
    std::invoke_result_t<Fn> Locked(Fn&& fn) const {
        std::lock_guard<std::mutex> lock(mutex_);
        return fn();
    }

    VSTPluginMainProc entry_ = nullptr;
    std::atomic<int> blockCount_{0};
    std::atomic<bool> recording_{true};
    std::vector<VstMidiEvent> queued_;
    // Guards everything below: the plug-in calls back from any thread.
    mutable std::mutex mutex_;
    bool rawTime_ = false;
    VstTimeInfo time_{};
    bool answersTime_ = true;
    std::string product_ = "Sorel Test Host";
    mutable MidiOutChecker checker_;
    std::vector<SentMidi> sent_;
    std::map<int, int> callCounts_;
    std::vector<std::pair<int, float>> automated_;
    std::vector<EditCall> editCalls_;
    std::unique_ptr<host::HostedPlugin> plugin_;
};

}  // namespace sorel::test
