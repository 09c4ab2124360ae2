#include "frame/EngineNews.h"

#include "engine/EngineNotifier.h"
#include "engine/ParameterIndex.h"
#include "engine/PatternEngine.h"
#include "frame/Vardo.h"

namespace sorel {

using namespace param;

bool EngineNews::ToEditor(int code, const NoteRecord* record) {
    EditorEvent event;
    switch (code) {
        case notify::kNoteStarted:
        case notify::kStepPlayed:
            if (!record) return false;
            event.kind = code == notify::kNoteStarted ? EditorEvent::Kind::NoteStarted : EditorEvent::Kind::StepPlayed;
            event.area = record->area;
            event.step = record->step;
            event.note = record->OutputNote();
            if (code == notify::kNoteStarted)
                plugin_.noteMarks_.NoteStarted(record->area, record->step, event.note);
            else
                plugin_.noteMarks_.NotesReleased(record->area, record->step, event.note);
            break;
        case notify::kRedraw:
            event.kind = EditorEvent::Kind::Redraw;
            break;
        case notify::kRefresh:
            event.kind = EditorEvent::Kind::Refresh;
            break;
        default:
            return false;
    }
    if (plugin_.editor_) plugin_.Link().Post(event);
    return true;
}

void EngineNews::Pass(int code, int argument, const NoteRecord* record) {
    if (ToEditor(code, record)) return;
    switch (code) {
        case notify::kSelectCurrentPattern: {
            const PatternEngine* area = plugin_.App().Area(argument);
            if (area) plugin_.ShowEngineSelection(kKeyAreaPatterns + argument, area->CurrentPattern());
            return;
        }
        case notify::kNextPreset:
            if (plugin_.persistence_) plugin_.persistence_->NextPreset();
            return;
        case notify::kPreviousPreset:
            if (plugin_.persistence_) plugin_.persistence_->PreviousPreset();
            return;
        case notify::kSelectPattern:
            // The control zone has already asked the area for it, at the zone's sync.
            if (argument >= 0 && argument < kPatternsPerArea)
                plugin_.ShowEngineSelection(kKeyAreaPatterns + plugin_.SelectedArea(), argument);
            return;
        case notify::kSelectLane:
            if (argument >= 0 && argument < kFirstControllerLane)
                plugin_.ShowEngineSelection(kPatternStepMode, argument);
            return;
        case notify::kHold:
            plugin_.ToggleParameter(kHold + plugin_.SelectedArea());
            return;
        case notify::kHoldBypass:
            plugin_.ToggleParameter(kHoldBypass + plugin_.SelectedArea());
            return;
        case notify::kPanic:
            plugin_.RequestPanic();
            return;
        case notify::kProgramChange:
            // The key area has already been asked for the pattern; the editor
            // shows that key area with it.
            if (argument < 0 || argument >= kPatterns) return;
            plugin_.SetParameterValue(kKeyAreaSelection, argument / kPatternsPerArea);
            plugin_.ShowEngineSelection(kKeyAreaPatterns + argument / kPatternsPerArea,
                                        argument % kPatternsPerArea);
            return;
        default:
            return;
    }
}

}  // namespace sorel
