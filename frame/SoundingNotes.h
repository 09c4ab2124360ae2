// Which note each key of each channel plays on the host's side, kept from
// the MIDI actually sent, and what may be sent so that it stays one note per
// channel and key, as an instrument has one voice for each: a note-on for a
// key that sounds ends that note just before it; a note-off ends only the
// note of whoever started it, and nothing a later note took over; a panic
// ends every note once.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "frame/MidiOutQueue.h"

namespace sorel {

class SoundingNotes {
public:
    SoundingNotes() {
        for (auto& row : owners_) row.fill(kSilent);
    }

    // Appends to `out` what goes to the host for `queued`: at most two messages.
    void Pass(const QueuedMidi& queued, std::vector<MidiMessage>& out);
    template <typename Fn>
    void ForEach(Fn&& fn) const {
        if (total_ == 0) return;
        for (int c = 0; c < midi::kChannels; ++c)
            for (int n = 0; n < midi::kNotes; ++n)
                if (owners_[c][n] != kSilent) fn(c + 1, n);
    }
    // The notes the given owner started and that still sound.
    template <typename Fn>
    void ForEachOwnedBy(int owner, Fn&& fn) const {
        ForEach([&](int channel, int note) {
            if (owners_[channel - 1][note] == owner) fn(channel, note);
        });
    }

private:
    static constexpr int16_t kSilent = -1;

    std::array<std::array<int16_t, midi::kNotes>, midi::kChannels> owners_{};
    int total_ = 0;
};

}  // namespace sorel
