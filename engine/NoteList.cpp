#include "engine/NoteList.h"

#include <algorithm>

namespace sorel {

bool NoteList::Add(int note, int velocity) {
    if (note < 0 || note >= 128) return false;
    if (slot_[note] >= 0) {
        notes_[slot_[note]].velocity = velocity;
        return true;
    }
    if (count_ >= capacity_ || count_ >= kMaxNotes) return false;
    int at = 0;
    while (at < count_ && notes_[at].note < note) ++at;
    for (int i = count_; i > at; --i) notes_[i] = notes_[i - 1];
    notes_[at] = HeldNote{note, count_, 0, velocity};
    ++count_;
    Reindex();
    return true;
}

bool NoteList::Remove(int note) {
    if (!Contains(note)) return false;
    const int at = slot_[note];
    const int removedArrival = notes_[at].arrival;
    for (int i = at; i + 1 < count_; ++i) notes_[i] = notes_[i + 1];
    --count_;
    slot_[note] = -1;
    // Later arrivals close the gap, so arrivals stay unique and within 0..count-1.
    for (int i = 0; i < count_; ++i)
        if (notes_[i].arrival > removedArrival) --notes_[i].arrival;
    Reindex();
    return true;
}

void NoteList::Clear() {
    for (int i = 0; i < count_; ++i) slot_[notes_[i].note] = -1;
    count_ = 0;
}

void NoteList::Reindex() {
    for (int i = 0; i < count_; ++i) slot_[notes_[i].note] = i;
}

const HeldNote* NoteList::AtPlayIndex(int i) const {
    if (i < 0 || i >= count_) return nullptr;
    return &notes_[byPlayIndex_[i]];
}

void NoteList::Sort(int sortOrder) {
    int sum = 0;
    for (int i = 0; i < count_; ++i) {
        HeldNote& h = notes_[i];
        switch (sortOrder) {
            case sort::kHighToLow: h.playIndex = count_ - 1 - i; break;
            case sort::kAsPlayed: h.playIndex = h.arrival; break;
            case sort::kReversed: h.playIndex = count_ - 1 - h.arrival; break;
            default: h.playIndex = i; break;
        }
        h.playIndex = std::clamp(h.playIndex, 0, count_ - 1);
        byPlayIndex_[h.playIndex] = i;
        sum += h.velocity;
    }
    if (count_ == 0) return;
    averageVelocity_ = sum / count_;
    // First: the latest arrival within the highest octave block that holds notes;
    // last: the same within the lowest block.
    auto latestInBlock = [this](int block) {
        int best = -1, velocity = 127;
        for (int i = 0; i < count_; ++i)
            if (notes_[i].note / 12 == block && notes_[i].arrival > best) {
                best = notes_[i].arrival;
                velocity = notes_[i].velocity;
            }
        return velocity;
    };
    firstVelocity_ = latestInBlock(notes_[count_ - 1].note / 12);
    lastVelocity_ = latestInBlock(notes_[0].note / 12);
}

}  // namespace sorel
