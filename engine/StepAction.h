// A fired or waiting step: its values, and for each of its DIV parts the
// note-on and note-off times and the notes it started.
#pragma once

#include <array>
#include <cstdint>

#include "engine/Step.h"

namespace sorel {

struct ActionPart {
    static constexpr int kMaxNotes = 8;

    double onQn = 0.0;
    double offQn = 0.0;
    bool fired = false;
    bool ended = false;
    int noteCount = 0;
    std::array<int, kMaxNotes> notes{};     // output notes that went on
    std::array<int, kMaxNotes> channels{};  // and the channel each went out on
    bool onlyCc = false;                    // they went out as controllers only: their ends send nothing
};

struct StepAction {
    static constexpr int kMaxParts = 8;

    std::uint64_t sequence = 0;
    StepValues values;
    int partCount = 1;
    std::array<ActionPart, kMaxParts> parts{};
    // The step lost its chance: its parts send their controllers, no note.
    bool lost = false;

    // The notes part 0 picked; later parts repeat them.
    int pickedCount = 0;
    std::array<int, ActionPart::kMaxNotes> pickedNotes{};
    std::array<int, ActionPart::kMaxNotes> pickedVelocities{};

    bool AnyFired() const {
        for (int i = 0; i < partCount; ++i)
            if (parts[i].fired) return true;
        return false;
    }
    bool Finished() const {
        for (int i = 0; i < partCount; ++i)
            if (!parts[i].ended) return false;
        return true;
    }
};

}  // namespace sorel
