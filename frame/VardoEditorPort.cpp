#include "frame/VardoEditorPort.h"

#include "engine/ChordMemoryBank.h"
#include "engine/PatternEngine.h"
#include "engine/PatternStepper.h"
#include "frame/Vardo.h"

#include <mutex>

namespace sorel {

namespace {

// The selected chord-memory slot, or null without chord memory.
ChordSlot* SelectedSlot(Vardo& plug) {
    ChordMemoryBank* bank = plug.Context().chordMemory.get();
    return bank ? bank->Slot(bank->Selected()) : nullptr;
}

}  // namespace

const Parameter* VardoEditorPort::Param(int index) const { return plug_.Params().Get(index); }

double VardoEditorPort::Value(int index) const { return plug_.Params().Value(index); }

void VardoEditorPort::SetParameterFromGUI(int index, double normalized) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    plug_.SetParameterFromGUI(index, normalized);
    Publish();
}

void VardoEditorPort::ChooseFromMenu(const MenuTarget& target, int index, double normalized) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    plug_.SetMenuTarget(target);
    plug_.SetParameterFromGUI(index, normalized);
    Publish();
}

const EditorModel& VardoEditorPort::Model() const { return plug_.Model(); }

void VardoEditorPort::SelectSteps(int start, int end) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    plug_.Actions().Model().Select(start, end);
}

void VardoEditorPort::Locked(const std::function<void()>& work) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    work();
}

EditorLink& VardoEditorPort::News() { return plug_.Link(); }

const NoteMarks& VardoEditorPort::Marks() const { return plug_.Marks(); }

int VardoEditorPort::LearntController(int index) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    return plug_.Learn().ControllerOf(index);
}

void VardoEditorPort::BeginEdit() {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    plug_.Actions().BeginEdit();
    plug_.BeginGesture();
}

void VardoEditorPort::TouchParameter(int index) { plug_.TouchInGesture(index); }

void VardoEditorPort::EndEdit() {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    plug_.Actions().EndEdit();
    plug_.EndGesture();
}

void VardoEditorPort::UndoOrRedo(bool redo) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    redo ? plug_.Actions().Redo() : plug_.Actions().Undo();
    Publish();
}

bool VardoEditorPort::CanUndo() {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    return plug_.Actions().CanUndo();
}

bool VardoEditorPort::CanRedo() {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    return plug_.Actions().CanRedo();
}

bool VardoEditorPort::TakeSnapshot(EngineSnapshot& into) { return plug_.Snapshots().Take(into); }

void VardoEditorPort::RenewSnapshot() {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    Publish();
}

void VardoEditorPort::Publish() { plug_.Snapshots().Publish(plug_.App(), plug_.Context().chordMemory.get(), plug_.Model()); }

int VardoEditorPort::GuiScale() { return plug_.GuiScale(); }

void VardoEditorPort::SetGuiScale(int scale) { plug_.SetGuiScale(scale); }

bool VardoEditorPort::RequestEditorSize(int width, int height) { return plug_.RequestEditorSize(width, height); }

int VardoEditorPort::Version() const { return Vardo::kVersion; }

void VardoEditorPort::SetLaneLoop(int area, int pattern, int lane, int start, int end) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    PatternEngine* engine = plug_.App().Area(area);
    if (!engine) return;
    for (int each = 0; each < param::kAllLanes; ++each)
        if (lane == kEveryLane || each == lane) engine->Stepper().SetLaneLoop(pattern, each, start, end);
    Publish();
}

void VardoEditorPort::ToggleChordNote(int key) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    if (ChordSlot* slot = SelectedSlot(plug_); slot && !slot->RemoveNote(key)) slot->AddNote(key);
    Publish();
}

void VardoEditorPort::SetChordBase(int key) {
    std::lock_guard<std::recursive_mutex> lock(plug_.Mutex());
    if (ChordSlot* slot = SelectedSlot(plug_)) slot->SetBase(key);
    Publish();
}

std::unique_ptr<EditorPort> MakeEditorPort(Vardo& plug) { return std::make_unique<VardoEditorPort>(plug); }

}  // namespace sorel
