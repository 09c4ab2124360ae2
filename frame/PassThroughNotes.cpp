#include "frame/PassThroughNotes.h"

namespace sorel {

bool PassThroughNotes::Remember(int channel, int key, int sentNote) {
    // When full, the oldest press goes: it is the one most likely never to see
    // its note-off (a repeated note-on), while the newest surely will.
    const bool full = static_cast<int>(entries_.size()) >= kCapacity;
    if (full) entries_.erase(entries_.begin());
    entries_.push_back({channel, key, sentNote});
    return !full;
}

bool PassThroughNotes::Take(int channel, int key, int& sentNote) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->channel == channel && it->key == key) {
            sentNote = it->sentNote;
            entries_.erase(it);
            return true;
        }
    }
    return false;
}

}  // namespace sorel
