// Plays a MIDI song into a hosted plug-in block by block, the way a host's
// track would, and collects the MIDI the plug-in sends back with its sample
// positions.
#pragma once

#include "HostSession.h"
#include "HostedPlugin.h"
#include "MidiSong.h"
#include "TempoMap.h"

#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace sorel::host {

struct LoopRange {
    double startQuarters = 0.0;
    double endQuarters = 0.0;
};

struct RenderOptions {
    double sampleRate = 48000.0;
    int blockSize = 512;
    std::optional<double> beatsPerMinute;  // replaces the song's tempo map
    std::optional<LoopRange> loop;
    int loopPasses = 2;     // times the transport plays the loop before it runs on
    bool stopped = false;   // the transport never plays; the song still feeds the input
    double tailBars = 1.0;  // played after the song so that notes can end
    double stoppedTailSeconds = 0.25;  // rendered after the transport stops
};

struct RenderResult {
    MidiSong output;
    int notesIn = 0;
    int notesOut = 0;
    int otherEventsOut = 0;
    int eventsOutsideBlock = 0;  // events whose offset lay outside their block
    std::set<int> channelsOut;
    double seconds = 0.0;
};

class Renderer final : public HostSession {
public:
    using Progress = std::function<void(double fraction)>;

    Renderer(HostedPlugin& plugin, const MidiSong& input, const RenderOptions& options);
    ~Renderer() override;

    RenderResult run(const Progress& progress = {});

    const VstTimeInfo* timeInfo(VstInt32 requestMask) override;
    void receiveMidi(const VstMidiEvent& event) override;

private:
    struct ScheduledEvent {
        int64_t sample;
        VstMidiEvent event;
        bool noteOn;
        bool noteOff;
    };
    struct Transport {
        bool playing = false;
        bool changed = true;
        bool loopActive = false;
        int64_t songPosition = 0;  // samples on the song's time line
    };

    void scheduleInput(const MidiSong& input);
    int64_t nextBlockLength(int64_t renderEnd) const;
    void collectInput(int64_t from, int64_t to);
    void releaseHeldInput();
    void trackHeldInput(const ScheduledEvent& event);
    void processOneBlock(int64_t frames);
    void jumpToLoopStartWhenDue();
    double estimatedTotalSamples() const;

    HostedPlugin& plugin_;
    RenderOptions options_;
    TempoMap tempoMap_;
    std::vector<ScheduledEvent> schedule_;
    size_t cursor_ = 0;
    int heldInput_[16][128] = {};
    std::vector<VstMidiEvent> blockEvents_;
    Transport transport_;
    int64_t renderPosition_ = 0;
    int64_t blockFrames_ = 0;
    int64_t songEnd_ = 0;
    int64_t tailSamples_ = 0;
    int64_t loopStart_ = 0;
    int64_t loopEnd_ = 0;
    int loopPassesDone_ = 0;
    VstTimeInfo timeInfo_{};
    RenderResult result_;
};

}  // namespace sorel::host
