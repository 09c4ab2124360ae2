#include "frame/NoteMarks.h"

#include <cmath>

namespace sorel {

bool NoteMarks::Valid(int area, int step, int note) noexcept {
    return area >= 0 && area < kAreas && step >= 0 && step < kSteps && note >= 0 && note < kNotes;
}

int NoteMarks::AgeOf(uint32_t record, uint32_t now) noexcept {
    const auto state = static_cast<State>(record >> kStateShift);
    if (state == State::kSounding) return 0;
    if (state != State::kReleased) return -1;
    const uint32_t frames = (now - (record & kStampMask)) & kStampMask;
    if (frames > static_cast<uint32_t>(kMaxAge / kAgePerFrame)) return -1;
    return static_cast<int>(frames) * kAgePerFrame;
}

void NoteMarks::NoteStarted(int area, int step, int note) noexcept {
    if (!Valid(area, step, note)) return;
    playingStep_[static_cast<std::size_t>(area)].store(step, std::memory_order_relaxed);
    std::atomic<uint32_t>& record = records_[Slot(area, step, note)];
    const uint32_t now = frame_.load(std::memory_order_relaxed);
    // A mark released in this very frame keeps fading rather than flicker back.
    if (record.load(std::memory_order_relaxed) == Pack(State::kReleased, now)) return;
    record.store(Pack(State::kSounding, 0), std::memory_order_release);
    changes_.fetch_add(1, std::memory_order_release);
}

void NoteMarks::NotesReleased(int area, int lastStep, int note) noexcept {
    if (!Valid(area, 0, note)) return;
    const uint32_t now = frame_.load(std::memory_order_relaxed);
    for (int step = 0; step <= lastStep && step < kSteps; ++step) {
        std::atomic<uint32_t>& record = records_[Slot(area, step, note)];
        if (record.load(std::memory_order_relaxed) >> kStateShift == static_cast<uint32_t>(State::kSounding))
            record.store(Pack(State::kReleased, now), std::memory_order_release);
    }
    changes_.fetch_add(1, std::memory_order_release);
}

void NoteMarks::Advance(int samples, double sampleRate) noexcept {
    if (samples <= 0 || !(sampleRate > 0.0)) return;
    samplesIntoFrame_ += samples;
    const double frameSamples = sampleRate * kFrameSeconds;
    const double frames = std::floor(samplesIntoFrame_ / frameSamples);
    if (frames < 1.0) return;
    samplesIntoFrame_ -= frames * frameSamples;
    // Past a full fade more frames change nothing; the clock only needs to move that far.
    const auto step = static_cast<uint32_t>(std::fmin(frames, double(kMaxAge)));
    frame_.fetch_add(step, std::memory_order_release);
}

int NoteMarks::PlayingStep(int area) const noexcept {
    return area >= 0 && area < kAreas ? playingStep_[static_cast<std::size_t>(area)].load(std::memory_order_relaxed)
                                      : kNoStep;
}

NoteMarks::State NoteMarks::StateOf(int area, int step, int note) const noexcept {
    if (!Valid(area, step, note)) return State::kNone;
    const uint32_t record = records_[Slot(area, step, note)].load(std::memory_order_relaxed);
    return AgeOf(record, frame_.load(std::memory_order_relaxed)) < 0 ? State::kNone
                                                                     : static_cast<State>(record >> kStateShift);
}

}  // namespace sorel
