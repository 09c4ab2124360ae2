#pragma once
// What the editor shows of the engine, as the audio thread left it at the
// end of its last block: the loops and switches of the selected pattern's
// lanes, the selected key area's scene and the selected chord-memory slot.
// Plain values of a fixed size, copied whole from one thread to another.

#include "engine/ParameterIndex.h"

#include <array>
#include <cstdint>

namespace sorel {

struct EngineSnapshot {
    static constexpr int kNoSelection = -1;
    static constexpr int kNoBase = -1;

    struct Lane {
        int loopStart = 0;
        int loopEnd = param::kSteps;  // one past the loop's last step
        bool on = true;
    };

    // The selection the lanes and the scene were read for.
    int area = kNoSelection;
    int pattern = kNoSelection;
    std::array<Lane, param::kAllLanes> lanes{};
    bool sceneOn = false;
    int sceneIndex = 0;
    int sceneEnd = 0;
    // The selected slot's notes, one bit a key from the lowest, and its base.
    uint64_t chordNotes = 0;
    int chordBase = kNoBase;

    bool Shows(int shownArea, int shownPattern) const { return area == shownArea && pattern == shownPattern; }
};

}  // namespace sorel
