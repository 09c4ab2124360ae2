#pragma once
// The few edits the editor makes on the engine itself rather than through a
// parameter: the loop markers of a pattern's lanes and the notes of the
// selected chord-memory slot. Each takes the plug-in lock for itself.

namespace sorel {

class EngineEdits {
public:
    static constexpr int kEveryLane = -1;

    virtual ~EngineEdits() = default;
    // The loop of one lane of a key area's pattern (or of all its lanes at
    // once): its first step, and one past its last.
    virtual void SetLaneLoop(int area, int pattern, int lane, int start, int end) = 0;
    // The selected slot gains the key, or loses it when it holds it already.
    virtual void ToggleChordNote(int key) = 0;
    virtual void SetChordBase(int key) = 0;
};

}  // namespace sorel
