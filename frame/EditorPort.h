#pragma once
// Everything the editor sees of the plug-in: its parameters, the editor's
// model with its news, the note marks, the edit history, the engine's
// snapshot and edits, the GUI scale and the window's size. The editor holds
// one and nothing else of the plug-in.
//
// Threads: any call may come from the editor thread; none waits on the
// audio thread except those that take the plug-in lock, as they say.

#include "frame/editing/MenuTarget.h"

#include <functional>

namespace sorel {

class EditorLink;
class EditorModel;
class EngineEdits;
class NoteMarks;
class Parameter;
struct EngineSnapshot;

class EditorPort {
public:
    virtual ~EditorPort() = default;

    // --- parameters ---
    virtual const Parameter* Param(int index) const = 0;
    virtual double Value(int index) const = 0;
    virtual void SetParameterFromGUI(int index, double normalized) = 0;
    // A menu parameter chosen from a menu opened on `target` (takes the lock).
    virtual void ChooseFromMenu(const MenuTarget& target, int index, double normalized) = 0;
    // The lowest controller MIDI learn binds to the parameter, or MidiLearn::kUnbound (takes the lock).
    virtual int LearntController(int index) = 0;

    // --- the editor's model and its news ---
    virtual const EditorModel& Model() const = 0;
    virtual void SelectSteps(int start, int end) = 0;
    // Runs `work` under the plug-in lock, as the model's readers must.
    virtual void Locked(const std::function<void()>& work) = 0;
    virtual EditorLink& News() = 0;
    virtual const NoteMarks& Marks() const = 0;

    // --- the edit history (each takes the lock) ---
    virtual void BeginEdit() = 0;
    // The open gesture acts on the parameter: a host that records the
    // user's edits hears of it at once (takes the lock).
    virtual void TouchParameter(int index) = 0;
    virtual void EndEdit() = 0;
    virtual void UndoOrRedo(bool redo) = 0;
    virtual bool CanUndo() = 0;
    virtual bool CanRedo() = 0;

    // --- the engine ---
    // The newest snapshot into `into`, if one came since the last take.
    virtual bool TakeSnapshot(EngineSnapshot& into) = 0;
    // Publishes a snapshot now (takes the lock): for a window that opens
    // before the next block.
    virtual void RenewSnapshot() = 0;
    virtual EngineEdits& Engine() = 0;

    // --- the window ---
    virtual int GuiScale() = 0;
    virtual void SetGuiScale(int scale) = 0;
    virtual bool RequestEditorSize(int width, int height) = 0;
    // The plug-in's version as the host sees it (10204 for 1.2.4).
    virtual int Version() const = 0;
};

}  // namespace sorel
