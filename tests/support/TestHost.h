// A small VST 2 host for tests: loads a module with dlopen, creates and opens
// the plug-in, delivers MIDI with effProcessEvents and runs blocks, answers
// the time query from a scriptable transport and collects every MIDI event
// the plug-in sends, with the block it came in and its offset.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "frame/vst2/VstApi.h"

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
    // While playing, each block moves samplePos on by its frames.
    bool advanceWhilePlaying = true;
};

struct SentMidi {
    int block = 0;   // number of the process call it was sent in, -1 outside any
    int offset = 0;  // deltaFrames
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    int Kind() const { return status >> 4; }
    int Channel() const { return (status & 0x0F) + 1; }
    bool IsNoteOn() const { return Kind() == 9 && data2 > 0; }
    bool IsNoteOff() const { return Kind() == 8 || (Kind() == 9 && data2 == 0); }
    bool IsController(int number) const { return Kind() == 11 && data1 == number; }
};

// The path of the module under test: SOREL_MODULE_PATH from the environment.
std::string ModulePathFromEnvironment();

class TestHost {
public:
    explicit TestHost(std::string modulePath = ModulePathFromEnvironment());
    // A plug-in linked into the test itself, created through this entry.
    explicit TestHost(VSTPluginMainProc entry);
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    // Calls the module's entry; false when it returned no effect.
    bool Create(const char* entryName = "VSTPluginMain");
    // Create, then open with the sample rate and block size, and switch on.
    bool CreateAndOpen(int blockSize = 512);
    void Close();

    AEffect* Effect() const { return effect_; }
    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    std::string DispatchString(int opcode, int index = 0, intptr_t value = 0);
    intptr_t CanDo(const char* question) { return Dispatch(effCanDo, 0, 0, const_cast<char*>(question)); }

    // Host-side parameter calls.
    void SetParameter(int index, float normalized);
    float GetParameter(int index);
    // Sets a parameter to a plain value through effString2Parameter.
    bool SetParameterText(int index, const std::string& text);

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
    // Delivers the queued MIDI (if any), then runs one block.
    void ProcessBlock(int frames, bool doublePrecision = false);
    void ProcessBlocks(int count, int frames) {
        for (int i = 0; i < count; ++i) ProcessBlock(frames);
    }

    HostTransport transport;
    std::string productString = "Sorel Test Host";
    int vendorVersion = 10203;

    std::vector<SentMidi> Sent() const;
    std::vector<SentMidi> SentInBlock(int block) const;
    void ClearSent();
    int BlockCount() const { return blockCount_; }
    // How often the plug-in called each host opcode.
    int CallCount(int opcode) const;
    // The most recent audio output of channel `channel`.
    const std::vector<float>& Output(int channel) const { return outputs_.at(channel); }

    // Called by the host callback.
    intptr_t OnHostCall(int opcode, int index, intptr_t value, void* ptr, float opt);

private:
    void FillTimeInfo();

    void* library_ = nullptr;
    VSTPluginMainProc entry_ = nullptr;
    std::string modulePath_;
    AEffect* effect_ = nullptr;
    std::atomic<int> blockCount_{0};
    std::atomic<int> currentBlock_{-1};
    std::vector<VstMidiEvent> queued_;
    std::vector<std::vector<float>> outputs_;
    VstTimeInfo timeInfo_{};

    mutable std::mutex mutex_;
    std::vector<SentMidi> sent_;
    std::map<int, int> callCounts_;
};

}  // namespace sorel::test
