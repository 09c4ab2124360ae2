#pragma once
// The editor's port onto the plug-in object: every call the editor makes of
// the plug-in, and the engine edits it carries out, come through here.

#include "frame/EditorPort.h"
#include "frame/EngineEdits.h"

#include <memory>

namespace sorel {

class Vardo;

class VardoEditorPort : public EditorPort, public EngineEdits {
public:
    explicit VardoEditorPort(Vardo& plug) : plug_(plug) {}

    const Parameter* Param(int index) const override;
    double Value(int index) const override;
    void SetParameterFromGUI(int index, double normalized) override;
    void ChooseFromMenu(const MenuTarget& target, int index, double normalized) override;

    const EditorModel& Model() const override;
    void SelectSteps(int start, int end) override;
    void Locked(const std::function<void()>& work) override;
    EditorLink& News() override;
    const NoteMarks& Marks() const override;
    int LearntController(int index) override;

    void BeginEdit() override;
    void TouchParameter(int index) override;
    void EndEdit() override;
    void UndoOrRedo(bool redo) override;
    bool CanUndo() override;
    bool CanRedo() override;

    bool TakeSnapshot(EngineSnapshot& into) override;
    void RenewSnapshot() override;
    EngineEdits& Engine() override { return *this; }

    int GuiScale() override;
    void SetGuiScale(int scale) override;
    bool RequestEditorSize(int width, int height) override;
    int Version() const override;

    // EngineEdits: each publishes a snapshot, so that the edit shows before the next block.
    void SetLaneLoop(int area, int pattern, int lane, int start, int end) override;
    void ToggleChordNote(int key) override;
    void SetChordBase(int key) override;

private:
    // Publishes with the lock already held.
    void Publish();

    Vardo& plug_;
};

std::unique_ptr<EditorPort> MakeEditorPort(Vardo& plug);

}  // namespace sorel
