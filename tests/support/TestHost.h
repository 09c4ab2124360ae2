// The one VST 2 host of the tests, the soak and the MIDI-path fuzzer: a test
// session over sorel-host's HostedPlugin. It answers the time query from a
// scriptable transport (or any raw answer, null included), checks every MIDI
// event the plug-in sends as it arrives, and counts the host calls.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "HostedPlugin.h"
#include "support/MidiOutChecker.h"

namespace sorel::test {

struct HostTransport {
    double sampleRate = 48000.0;
    double tempo = 120.0;
    double samplePos = 0.0;
    bool playing = false;
    bool loopEnabled = false;
    double cycleStartPpq = 0.0;
    double cycleEndPpq = 0.0;
    // When false the time query returns null (a host that reports nothing).
    bool answersTime = true;
    // When false the validity flags and the tempo are left out.
    bool reportsTempo = true;
};

struct SentMidi {
    int64_t block = 0;  // number of the process call it was sent in, -1 outside any
    int offset = 0;     // deltaFrames
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    int Kind() const { return status >> 4; }
    int Channel() const { return (status & 0x0F) + 1; }
    bool IsNoteOn() const { return Kind() == 9 && data2 > 0; }
    bool IsNoteOff() const { return Kind() == 8 || (Kind() == 9 && data2 == 0); }
    bool IsController(int number) const { return Kind() == 11 && data1 == number; }
    bool operator==(const SentMidi&) const = default;
};

using ProcessEntry = host::HostedPlugin::ProcessEntry;

// The path of the module under test: SOREL_MODULE_PATH from the environment.
std::string ModulePathFromEnvironment();
// Loads a module with sorel-host's loader (it stays loaded) and finds its
// entry; null and `error` set when that fails.
VSTPluginMainProc LoadModuleEntry(const std::string& path, std::string& error);
// The note-ons, note-offs or given controller's messages among `sent`.
std::vector<SentMidi> NoteOns(const std::vector<SentMidi>& sent);
std::vector<SentMidi> NoteOffs(const std::vector<SentMidi>& sent);
std::vector<SentMidi> Controllers(const std::vector<SentMidi>& sent, int number);
// Empty when every note-on in `sent` is ended by a later note-off of its
// channel and key; otherwise names the notes left sounding.
std::string UnendedNotes(const std::vector<SentMidi>& sent);

class TestHost : public host::HostSession {
public:
    static constexpr int kMaxFrames = 8192;

    // Throws when the module cannot be loaded.
    explicit TestHost(const std::string& modulePath = ModulePathFromEnvironment());
    // A plug-in linked into the test itself, created through this entry.
    explicit TestHost(VSTPluginMainProc entry);
    ~TestHost() override;
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Creates the plug-in, opens it with the sample rate and block size, and
    // switches it on; false when the entry returned no usable effect.
    bool CreateAndOpen(int blockSize = 512);
    void Close();

    AEffect* Effect() const { return plugin_ ? &plugin_->effect() : nullptr; }
    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    std::string DispatchString(int opcode, int index = 0, intptr_t value = 0);

    void SetParameter(int index, float normalized) { plugin_->setParameterNormalised(index, normalized); }
    float GetParameter(int index) { return plugin_->parameterNormalised(index); }
    // The bank (0) or program (1) chunk the plug-in hands out; empty when it gives none.
    std::vector<uint8_t> GetChunk(int which) { return plugin_->getChunk(which == 0); }
    bool SetChunk(int which, std::vector<uint8_t> bytes) {
        return Dispatch(effSetChunk, which, static_cast<intptr_t>(bytes.size()), bytes.data()) == 1;
    }
    // Sets a parameter to a plain value through effString2Parameter.
    bool SetParameterText(int index, const std::string& text) { return plugin_->setParameterText(index, text); }

    // MIDI delivered with the next block.
    void QueueMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2);
    void NoteOn(int offset, int channel, int note, int velocity) {
        QueueMidi(offset, static_cast<uint8_t>(0x90 | (channel - 1)), note, velocity);
    }
    void NoteOff(int offset, int channel, int note, int velocity = 0) {
        QueueMidi(offset, static_cast<uint8_t>(0x80 | (channel - 1)), note, velocity);
    }
    void Controller(int offset, int channel, int number, int value) {
        QueueMidi(offset, static_cast<uint8_t>(0xB0 | (channel - 1)), number, value);
    }
    // Hands an event list over as it is, however malformed.
    intptr_t Deliver(const VstEvents* events) { return Dispatch(effProcessEvents, 0, 0, const_cast<VstEvents*>(events)); }
    // Delivers the queued MIDI (if any), then runs one block and returns how
    // long the plug-in took. Replacing calls must leave silence.
    std::chrono::nanoseconds ProcessBlock(int frames, ProcessEntry entry = ProcessEntry::Replacing);
    void ProcessBlocks(int count, int frames) {
        for (int i = 0; i < count; ++i) ProcessBlock(frames);
    }

    HostTransport transport;
    // Whether the editor may have the size it asks for (audioMasterSizeWindow).
    std::atomic<bool> acceptsEditorSize{false};
    // From now on the time query answers `info` (or null), not the transport.
    void SetTime(const VstTimeInfo& info, bool answers);
    void SetProductString(const std::string& product);

    // Every MIDI event sent is kept while this is on.
    void SetRecording(bool on) { recording_ = on; }
    std::vector<SentMidi> Sent() const;
    std::vector<SentMidi> SentInBlock(int64_t block) const;
    void ClearSent();
    int BlockCount() const { return blockCount_; }
    // How often the plug-in called each host opcode.
    int CallCount(int opcode) const;

    // The checker of everything the plug-in sent, under its own lock.
    template <typename Fn>
    auto WithChecker(Fn&& fn) {
        std::lock_guard<std::mutex> lock(mutex_);
        return fn(checker_);
    }
    // The checker's faults so far, one text each; empty when there were none.
    std::string Faults();

    const VstTimeInfo* timeInfo(VstInt32 requestMask) override;
    void receiveEvents(const VstEvents* list) override;
    std::optional<VstIntPtr> answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

private:
    VstTimeInfo TimeFromTransport() const;
    bool Silent(ProcessEntry entry, int frames);

    VSTPluginMainProc entry_ = nullptr;
    std::atomic<int> blockCount_{0};
    std::atomic<bool> recording_{true};
    std::vector<VstMidiEvent> queued_;

    mutable std::mutex timeMutex_;
    bool rawTime_ = false;
    VstTimeInfo time_{};
    bool answersTime_ = true;
    std::string product_ = "Sorel Test Host";

    mutable std::mutex mutex_;
    MidiOutChecker checker_;
    std::vector<SentMidi> sent_;
    std::map<int, int> callCounts_;
    std::unique_ptr<host::HostedPlugin> plugin_;
};

}  // namespace sorel::test
