#include "frame/MidiOutQueue.h"

#include <algorithm>

namespace sorel {

MidiOutQueue::MidiOutQueue() : entries_(kCapacity), ordered_(kCapacity) {}

bool MidiOutQueue::Add(const MidiMessage& message, int owner, bool urgent) {
    const bool noteOff = message.IsNoteOff();
    const int limit = noteOff ? kCapacity : kCapacity - kNoteOffReserve;
    if (size_ >= limit && !(noteOff && MakeRoomForNoteOff())) {
        ++dropped_;
        return false;
    }
    entries_[size_++] = {{message, owner}, urgent, nextSequence_++};
    return true;
}

// A full queue gives up, for a note-off, the latest message that ends
// nothing: a controller or a note-on (which then never sounds, so its own
// note-off only finds nothing to end). Only a queue of nothing but note-offs
// and urgent messages drops one.
bool MidiOutQueue::MakeRoomForNoteOff() {
    // Entries above the last victim are note-offs moved there: no need to look again.
    for (int i = std::min(victimHint_, size_ - 1); i >= 0; --i) {
        const Entry& entry = entries_[i];
        if (entry.urgent || entry.queued.message.IsNoteOff()) continue;
        entries_[i] = entries_[--size_];
        victimHint_ = i;
        ++dropped_;
        return true;
    }
    victimHint_ = -1;
    return false;
}

std::span<const QueuedMidi> MidiOutQueue::Ordered(int frames) {
    const int last = std::max(0, frames - 1);
    for (int i = 0; i < size_; ++i) {
        int32_t& offset = entries_[i].queued.message.offset;
        offset = std::clamp(offset, 0, last);
    }
    std::sort(entries_.begin(), entries_.begin() + size_, [](const Entry& a, const Entry& b) {
        if (a.queued.message.offset != b.queued.message.offset)
            return a.queued.message.offset < b.queued.message.offset;
        if (a.urgent != b.urgent) return a.urgent;
        return a.sequence < b.sequence;
    });
    for (int i = 0; i < size_; ++i) ordered_[i] = entries_[i].queued;
    return {ordered_.data(), static_cast<size_t>(size_)};
}

}  // namespace sorel
