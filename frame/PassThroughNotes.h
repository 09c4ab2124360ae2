// Keys whose note-on went to the host unchanged by the engine, with the note
// number actually sent (it may have been moved onto the scale), so that
// their note-off goes out with that same number whatever changed meanwhile.
// Every press is counted, however many repeated note-ons a host sends: a
// press forgotten would lose its note-off once an area takes the key.
#pragma once

#include <array>
#include <cstdint>

#include "frame/MidiMessage.h"

namespace sorel {

class PassThroughNotes {
public:
    // Presses of one key whose sent notes are kept one by one; further
    // presses of the key share the note sent for the newest of them.
    static constexpr int kNotesPerKey = 8;

    PassThroughNotes() = default;

    void Remember(int channel, int key, int sentNote);
    // The note sent for the oldest remembered press of this key; false when
    // no press of the key was passed through.
    bool Take(int channel, int key, int& sentNote);
    int64_t Size() const { return total_; }

private:
    struct KeyPresses {
        std::array<uint8_t, kNotesPerKey> sent{};  // ring, oldest at `first`
        uint8_t first = 0;
        uint8_t kept = 0;
        uint8_t overflowNote = 0;
        uint32_t overflow = 0;  // presses beyond the ring
    };
    KeyPresses* Find(int channel, int key);

    std::array<std::array<KeyPresses, midi::kNotes>, midi::kChannels> keys_{};
    int64_t total_ = 0;
};

}  // namespace sorel
