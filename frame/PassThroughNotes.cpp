#include "frame/PassThroughNotes.h"

namespace sorel {

bool PassThroughNotes::Remember(int channel, int key, int sentNote) {
    if (static_cast<int>(entries_.size()) >= kCapacity) return false;
    entries_.push_back({channel, key, sentNote});
    return true;
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
