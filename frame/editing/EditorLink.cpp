#include "frame/editing/EditorLink.h"

namespace sorel {

bool EditorLink::Post(const EditorEvent& event) noexcept {
    const uint32_t head = head_.load(std::memory_order_relaxed);
    const uint32_t tail = tail_.load(std::memory_order_acquire);
    if (head - tail >= kCapacity) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    ring_[head & (kCapacity - 1)] = event;
    head_.store(head + 1, std::memory_order_release);
    return true;
}

bool EditorLink::Take(EditorEvent& event) noexcept {
    const uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    event = ring_[tail & (kCapacity - 1)];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
}

void EditorLink::PostStatus(std::string_view text) noexcept {
    // Each character is stored with release after the version turned odd,
    // so a reader that sees any new character also sees the odd version.
    const uint32_t version = statusVersion_.fetch_add(1, std::memory_order_acq_rel);
    const size_t length = text.size() < kStatusLength ? text.size() : kStatusLength - 1;
    for (size_t i = 0; i < kStatusLength; ++i)
        status_[i].store(i < length ? text[i] : '\0', std::memory_order_release);
    statusVersion_.store(version + 2, std::memory_order_release);
}

bool EditorLink::TakeStatus(char (&out)[kStatusLength]) noexcept {
    const uint32_t before = statusVersion_.load(std::memory_order_acquire);
    if ((before & 1) != 0 || before == statusSeen_) return false;
    for (size_t i = 0; i < kStatusLength; ++i) out[i] = status_[i].load(std::memory_order_acquire);
    if (statusVersion_.load(std::memory_order_acquire) != before) return false;
    out[kStatusLength - 1] = '\0';
    statusSeen_ = before;
    return true;
}

void EditorLink::Discard() noexcept {
    EditorEvent ignored;
    while (Take(ignored)) {
    }
}

}  // namespace sorel
