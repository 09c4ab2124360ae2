#include "frame/MidiOutQueue.h"

#include <algorithm>

namespace sorel {

MidiOutQueue::MidiOutQueue() : entries_(kCapacity), ordered_(kCapacity) {}

bool MidiOutQueue::Add(const MidiMessage& message, bool urgent) {
    const int limit = message.IsNoteOff() ? kCapacity : kCapacity - kNoteOffReserve;
    if (size_ >= limit) {
        ++dropped_;
        return false;
    }
    entries_[size_++] = {message, urgent, nextSequence_++};
    return true;
}

std::span<const MidiMessage> MidiOutQueue::Ordered(int frames) {
    const int last = std::max(0, frames - 1);
    for (int i = 0; i < size_; ++i) entries_[i].message.offset = std::clamp(entries_[i].message.offset, 0, last);
    std::sort(entries_.begin(), entries_.begin() + size_, [](const Entry& a, const Entry& b) {
        if (a.message.offset != b.message.offset) return a.message.offset < b.message.offset;
        if (a.urgent != b.urgent) return a.urgent;
        return a.sequence < b.sequence;
    });
    for (int i = 0; i < size_; ++i) ordered_[i] = entries_[i].message;
    return {ordered_.data(), static_cast<size_t>(size_)};
}

}  // namespace sorel
