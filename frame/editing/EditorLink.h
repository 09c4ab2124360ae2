// News for the editor from the threads that run the plug-in (above all the
// audio thread): incoming notes per key area, played steps, parameters moved
// by MIDI learn and by the engine's pattern and lane switches. Posting never
// blocks and never allocates; the editor's timer takes the news when it runs.
// With no editor the queue simply fills and further news is dropped.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sorel {

struct EditorEvent {
    enum class Kind : uint8_t {
        AreaNoteIn,         // area: a key area took an incoming note
        NoteStarted,        // area, step, note: a note-on went out
        StepPlayed,         // area, step, note: a note-off went out
        Redraw,             // the pattern view should redraw
        Refresh,            // redraw every control
        ParameterChanged,   // index, value (normalised): a control shows a new value
        ToolAction,         // index, value (plain): carry out a tool or menu action
    };
    Kind kind = Kind::Redraw;
    int32_t area = 0;
    int32_t step = 0;
    int32_t note = 0;
    int32_t index = 0;
    double value = 0.0;
};

class EditorLink {
public:
    static constexpr uint32_t kCapacity = 1024;  // a power of two

    // Posters are serialised by the plug-in lock; one consumer (the editor).
    bool Post(const EditorEvent& event) noexcept;
    bool Take(EditorEvent& event) noexcept;
    uint32_t DroppedCount() const noexcept { return dropped_.load(std::memory_order_relaxed); }
    void Discard() noexcept;

    void AreaNoteIn(int area) noexcept { Post({EditorEvent::Kind::AreaNoteIn, area}); }

    // The latest text for the editor's status line; a newer one replaces it.
    // Longer texts are cut to kStatusLength - 1 characters.
    static constexpr size_t kStatusLength = 64;
    void PostStatus(std::string_view text) noexcept;
    // Copies the status text into `out` (zero-terminated) when it changed
    // since the last call that returned true; false when nothing new or a
    // write was under way (try again at the next timer tick).
    bool TakeStatus(char (&out)[kStatusLength]) noexcept;

private:
    std::array<EditorEvent, kCapacity> ring_{};
    std::atomic<uint32_t> head_{0};  // next slot to write
    std::atomic<uint32_t> tail_{0};  // next slot to read
    std::atomic<uint32_t> dropped_{0};

    // A sequence lock: odd while the text is being written.
    std::atomic<uint32_t> statusVersion_{0};
    std::array<std::atomic<char>, kStatusLength> status_{};
    uint32_t statusSeen_ = 0;
};

}  // namespace sorel
