#include "frame/SoundingNotes.h"

namespace sorel {

void SoundingNotes::Track(const MidiMessage& sent) {
    if (!sent.IsNote()) return;
    uint16_t& count = counts_[sent.Channel() - 1][sent.data1 & 0x7F];
    if (sent.IsNoteOn()) {
        if (count < UINT16_MAX) {
            ++count;
            ++total_;
        }
    } else if (count > 0) {
        // One note-off ends the note on the receiving instrument, however
        // many note-ons preceded it.
        total_ -= count;
        count = 0;
    }
}

bool SoundingNotes::IsSounding(int channel, int note) const {
    if (channel < 1 || channel > midi::kChannels || note < 0 || note >= midi::kNotes) return false;
    return counts_[channel - 1][note] > 0;
}

void SoundingNotes::Clear() {
    for (auto& row : counts_) row.fill(0);
    total_ = 0;
}

}  // namespace sorel
