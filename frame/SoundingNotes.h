// Which notes the plug-in has started on the host's side and not yet ended,
// counted from the MIDI actually sent, so that a panic can end every one.
#pragma once

#include <array>
#include <cstdint>

#include "frame/MidiMessage.h"

namespace sorel {

class SoundingNotes {
public:
    void Track(const MidiMessage& sent);
    bool IsSounding(int channel, int note) const;
    int Count() const { return total_; }
    template <typename Fn>
    void ForEach(Fn&& fn) const {
        if (total_ == 0) return;
        for (int c = 0; c < midi::kChannels; ++c)
            for (int n = 0; n < midi::kNotes; ++n)
                if (counts_[c][n] > 0) fn(c + 1, n);
    }
    void Clear();

private:
    std::array<std::array<uint16_t, midi::kNotes>, midi::kChannels> counts_{};
    int total_ = 0;
};

}  // namespace sorel
