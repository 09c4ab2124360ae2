// The tool and menu actions that change the engine: the pattern edit tools
// (randomize, copy, paste, clear, reset steps, copy a step to all, lane on/off),
// pattern and key-area copy and paste, and the chord-memory tools. They act
// on the editor's model, so they work alike whether the editor, the host or a
// learnt controller pressed the button, with or without a window.
//
// For the editor: every public operation runs under the plug-in lock (take it
// on the editor thread; the audio thread may run them too, through a learnt
// controller). Pastes that write thousands of values are handed to a worker
// thread and land a short run at a time; Refresh news follows each action.
#pragma once

#include <functional>
#include <random>

#include "frame/BulkEditWorker.h"
#include "frame/EditorModel.h"

namespace sorel {

class IPlugBase;
class VardoApp;
class ChordMemoryBank;

class EditorActions {
public:
    // `changed` tells the editor that values changed (called under the lock);
    // `onAudioThread` is true while the caller is the audio thread.
    EditorActions(IPlugBase& plug, VardoApp& app, ChordMemoryBank& chords, std::function<void()> changed,
                  std::function<bool()> onAudioThread);

    EditorModel& Model() { return model_; }
    const EditorModel& Model() const { return model_; }

    // A button's parameter moved to `value`: true only when it went from up
    // to down, so that a host repeating 1 or a controller held high acts once.
    bool IsNewPress(int index, double value);
    // Keeps the model in step with the parameters that choose what is edited.
    void Follow(int index, double value);
    // The action of a tool or menu parameter set to `value`, when it has one
    // here; false for every other parameter.
    bool Perform(int index, double value);

    // --- the current lane of the current pattern, over the edit range ---
    void Randomize();
    void CopyLane();
    void PasteLane();
    void ResetSteps();
    // The normalised value of `stepParameter` goes to every step of the range.
    void CopyStepToAll(int stepParameter);
    // The current lane on or off in all twelve patterns of the current key
    // area, the opposite of the current pattern's.
    void ToggleLaneOn();

    // --- patterns and key areas, with every lane's loop ---
    void CopyPattern();
    void PastePattern();       // not onto the copied pattern itself
    void PastePatternToAll();  // every pattern of the current key area but the copied one
    void CopyArea();
    void PasteArea();       // not onto the copied key area itself
    void PasteAreaToAll();  // every key area but the copied one

    // --- chord memory: the selected slot ---
    void ChordMemoryAction(int index);

    // Without the plug-in lock: returns once queued pastes have landed.
    void WaitUntilIdle() { worker_.WaitUntilDone(); }
    // Not on the audio thread: lets a paste the audio thread queued begin.
    void StartWaitingPastes() { worker_.StartIfWaiting(); }

private:
    void Send(int area, int pattern, int lane, int step, double normalized);
    void ReadPattern(int area, int pattern, PatternImage& image) const;
    void QueuePattern(const PatternImage& image, int area, int pattern);
    void ApplyRun(std::span<const BulkEditWorker::Write> writes);

    IPlugBase& plug_;
    VardoApp& app_;
    ChordMemoryBank& chords_;
    std::function<void()> changed_;
    EditorModel model_;
    std::minstd_rand random_;
    std::array<bool, 32> pressed_{};
    BulkEditWorker worker_;
};

}  // namespace sorel
