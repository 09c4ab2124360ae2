// The tool and menu actions that change the engine: the pattern edit tools
// (randomize, copy, paste, clear, reset steps, copy a step to all, lane on/off),
// pattern and key-area copy and paste, and the chord-memory tools. They act
// on the editor's model, so they work alike whether the editor, the host or a
// learnt controller pressed the button, with or without a window.
//
// For the editor: every public operation runs under the plug-in lock (take it
// on the editor thread; the audio thread may run them too, through a learnt
// controller). Key-area copies and the pastes of patterns and key areas read
// or write thousands of values: a worker thread does that a short run at a
// time, in the order they were chosen; Refresh news follows each action.
//
// Each action is one step of the edit history, and so is each gesture the
// editor brackets with BeginEdit..EndEdit; a paste's step closes once its
// values have landed. Changes made on the audio thread (a learnt
// controller's) are not kept.
#pragma once

#include <functional>
#include <random>
#include <vector>

#include "frame/editing/BulkEditWorker.h"
#include "frame/editing/EditHistory.h"
#include "frame/editing/EditorModel.h"
#include "frame/editing/EngineEditImage.h"

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
    // The routes of the parameters (ParameterRoutes.h) run these actions and
    // keep the model in step with the parameters that choose what is edited.
    bool IsNewPress(int index, double value);

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

    // --- the edit history ---
    // A gesture of the editor: what it changes until EndEdit is one step.
    void BeginEdit();
    void EndEdit();
    // A parameter the user changed; kept when it is an edit of steps or scenes.
    void RecordEdit(int index, double before, double after);
    // False when there was nothing to undo or redo, or a gesture is under way.
    bool Undo();
    bool Redo();
    bool CanUndo();
    bool CanRedo();
    // A preset, state or chord bank replaced what the history would bring
    // back; a gesture under way goes on from what is there now.
    void ClearHistory();

    // Without the plug-in lock: returns once queued pastes have landed.
    void WaitUntilIdle() { worker_.WaitUntilDone(); }
    // Not on the audio thread: lets a paste the audio thread queued begin.
    void StartWaitingPastes() { worker_.StartIfWaiting(); }
    // Without the plug-in lock: drops what is left of a paste and ends its
    // thread, whose every run reaches the owner's parameter changes.
    void StopPastes() { worker_.Stop(); }

private:
    // One action's step of the history; none on the audio thread.
    class EditStep {
    public:
        explicit EditStep(EditorActions& actions);
        ~EditStep();
        EditStep(const EditStep&) = delete;
        EditStep& operator=(const EditStep&) = delete;

    private:
        EditorActions& actions_;
        bool kept_;
    };

    // One pattern's values copied between its parameters and an image.
    struct BulkCopy {
        PatternImage* image;
        int area;
        int pattern;
        bool intoImage;
    };

    void Send(int area, int pattern, int lane, int step, double normalized);
    void ReadLoops(int area, int pattern, PatternImage& image) const;
    // The loops are set at once; the values follow through the worker.
    void QueuePattern(PatternImage& image, int area, int pattern);
    void QueueCopy(const BulkCopy& copy);
    // One run of the queued copies; false once none is left.
    bool RunBulkCopies();
    // The pastes queued so far are one step until they have landed.
    void HoldStepForPaste();
    void FinishPastes();
    void ApplyChange(const EditChange& change, double value);

    IPlugBase& plug_;
    VardoApp& app_;
    ChordMemoryBank& chords_;
    std::function<void()> changed_;
    EditorModel model_;
    std::minstd_rand random_;
    std::array<bool, 32> pressed_{};
    std::vector<BulkCopy> bulkCopies_;  // guarded by the plug-in lock, like the two below
    size_t bulkCopiesDone_ = 0;
    int bulkCursor_ = 0;  // the next value of the first copy not done
    EditHistory history_;  // guarded by the plug-in lock, like the two below
    EngineEditImage stepStart_;  // the engine's edits when the open step began
    EngineEditImage stepEnd_;    // and when it closed
    bool pasteHoldsStep_ = false;
    std::function<bool()> onAudioThread_;
    BulkEditWorker worker_;
};

}  // namespace sorel
