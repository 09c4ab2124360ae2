// News for the editor from the threads that run the plug-in (above all the
// audio thread): incoming notes per key area, played steps, pattern and lane
// switches, parameters moved by MIDI learn. Posting never blocks and never
// allocates; the editor's timer takes the news when it runs. With no editor
// the queue simply fills and further news is dropped.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace sorel {

struct EditorEvent {
    enum class Kind : uint8_t {
        AreaNoteIn,         // area: a key area took an incoming note
        NoteShown,          // area, step, note: a note-on went out
        StepPlayed,         // area, step, note: a note-off went out
        Redraw,             // the pattern view should redraw
        SelectPattern,      // area, value: show this pattern
        SelectLane,         // value: show this lane of the pattern view
        ProgramChange,      // value: program number
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

private:
    std::array<EditorEvent, kCapacity> ring_{};
    std::atomic<uint32_t> head_{0};  // next slot to write
    std::atomic<uint32_t> tail_{0};  // next slot to read
    std::atomic<uint32_t> dropped_{0};
};

}  // namespace sorel
