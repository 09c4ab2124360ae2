// Short-lived marks of the notes the engine plays, one record per (key area,
// step, note), for the pattern view to show where each note sits. The audio
// thread starts and releases marks and moves their clock; the editor reads
// them. The table is fixed, so nothing allocates or waits on either side, and
// a released mark fades by the clock alone: it is gone after its time even
// when no editor was looking.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>

#include "engine/ParameterIndex.h"

namespace sorel {

class NoteMarks {
public:
    static constexpr int kAreas = param::kKeyAreas;
    static constexpr int kSteps = param::kSteps;
    static constexpr int kNotes = 128;
    static constexpr int kMaxAge = 127;
    // A released mark ages this much per editor frame (33 ms).
    static constexpr int kAgePerFrame = 2;
    static constexpr double kFrameSeconds = 0.033;
    static constexpr int kNoStep = -1;

    enum class State : uint8_t { kNone, kSounding, kReleased };
    struct Mark {
        int step;
        int note;
        int age;  // 0 while sounding; grows once released
    };

    // --- the audio thread ---
    void NoteStarted(int area, int step, int note) noexcept;
    // Every mark of `note` on steps 0..lastStep that still sounds is released.
    void NotesReleased(int area, int lastStep, int note) noexcept;
    // Moves the marks' clock on by a block's worth of samples.
    void Advance(int samples, double sampleRate) noexcept;

    // --- the editor ---
    // The step of `area` whose note started last; kNoStep when none has.
    int PlayingStep(int area) const noexcept;
    State StateOf(int area, int step, int note) const noexcept;
    // Grows with every start and release: a reader that saw the same count saw no news.
    uint32_t Changes() const noexcept { return changes_.load(std::memory_order_acquire); }
    // The marks' clock, in editor frames.
    uint32_t Clock() const noexcept { return frame_.load(std::memory_order_acquire); }
    // Calls f(Mark) for each visible mark of `area` on steps first..last;
    // returns how many there were.
    template <typename F>
    int ForEach(int area, F&& f, int first = 0, int last = kSteps - 1) const noexcept {
        if (area < 0 || area >= kAreas) return 0;
        int count = 0;
        const uint32_t now = frame_.load(std::memory_order_acquire);
        for (int step = std::max(first, 0); step <= std::min(last, kSteps - 1); ++step)
            for (int note = 0; note < kNotes; ++note) {
                const int age = AgeOf(records_[Slot(area, step, note)].load(std::memory_order_relaxed), now);
                if (age < 0) continue;
                f(Mark{step, note, age});
                ++count;
            }
        return count;
    }

private:
    // A record packs its state in the top two bits and, once released, the
    // frame of its release in the rest.
    static constexpr uint32_t kStateShift = 30;
    static constexpr uint32_t kStampMask = (1u << kStateShift) - 1;

    static bool Valid(int area, int step, int note) noexcept;
    static std::size_t Slot(int area, int step, int note) noexcept {
        return (static_cast<std::size_t>(area) * kSteps + static_cast<std::size_t>(step)) * kNotes +
               static_cast<std::size_t>(note);
    }
    static uint32_t Pack(State state, uint32_t stamp) noexcept {
        return static_cast<uint32_t>(state) << kStateShift | (stamp & kStampMask);
    }
    // -1 for a record that shows nothing (never set, cleared, or faded out).
    static int AgeOf(uint32_t record, uint32_t now) noexcept;

    std::array<std::atomic<uint32_t>, static_cast<std::size_t>(kAreas) * kSteps * kNotes> records_{};
    std::array<std::atomic<int>, kAreas> playingStep_{kNoStep, kNoStep, kNoStep, kNoStep};
    std::atomic<uint32_t> frame_{0};
    std::atomic<uint32_t> changes_{0};
    double samplesIntoFrame_ = 0.0;  // the audio thread's own
};

}  // namespace sorel
