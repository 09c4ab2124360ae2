// Watches the MIDI a plug-in sends to its host and records every breach of
// what a host and the instruments behind it rely on: a status byte with its
// high bit, data bytes below 128, an offset inside the block it belongs to,
// MIDI sent only from inside a process call, and every note that was started
// being ended again.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/vst2/VstApi.h"

namespace sorel::soak {

struct SentEvent {
    int64_t block = -1;  // number of the process call it came in, -1 outside any
    int offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    bool operator==(const SentEvent&) const = default;
};

class MidiOutChecker {
public:
    static constexpr int kChannels = 16;
    static constexpr int kNotes = 128;
    static constexpr size_t kKeptFaultTexts = 32;

    // The process call that follows sends its events into a block of `frames`.
    void BeginBlock(int frames);
    void EndBlock();
    // One event list handed over by the plug-in (audioMasterProcessEvents).
    void Inspect(const VstEvents* events);
    void InspectMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2);
    // The output buffers of a replacing call must hold silence.
    void InspectSilence(bool silent);

    // Notes started and not yet ended, counted per channel and key.
    int SoundingNotes() const;
    // One fault per sounding note, named by channel and key.
    void ReportSoundingNotes();
    // Forgets which notes sound, e.g. after a plug-in instance was closed.
    void ForgetSoundingNotes() { sounding_ = {}; }

    uint64_t EventCount() const { return events_; }
    uint64_t FaultCount() const { return faults_; }
    const std::vector<std::string>& FaultTexts() const { return faultTexts_; }

    // While recording, every MIDI event is kept in order.
    void SetRecording(bool on) { recording_ = on; }
    const std::vector<SentEvent>& Recorded() const { return recorded_; }
    void ClearRecorded() { recorded_.clear(); }

private:
    void Fault(const std::string& text);

    bool inBlock_ = false;
    int frames_ = 0;
    int64_t block_ = -1;
    uint64_t events_ = 0;
    uint64_t faults_ = 0;
    std::vector<std::string> faultTexts_;
    std::array<std::array<int, kNotes>, kChannels> sounding_{};
    std::array<std::array<int64_t, kNotes>, kChannels> startedIn_{};
    bool recording_ = false;
    std::vector<SentEvent> recorded_;
};

}  // namespace sorel::soak
