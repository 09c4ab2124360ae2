// The MIDI that goes to the host in the current block, collected in storage
// reserved up front and handed over in order of offset. Messages with the
// same offset keep the order in which they were added (a step's controllers
// stay before its note).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "frame/MidiMessage.h"

namespace sorel {

// On whose behalf a note message goes out (SoundingNotes keeps one note per
// channel and key by it): 0..127 the key of that number, passed on from the host.
namespace note_owner {
constexpr int kEngine = 128;  // the key areas
constexpr int kHost = 129;    // a note-off of a key never passed on, and every other message
constexpr int kPanic = 130;   // ends whatever sounds
}  // namespace note_owner

struct QueuedMidi {
    MidiMessage message;
    int owner = note_owner::kHost;
};

class MidiOutQueue {
public:
    static constexpr int kCapacity = 4096;
    // Room kept for note-offs, so that a flood of other messages can never
    // leave a note sounding.
    static constexpr int kNoteOffReserve = 1024;

    MidiOutQueue();

    // False when the message had no room and was dropped.
    // `urgent` messages (a panic) go before every other message of the same offset.
    bool Add(const MidiMessage& message, int owner = note_owner::kHost, bool urgent = false);
    // Limits every offset to 0..frames-1, orders by offset and returns the
    // messages; valid until the next Clear or Add.
    std::span<const QueuedMidi> Ordered(int frames);
    void Clear() {
        size_ = 0;
        nextSequence_ = 0;
        victimHint_ = kCapacity;
    }
    int Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    int DroppedCount() const { return dropped_; }

private:
    bool MakeRoomForNoteOff();

    struct Entry {
        QueuedMidi queued;
        bool urgent;
        uint32_t sequence;
    };
    std::vector<Entry> entries_;
    std::vector<QueuedMidi> ordered_;
    int size_ = 0;
    uint32_t nextSequence_ = 0;
    int dropped_ = 0;
    int victimHint_ = kCapacity;
};

}  // namespace sorel
