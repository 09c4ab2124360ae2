// Edits the editor reports by host index, kept for the UI's next idle call:
// the editor's thread or, for a learnt controller, the audio thread leave
// them here without allocating or waiting, and the UI hands them to the
// host's write and touch functions, in the order begin, value, end.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "frame/HostParameters.h"

namespace sorel {

struct UiEdit {
    enum class Kind : uint8_t { Begin, Value, End };
    Kind kind;
    int hostIndex;
    float value;  // the port's plain value, for Value
};

class Lv2UiEdits {
public:
    void Begin(int hostIndex) { Mark(hostIndex, kBegin); }
    void End(int hostIndex) { Mark(hostIndex, kEnd); }
    void Value(int hostIndex, float plain) {
        if (!HostParameters::Holds(hostIndex)) return;
        values_[size_t(hostIndex)].store(plain, std::memory_order_relaxed);
        Mark(hostIndex, kValue);
    }
    // Every value may have changed: the UI writes them all again.
    void AllChanged() { allChanged_.store(true, std::memory_order_release); }
    bool TakeAllChanged() { return allChanged_.exchange(false, std::memory_order_acq_rel); }

    template <typename F>
    void Take(F&& onEdit) {
        for (int i = 0; i < HostParameters::kCount; ++i) {
            const uint8_t flags = flags_[size_t(i)].exchange(0, std::memory_order_acq_rel);
            if (flags & kBegin) onEdit(UiEdit{UiEdit::Kind::Begin, i, 0.0f});
            if (flags & kValue) onEdit(UiEdit{UiEdit::Kind::Value, i, values_[size_t(i)].load(std::memory_order_relaxed)});
            if (flags & kEnd) onEdit(UiEdit{UiEdit::Kind::End, i, 0.0f});
        }
    }

private:
    static constexpr uint8_t kBegin = 1, kValue = 2, kEnd = 4;

    void Mark(int hostIndex, uint8_t flag) {
        if (HostParameters::Holds(hostIndex)) flags_[size_t(hostIndex)].fetch_or(flag, std::memory_order_acq_rel);
    }

    std::array<std::atomic<float>, HostParameters::kCount> values_{};
    std::array<std::atomic<uint8_t>, HostParameters::kCount> flags_{};
    std::atomic<bool> allChanged_{false};
};

}  // namespace sorel
