// Plays the engine as the plug-in frame does: a host transport, input notes at
// absolute sample times cut into blocks of any size, parameters by index, and
// the MIDI that would reach the host (engine records and passed-through notes)
// collected with absolute sample times.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/ParameterReceiver.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"
#include "support/MidiOutChecker.h"

namespace sorel::test {

struct MidiOut {
    std::int64_t time = 0;
    bool on = false;
    int channel = 1;
    int note = 0;
    int velocity = 0;
    int area = -1;          // -1: passed through by the frame
    int step = -1;
    bool onlyCc = false;
    std::array<int, 8> cc{};

    bool operator==(const MidiOut&) const = default;
};

class EngineHarness : public ProcessorListener, public EngineNotificationListener {
public:
    explicit EngineHarness(double sampleRate = 48000.0, double bpm = 120.0, bool stepDefaults = false);
    ~EngineHarness() override;

    // --- host ---
    void SetTempo(double bpm) { bpm_ = bpm; }
    double SamplesPerBeat() const { return bpm_ > 0 ? sampleRate_ * 60.0 / bpm_ : 0.0; }
    // Starts the host transport at song position `samplePosition`.
    void Play(std::int64_t samplePosition = 0);
    void StopTransport() { playing_ = false; }
    // A host loop over [start, end) song samples while playing.
    void SetLoop(std::int64_t start, std::int64_t end) { loopStart_ = start, loopEnd_ = end; }
    // Overrides the samples-per-beat the frame reports (for broken hosts).
    void ForceSamplesPerBeat(double spb) { forcedSpb_ = spb; forceSpb_ = true; }
    // Block sizes used in turn.
    void SetBlockSizes(std::vector<int> sizes) { blockSizes_ = std::move(sizes); blockIndex_ = 0; }

    // --- input at absolute engine samples (must not lie before Now()) ---
    void NoteOn(int channel, int note, int velocity, std::int64_t time);
    void NoteOff(int channel, int note, std::int64_t time);
    void Chord(int channel, std::initializer_list<int> notes, std::int64_t on, std::int64_t off, int velocity = 100);
    void Param(int index, double value) { receiver_.ApplyParameter(index, value); }
    // Called between blocks, at the first block boundary at or after `time`.
    void At(std::int64_t time, std::function<void()> action);

    // Runs blocks until Now() >= time.
    void RunUntil(std::int64_t time);
    void Run(std::int64_t samples) { RunUntil(now_ + samples); }
    std::int64_t Now() const { return now_; }

    // --- output ---
    const std::vector<MidiOut>& Out() const { return out_; }
    std::vector<MidiOut> NoteOns(int area = -2) const;   // -2: every source
    std::vector<MidiOut> NoteOffs(int area = -2) const;
    std::vector<int> NoteNumbers(const std::vector<MidiOut>& events) const;
    std::vector<std::int64_t> Times(const std::vector<MidiOut>& events) const;
    void ClearOut() { out_.clear(); }
    // Every note sent, counted as a synth would count it.
    const MidiOutChecker& Checker() const { return checker_; }

    EngineContext& Context() { return *context_; }
    VardoApp& App() { return *app_; }
    PatternEngine& Area(int i) { return *app_->Area(i); }
    TransportState& Transport() { return transport_; }

    // ProcessorListener
    void OnEngineEvents(std::span<NoteRecord> events, int segmentLength) override;
    void OnProcessingState(bool) override {}
    // EngineNotificationListener
    void OnEngineNotification(int, int, const NoteRecord*) override {}

private:
    struct Input {
        std::int64_t time;
        bool on;
        int channel, note, velocity;
        std::uint64_t order;
    };
    struct Action {
        std::int64_t time;
        std::function<void()> run;
    };
    void RunBlock(int frames);
    void FillTransport(int frames);

    TransportState transport_;
    std::unique_ptr<EngineContext> context_;
    std::unique_ptr<VardoApp> app_;
    ParameterReceiver receiver_;
    MidiOutChecker checker_;

    double sampleRate_;
    double bpm_;
    bool playing_ = false;
    std::int64_t songPosition_ = 0;
    std::int64_t loopStart_ = -1, loopEnd_ = -1;
    bool forceSpb_ = false;
    double forcedSpb_ = 0.0;
    std::vector<int> blockSizes_{512};
    std::size_t blockIndex_ = 0;
    std::int64_t now_ = 0;
    std::int64_t blockStart_ = 0;
    std::uint64_t inputOrder_ = 0;
    std::vector<Input> inputs_;
    std::vector<Action> actions_;
    std::vector<MidiOut> out_;
    std::vector<MidiOut> blockOut_;
};

}  // namespace sorel::test
