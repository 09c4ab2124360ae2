#include "frame/EditorLink.h"

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

void EditorLink::Discard() noexcept {
    EditorEvent ignored;
    while (Take(ignored)) {
    }
}

}  // namespace sorel
