// The host side of one plug-in instance in the soak: creates it through the
// module's entry, answers its calls back (time, MIDI out, host identity) and
// runs blocks through the three process entries. The answer to the time
// query is whatever the soak put into `SetTime`, including nothing at all.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "frame/vst2/VstApi.h"
#include "soak/MidiOutChecker.h"

namespace sorel::soak {

enum class ProcessEntry { Replacing, Accumulating, DoubleReplacing };

// Loads a VST 2 module with dlopen and finds its entry.
class Module {
public:
    explicit Module(const std::string& path);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    VSTPluginMainProc Entry() const { return entry_; }
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    VSTPluginMainProc entry_ = nullptr;
    std::string error_;
};

class SoakPlugin {
public:
    static constexpr int kMaxFrames = 8192;

    // Creates and opens the instance; `Valid()` tells whether that worked.
    explicit SoakPlugin(VSTPluginMainProc entry, double sampleRate = 48000.0, int blockSize = 512);
    ~SoakPlugin();
    SoakPlugin(const SoakPlugin&) = delete;
    SoakPlugin& operator=(const SoakPlugin&) = delete;

    bool Valid() const { return effect_ != nullptr; }
    AEffect* Effect() const { return effect_; }

    intptr_t Dispatch(int opcode, int index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    void SetParameter(int index, float value);
    float GetParameter(int index);
    intptr_t Deliver(const VstEvents* events) { return Dispatch(effProcessEvents, 0, 0, const_cast<VstEvents*>(events)); }
    // Runs one block of `frames` (0..kMaxFrames) and returns how long the
    // plug-in took.
    std::chrono::nanoseconds Process(int frames, ProcessEntry entry = ProcessEntry::Replacing);

    // The next answers to the time query; `answers` false answers null.
    void SetTime(const VstTimeInfo& info, bool answers);
    void SetProductString(const std::string& product);

    // The checker of everything the plug-in sent, under its own lock.
    template <typename Fn>
    auto WithChecker(Fn&& fn) {
        std::lock_guard<std::mutex> lock(checkerMutex_);
        return fn(checker_);
    }

    intptr_t OnHostCall(int opcode, int index, intptr_t value, void* ptr, float opt);

private:
    AEffect* effect_ = nullptr;
    std::mutex timeMutex_;
    VstTimeInfo time_{};
    bool answersTime_ = true;
    std::string product_ = "Sorel Soak Host";
    std::mutex checkerMutex_;
    MidiOutChecker checker_;
    std::vector<float> floatOut_[2];
    std::vector<double> doubleOut_[2];
};

}  // namespace sorel::soak
