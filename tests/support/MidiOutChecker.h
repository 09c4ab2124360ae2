// Watches the MIDI a plug-in sends and records every breach of what a host
// and the instruments behind it rely on: a status byte with its high bit,
// data bytes below 128, an offset inside the block it belongs to, MIDI sent
// only from inside a process call, and every note that went on going off
// again, on its own channel. Of the notes the plug-in makes itself, a key
// gets no second note-on while it sounds on its channel (an instrument has
// one voice per channel and key) and no note-off that ends nothing; what
// may be the host's own notes passed on is the host's business.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "module/vst2/VstApi.h"

namespace sorel::test {

// One MIDI message a plug-in sent.
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

// The messages among `sent` that `keep` is true of.
template <typename Keep>
std::vector<SentMidi> Filtered(const std::vector<SentMidi>& sent, Keep keep) {
    std::vector<SentMidi> result;
    std::ranges::copy_if(sent, std::back_inserter(result), keep);
    return result;
}
inline std::vector<SentMidi> NoteOns(const std::vector<SentMidi>& sent) { return Filtered(sent, &SentMidi::IsNoteOn); }
inline std::vector<SentMidi> NoteOffs(const std::vector<SentMidi>& sent) { return Filtered(sent, &SentMidi::IsNoteOff); }
inline std::vector<SentMidi> Controllers(const std::vector<SentMidi>& sent, int number) {
    return Filtered(sent, [number](const SentMidi& m) { return m.IsController(number); });
}
// Empty when every note-on in `sent` is ended by a later note-off of its
// channel and key; otherwise names the notes left sounding.
std::string UnendedNotes(const std::vector<SentMidi>& sent);
// Empty when, every note in `sent` taken as the plug-in's own, no key gets a
// second note-on while it sounds and no note-off ends nothing; otherwise
// names the faults.
std::string OverlappingNotes(const std::vector<SentMidi>& sent);

class MidiOutChecker {
public:
    static constexpr int kChannels = 16;
    static constexpr int kNotes = 128;
    static constexpr size_t kKeptFaultTexts = 32;

    // The process call that follows sends its events into a block of `frames`.
    void BeginBlock(int frames) { inBlock_ = true, frames_ = frames, ++block_; }
    void EndBlock() { inBlock_ = false; }
    // One event list handed over by the plug-in (audioMasterProcessEvents).
    void Inspect(const VstEvents* events);
    void InspectMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2);
    // The output buffers of a replacing call must hold silence.
    void InspectSilence(bool silent) {
        if (!silent) Fault("audio output is not silent");
    }
    // Counts a note-on or note-off of a well-formed channel message.
    void CountNote(uint8_t status, uint8_t key, uint8_t velocity);
    // A note message the host hands the plug-in for the next block. Passed
    // on, it keeps its channel and kind; its key may move up onto a scale.
    void HostNote(uint8_t status, uint8_t key, uint8_t velocity);

    // Notes started and not yet ended, as a synth counts them.
    int SoundingNotes() const;
    // (channel 1..16, key) of every sounding note.
    std::vector<std::pair<int, int>> Sounding() const;
    // One fault per sounding note, named by channel and key.
    void ReportSoundingNotes();

    int64_t Block() const { return block_; }
    bool InBlock() const { return inBlock_; }
    uint64_t EventCount() const { return events_; }
    uint64_t FaultCount() const { return faults_; }
    const std::vector<std::string>& FaultTexts() const { return faultTexts_; }

private:
    using BlockStamps = std::array<std::array<int64_t, kNotes>, kChannels>;
    static constexpr int kScaleReach = 11;  // semitones a passed-on key may move up

    void Fault(const std::string& text);
    // The host sent this block a note message of the kind `stamps` keeps that
    // may have come out as `key`.
    bool FromHost(const BlockStamps& stamps, int channel, int key) const;

    bool inBlock_ = false;
    int frames_ = 0;
    int64_t block_ = -1;
    uint64_t events_ = 0;
    uint64_t faults_ = 0;
    std::vector<std::string> faultTexts_;
    std::array<std::array<int, kNotes>, kChannels> sounding_{};
    std::array<std::array<int64_t, kNotes>, kChannels> startedIn_{};
    // Stamp(the block the host sent a note-on (note-off) of a channel and key for); 0 never.
    static int64_t Stamp(int64_t block) { return block + 2; }
    BlockStamps hostOnFor_{}, hostOffFor_{};
};

}  // namespace sorel::test
