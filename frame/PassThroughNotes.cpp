#include "frame/PassThroughNotes.h"

#include <cstddef>
#include <limits>

namespace sorel {

PassThroughNotes::KeyPresses* PassThroughNotes::Find(int channel, int key) {
    if (channel < 1 || channel > midi::kChannels || key < 0 || key >= midi::kNotes) return nullptr;
    return &keys_[static_cast<size_t>(channel - 1)][static_cast<size_t>(key)];
}

void PassThroughNotes::Remember(int channel, int key, int sentNote) {
    KeyPresses* presses = Find(channel, key);
    if (!presses) return;
    const auto note = static_cast<uint8_t>(sentNote & 0x7F);
    if (presses->kept < kNotesPerKey) {
        presses->sent[(presses->first + presses->kept) % kNotesPerKey] = note;
        ++presses->kept;
    } else {
        if (presses->overflow == std::numeric_limits<uint32_t>::max()) return;
        ++presses->overflow;
        presses->overflowNote = note;
    }
    ++total_;
}

bool PassThroughNotes::Take(int channel, int key, int& sentNote) {
    KeyPresses* presses = Find(channel, key);
    if (!presses || presses->kept == 0) return false;
    sentNote = presses->sent[presses->first];
    presses->first = static_cast<uint8_t>((presses->first + 1) % kNotesPerKey);
    --presses->kept;
    if (presses->overflow > 0) {
        // The ring makes room for the next press in line.
        presses->sent[(presses->first + presses->kept) % kNotesPerKey] = presses->overflowNote;
        ++presses->kept;
        --presses->overflow;
    }
    --total_;
    return true;
}

}  // namespace sorel
