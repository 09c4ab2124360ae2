// Plays a MIDI song into a hosted plug-in over and over, in real time, on a
// thread of its own as a host's audio thread would: block by block, with a
// running transport that jumps back to the start at the end of the song's
// last bar.
#pragma once

#include "HostSession.h"
#include "HostedPlugin.h"
#include "MidiSong.h"
#include "TempoMap.h"

#include <atomic>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace sorel::host {

class LoopPlayer final : public HostSession {
public:
    LoopPlayer(HostedPlugin& plugin, const MidiSong& song, std::optional<double> beatsPerMinute);
    ~LoopPlayer() override;  // stops

    void start();
    // Ends what sounds and joins the thread.
    void stop();
    int loopsPlayed() const { return loops_.load(); }
    int notesOut() const { return notesOut_.load(); }
    double loopSeconds() const;

    const VstTimeInfo* timeInfo(VstInt32 requestMask) override;
    void receiveMidi(const VstMidiEvent& event) override;

private:
    struct Scheduled {
        int64_t sample;
        VstMidiEvent event;
    };

    void run();
    void playBlock(int64_t frames);
    void releaseHeldInput();

    HostedPlugin& plugin_;
    TempoMap tempoMap_;
    std::vector<Scheduled> schedule_;
    int64_t loopLength_ = 0;
    // Audio thread only.
    size_t cursor_ = 0;
    int64_t position_ = 0;
    bool transportChanged_ = true;
    int held_[16][128] = {};
    std::vector<VstMidiEvent> blockEvents_;
    // The transport as the plug-in may ask for it from any thread.
    std::mutex timeLock_;
    VstTimeInfo time_{};

    std::atomic<bool> stop_{false};
    std::atomic<int> loops_{0};
    std::atomic<int> notesOut_{0};
    std::thread thread_;
};

}  // namespace sorel::host
