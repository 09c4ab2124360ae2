// Plays the engine as the plug-in frame does: a host transport, input notes at
// absolute sample times cut into blocks of any size, parameters by index, and
// the MIDI that would reach the host (engine records and passed-through notes)
// collected with absolute sample times.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/ParameterIndex.h"
#include "engine/ParameterReceiver.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"
#include "support/MidiOutChecker.h"

namespace sorel::test {

using namespace param;

constexpr int kC3 = 48, kD3 = 50, kE3 = 52, kG3 = 55;  // inside key area 1's default range 36..59
constexpr int kStep = 6000;                             // a 1/16 step at 120 bpm and 48 kHz

struct MidiOut {
    std::int64_t time = 0;
    bool on = false;
    int channel = 1, note = 0, velocity = 0;
    int area = -1;  // -1: passed through by the frame
    int step = -1;

    bool operator==(const MidiOut&) const = default;
};

// One field of every event: Column(h.NoteOns(), &MidiOut::time).
template <typename T>
std::vector<T> Column(const std::vector<MidiOut>& events, T MidiOut::*field) {
    std::vector<T> r;
    for (const MidiOut& m : events) r.push_back(m.*field);
    return r;
}

using Settings = std::vector<std::pair<int, double>>;

class EngineHarness : public ProcessorListener, public EngineNotificationListener {
public:
    static constexpr int kAnySource = -2;

    explicit EngineHarness(double sampleRate = 48000.0, double bpm = 120.0);
    ~EngineHarness() override = default;

    // The host: tempo, transport, loop, block sizes.
    void SetTempo(double bpm) { bpm_ = bpm; }
    void Play(std::int64_t samplePosition = 0) { playing_ = true, songPosition_ = samplePosition; }
    void StopTransport() { playing_ = false; }
    // A loop over [start, end) song samples.
    void SetLoop(std::int64_t start, std::int64_t end) { loopStart_ = start, loopEnd_ = end; }
    // Overrides the samples-per-beat the frame reports (for broken hosts).
    void ForceSamplesPerBeat(double spb) { forcedSpb_ = spb; }
    void SetBlockSizes(std::vector<int> sizes) { blockSizes_ = std::move(sizes); blockIndex_ = 0; }

    // Keys at absolute engine samples (earlier times mean now).
    struct KeyEvent {
        std::int64_t time;
        bool on;
        int channel, note, velocity;
    };
    void Queue(KeyEvent key) { key.time = std::max(key.time, now_), inputs_.push_back(key); }
    void NoteOn(int channel, int note, int velocity, std::int64_t at) { Queue({at, true, channel, note, velocity}); }
    void NoteOff(int channel, int note, std::int64_t time) { Queue({time, false, channel, note, 0}); }
    void Chord(int channel, std::initializer_list<int> notes, std::int64_t on, std::int64_t off);
    void Param(int index, double value) { receiver_.ApplyParameter(index, value); }
    void Apply(const Settings& settings);
    // Called between blocks, at the first block boundary at or after `time`.
    void At(std::int64_t time, std::function<void()> action) { actions_.push_back({time, std::move(action)}); }

    // Runs blocks until Now() >= time.
    void RunUntil(std::int64_t time);
    void Run(std::int64_t samples) { RunUntil(now_ + samples); }
    std::int64_t Now() const { return now_; }

    std::vector<MidiOut>& Out() { return out_; }
    std::vector<MidiOut> NoteOns(int area = kAnySource) const { return Select(true, area); }
    std::vector<MidiOut> NoteOffs(int area = kAnySource) const { return Select(false, area); }
    // (channel, key) of the notes sent and not ended, counted as a synth counts them.
    std::vector<std::pair<int, int>> Sounding() const { return checker_.Sounding(); }
    bool Silent() const { return Sounding().empty(); }
    // Control-zone news (code, argument) in the order it came.
    const std::vector<std::pair<int, int>>& Notices() const { return notices_; }

    EngineContext& Context() { return *context_; }
    VardoApp& App() { return *app_; }
    PatternEngine& Area(int i) { return *app_->Area(i); }
    PatternStepper& Stepper(int area = 0) { return Area(area).Stepper(); }
    const TransportState& Transport() const { return transport_; }

    void OnEngineEvents(std::span<NoteRecord> events, int segmentLength) override;
    void OnProcessingState(bool) override {}
    void OnEngineNotification(int code, int argument, const NoteRecord*) override;

private:
    struct Action {
        std::int64_t time;
        std::function<void()> run;
    };
    std::vector<MidiOut> Select(bool on, int area) const;
    void RunBlock(int frames);
    void FillTransport();

    TransportState transport_;
    std::unique_ptr<EngineContext> context_;
    std::unique_ptr<VardoApp> app_;
    ParameterReceiver receiver_;
    MidiOutChecker checker_;

    double sampleRate_, bpm_;
    bool playing_ = false;
    std::int64_t songPosition_ = 0, loopStart_ = -1, loopEnd_ = -1;
    std::optional<double> forcedSpb_;
    std::vector<int> blockSizes_{512};
    std::size_t blockIndex_ = 0;
    std::int64_t now_ = 0;
    std::vector<KeyEvent> inputs_;
    std::vector<Action> actions_;
    std::vector<MidiOut> out_;
    std::vector<std::pair<int, int>> notices_;
};

// A fresh engine with `settings` and `keys` pressed in this order at sample 0
// (or one sample apart), the i-th with velocity 40 * (i + 1), held for
// `steps` sixteenths: its note-ons.
std::vector<MidiOut> NoteOnsOfHeldKeys(const Settings& settings, const std::vector<int>& keys, int steps,
                                       bool apart = false);

}  // namespace sorel::test
