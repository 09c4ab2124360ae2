#include "frame/ParameterRoutes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/PatternEngine.h"
#include "engine/WholeStep.h"
#include "frame/editing/ActionParameters.h"
#include "frame/GlobalSettings.h"
#include "frame/Vardo.h"

namespace sorel {

using namespace param;

namespace {

// Menu items, by value.
constexpr int kMenuItemsMost = 4;
constexpr int kAnyOtherItem = -1;  // an item of the menu that no entry of its own names
constexpr int kMenuCopy = 0;
constexpr int kMenuPaste = 1;
constexpr int kMenuPasteToAll = 2;
constexpr int kMenuLearn = 0;
constexpr int kStepMenuToggleOnOff = 0;
constexpr int kStepMenuLearn = 1;
constexpr int kStepMenuUnlearn = 2;
constexpr int kStepMenuCopyToAll = 3;
constexpr int kStepMenuResetSteps = 4;
constexpr int kAreaMenuToggleSendCc = 3;
constexpr int kAreaMenuToggleTriggerCm = 4;

}  // namespace

using R = ParameterRoutes;

constexpr std::array<ParameterRoute, R::kRouteCount> R::kRouteTable{{
    // first, count, handler, only on someone's change, the engine takes it too
    {kGlobalVolume, 1, &R::SetGlobalVolume, false, true},
    {kKeyAreaSelection, 1, &R::SelectArea, false, true},
    {kKeyAreaPatterns, kKeyAreas, &R::SelectPattern, false, true},
    {kPatternStepMode, 1, &R::SelectNoteLane, false, true},
    {kPatternCcSelection, 1, &R::SelectControllerLane, false, true},
    {kCcTeachSelection, 1, &R::SetTaughtController, true, true},
    {kCcTeach, 1, &R::TeachController, true, true},
    {kDrawTool, 2, &R::FollowTool, false, true},  // and kSelectionTool
    {kRandomize, 1, &R::PressTool<&EditorActions::Randomize>, true, true},
    {kCopyTool, 1, &R::PressTool<&EditorActions::CopyLane>, true, true},
    {kPasteTool, 1, &R::PressTool<&EditorActions::PasteLane>, true, true},
    {kClearTool, 1, &R::PressTool<&EditorActions::ResetSteps>, true, true},
    {kPanicTool, 1, &R::PressPanic, true, true},
    {kBoxLeft, 2, &R::StepPreset, true, true},  // and kBoxRight
    {kBoxBrowser, 1, &R::PerformWindowAction, true, true},
    {kBoxInfo, 1, &R::PerformWindowAction, true, true},
    {kCmBoxLeft, 2, &R::StepChordBank, true, true},  // and kCmBoxRight
    {kChordMemoryApplyChordSelection, 1, &R::PerformWindowAction, true, true},
    {kCmCopyTool, 6, &R::PressChordTool, true, true},  // to kCmInvLeft
    {kLockGate, 5, &R::ApplyLock, false, true},        // to kLockRate
    {kResize, 1, &R::PerformWindowAction, true, true},
    {kMidiLearnMenu, 4, &R::PerformMenu, true, true},  // and the copy, area and step menus
    {kBoxSettings, 1, &R::PerformWindowAction, true, true},
    // The machine-wide settings: a stored state does not carry them.
    {kEnableMidiNoteNames, 2, &R::ChangeGlobalSetting, true, false},  // and kStartNotesImmediately
    {kUseOnlyOrderOnOff, 2, &R::ChangeGlobalSetting, true, false},    // and kTransposeAsSemitones
    {kTransposeAllOutputNotes, 1, &R::ChangeGlobalSetting, true, false},
    {kDisableControlZone, 2, &R::ChangeGlobalSetting, true, false},  // and kGateLengthInSteps
}};

constexpr std::array<R::MenuItemRoute, 15> R::kMenuItemTable{{
    {kMidiLearnMenu, kMenuLearn, &R::BeginLearn},
    {kMidiLearnMenu, kAnyOtherItem, &R::UnlearnAll},
    {kCopyMenu, kMenuCopy, &R::RunMenuItem<&EditorActions::CopyPattern>},
    {kCopyMenu, kMenuPaste, &R::RunMenuItem<&EditorActions::PastePattern>},
    {kCopyMenu, kMenuPasteToAll, &R::RunMenuItem<&EditorActions::PastePatternToAll>},
    {kCopyCcMenu, kMenuCopy, &R::RunMenuItem<&EditorActions::CopyArea>},
    {kCopyCcMenu, kMenuPaste, &R::RunMenuItem<&EditorActions::PasteArea>},
    {kCopyCcMenu, kMenuPasteToAll, &R::RunMenuItem<&EditorActions::PasteAreaToAll>},
    {kCopyCcMenu, kAreaMenuToggleSendCc, &R::ToggleSendCc},
    {kCopyCcMenu, kAreaMenuToggleTriggerCm, &R::ToggleTriggerChordMemory},
    {kResetStepsMenu, kStepMenuToggleOnOff, &R::RunMenuItem<&EditorActions::ToggleLaneOn>},
    {kResetStepsMenu, kStepMenuLearn, &R::BeginLearn},
    {kResetStepsMenu, kStepMenuUnlearn, &R::UnlearnParameter},
    {kResetStepsMenu, kStepMenuCopyToAll, &R::CopyStepToAll},
    {kResetStepsMenu, kStepMenuResetSteps, &R::RunMenuItem<&EditorActions::ResetSteps>},
}};

namespace {

constexpr bool RoutesAreApart() {
    for (size_t a = 0; a < R::kRouteTable.size(); ++a)
        for (size_t b = a + 1; b < R::kRouteTable.size(); ++b) {
            const ParameterRoute &x = R::kRouteTable[a], &y = R::kRouteTable[b];
            if (x.first < y.first + y.count && y.first < x.first + x.count) return false;
        }
    return true;
}

// The row of an index in the route table, or kNoRow. (Rows, not pointers: a
// sanitizer build cannot compare pointers into the table while compiling.)
constexpr int kNoRow = -1;
constexpr int RouteRowOf(int index) {
    for (int row = 0; row < static_cast<int>(R::kRouteTable.size()); ++row) {
        const ParameterRoute& route = R::kRouteTable[static_cast<size_t>(row)];
        if (index >= route.first && index < route.first + route.count) return row;
    }
    return kNoRow;
}

// The other tables name these parameters too: every global setting has the
// settings' route, every action a route that a re-apply passes over, and the
// window's actions the route of the size switch.
constexpr bool RoutesMatchTheirTables() {
    const auto settingHandler = R::kRouteTable[static_cast<size_t>(RouteRowOf(kEnableMidiNoteNames))].handler;
    const auto windowHandler = R::kRouteTable[static_cast<size_t>(RouteRowOf(kResize))].handler;
    for (const GlobalSettingEntry& setting : kGlobalSettingTable) {
        const int row = RouteRowOf(setting.parameter);
        if (row == kNoRow) return false;
        const ParameterRoute& route = R::kRouteTable[static_cast<size_t>(row)];
        if (route.handler != settingHandler || route.reachesEngine) return false;
    }
    for (const ActionParameter& action : kActionParameters) {
        const int row = RouteRowOf(action.index);
        if (row == kNoRow) return false;
        const ParameterRoute& route = R::kRouteTable[static_cast<size_t>(row)];
        if (!route.onlyOnChange) return false;
        if ((action.performer == ActionPerformer::Editor) != (route.handler == windowHandler)) return false;
    }
    return true;
}

static_assert(RoutesAreApart(), "a parameter has one route");
// A sanitizer build cannot compare handlers while compiling; the plain build
// checks it on every build.
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
static_assert(RoutesMatchTheirTables());
#endif

}  // namespace

namespace {

// The route of every index, looked up for every change: built while
// compiling, so that no thread builds it on its first change.
constexpr auto kRouteOf = [] {
    std::array<std::int8_t, kCount> slots{};
    slots.fill(-1);
    for (size_t r = 0; r < R::kRouteTable.size(); ++r)
        for (int i = 0; i < R::kRouteTable[r].count; ++i)
            slots[static_cast<size_t>(R::kRouteTable[r].first + i)] = static_cast<std::int8_t>(r);
    return slots;
}();

}  // namespace

const ParameterRoute* ParameterRoutes::FindRoute(int index) {
    if (index < 0 || index >= kCount || kRouteOf[static_cast<size_t>(index)] < 0) return nullptr;
    return &kRouteTable[static_cast<size_t>(kRouteOf[static_cast<size_t>(index)])];
}

EditorActions& ParameterRoutes::Actions() { return *vardo_.actions_; }

void ParameterRoutes::OnParameterChanged(int index, double value, ChangeSource source) {
    if (!vardo_.inAudioPath_) Actions().StartWaitingPastes();
    // The engine plays the value the editor and the host show.
    if (const Parameter* p = vardo_.GetParam(index)) value = p->ShownValue(value);
    Route({index, value, source != ChangeSource::Reapply}, true);
}

void ParameterRoutes::Route(const RoutedChange& change, bool toEngine) {
    const ParameterRoute* route = FindRoute(change.index);
    if (route && (change.acted || !route->onlyOnChange)) (this->*route->handler)(change);
    if (toEngine && (!route || route->reachesEngine)) vardo_.receiver_.ApplyParameter(change.index, change.value);
}

void ParameterRoutes::OnEditFromGUI(int index, double before, double after) {
    if (vardo_.actions_ && !vardo_.inAudioPath_) Actions().RecordEdit(index, before, after);
}

void ParameterRoutes::ShowInEditor(int index, double normalized) {
    if (!vardo_.editor_) return;
    EditorEvent event;
    event.kind = EditorEvent::Kind::ParameterChanged;
    event.index = index;
    event.value = normalized;
    vardo_.editorLink_.Post(event);
}

void ParameterRoutes::ShowEngineSelection(int index, double plain) {
    Parameter* p = vardo_.GetParam(index);
    if (!p) return;
    const double before = p->Value();
    p->SetValue(plain);
    if (p->Value() != before) ShowInEditor(index, p->Normalized());
    Route({index, p->Value(), false}, false);
}

void ParameterRoutes::ShowEditedValues() {
    if (!vardo_.editor_) return;
    EditorEvent event;
    event.kind = EditorEvent::Kind::Refresh;
    vardo_.editorLink_.Post(event);
}

void ParameterRoutes::ToggleParameter(int index) {
    const Parameter* p = vardo_.GetParam(index);
    vardo_.SetParameterValue(index, p->Value() >= 0.5 ? 0.0 : 1.0, ChangeSource::User);
}

void ParameterRoutes::ApplyGlobalSetting(int index, double value) {
    // Output transposition is the frame's; the engine takes the others, and
    // note names are read when a host asks for them.
    if (index == kTransposeAllOutputNotes) vardo_.transposeAllOutput_ = value >= 0.5;
    vardo_.receiver_.ApplyParameter(index, value);
}

void ParameterRoutes::SetMenuTarget(int parameterIndex) {
    const EditorModel& model = Actions().Model();
    menuTarget_ = MenuTarget{parameterIndex, model.Area(), model.Pattern(), model.Lane()};
}

// --- what the editor's model edits ---------------------------------------------

void ParameterRoutes::SelectArea(const RoutedChange& change) {
    Actions().Model().SelectArea(WholeStep(change.value));
    vardo_.RefreshCcTeachSelection();
}

void ParameterRoutes::SelectPattern(const RoutedChange& change) {
    Actions().Model().SelectPattern(change.index - kKeyAreaPatterns, WholeStep(change.value));
}

void ParameterRoutes::SelectNoteLane(const RoutedChange& change) {
    // The selector's tenth tab, after the note lanes, is the PROB lane.
    const int tab = std::clamp(WholeStep(change.value), 0, kFirstControllerLane);
    Actions().Model().SelectLane(tab == kFirstControllerLane ? kProbLane : tab);
}

void ParameterRoutes::SelectControllerLane(const RoutedChange& change) {
    Actions().Model().SelectLane(kFirstControllerLane + std::clamp(WholeStep(change.value), 0, kControllerLanes - 1));
    vardo_.RefreshCcTeachSelection();
}

// "Draw tool" and "Selection tool" are a pair: one of them is always on.
void ParameterRoutes::FollowTool(const RoutedChange& change) {
    const bool on = change.value >= 0.5;
    if (!on && !change.acted) return;  // a re-applied switch that is off chooses nothing
    const bool selection = (change.index == kSelectionTool) == on;
    Actions().Model().SelectTool(selection ? EditorModel::Tool::Selection : EditorModel::Tool::Draw);
    if (!change.acted) return;
    const int other = change.index == kSelectionTool ? kDrawTool : kSelectionTool;
    vardo_.GetParam(other)->SetValue(on ? 0.0 : 1.0);
    ShowInEditor(other, vardo_.GetParam(other)->Normalized());
}

// --- the frame's own values ------------------------------------------------------

void ParameterRoutes::SetGlobalVolume(const RoutedChange& change) { vardo_.globalVolume_ = change.value; }

void ParameterRoutes::SetTaughtController(const RoutedChange& change) {
    vardo_.stepCcNumbers_[vardo_.SelectedCcEntry()] = WholeStep(change.value, 0, 128) - 1;
}

void ParameterRoutes::TeachController(const RoutedChange& change) {
    if (change.value < 0.5) return vardo_.teach_.Stop();
    const PatternEngine* area = vardo_.app_->Area(vardo_.SelectedArea());
    vardo_.teach_.Start(vardo_.SelectedCcEntry(), area ? area->MidiOutChannel() : 1);
}

// A lock keeps its values when a preset loads.
void ParameterRoutes::ApplyLock(const RoutedChange& change) {
    const bool on = change.value >= 0.5;
    auto mark = [&](int first, int count) {
        for (int i = first; i < first + count; ++i) vardo_.Params().SetKeepOnPresetLoad(i, on);
    };
    constexpr int kStepsOfAllPatterns = kPatterns * kSteps;
    switch (change.index) {
        case kLockGate:
            mark(kGate, kPatterns);
            mark(kStepGate, kStepsOfAllPatterns);
            break;
        case kLockSwing:
            mark(kSwing, kPatterns);
            break;
        case kLockOctaves:
            mark(kOctaves, kPatterns);
            break;
        case kLockTranspose:
            mark(kTranspose, kPatterns);
            mark(kStepTranspose, kStepsOfAllPatterns);
            break;
        case kLockRate:
            mark(kRate, kPatterns);
            mark(kRateFreeToggle, kPatterns);
            mark(kRateFreeMode, kPatterns);
            break;
        default:
            break;
    }
}

void ParameterRoutes::ChangeGlobalSetting(const RoutedChange& change) {
    const GlobalSettingEntry* setting = FindGlobalSetting(change.index);
    if (!setting) return;
    vardo_.settings_.*setting->field = change.value >= 0.5;
    ApplyGlobalSetting(change.index, change.value);
    // Written by persistence's own thread: neither the audio thread nor a
    // holder of the plug-in lock waits on the file.
    if (vardo_.persistence_) vardo_.persistence_->SaveGlobalSettings(vardo_.settings_);
}

// --- buttons -----------------------------------------------------------------------

bool ParameterRoutes::Pressed(const RoutedChange& change) { return Actions().IsNewPress(change.index, change.value); }

template <void (EditorActions::*Action)()>
void ParameterRoutes::PressTool(const RoutedChange& change) {
    if (Pressed(change)) (Actions().*Action)();
}

void ParameterRoutes::PressChordTool(const RoutedChange& change) {
    if (Pressed(change)) Actions().ChordMemoryAction(change.index);
}

void ParameterRoutes::PressPanic(const RoutedChange& change) {
    if (Pressed(change)) vardo_.panicRequested_ = true;
}

// Persistence's own thread steps through the files.
void ParameterRoutes::StepPreset(const RoutedChange& change) {
    PersistenceHooks* persistence = vardo_.persistence_.get();
    if (persistence && Pressed(change))
        change.index == kBoxRight ? persistence->NextPreset() : persistence->PreviousPreset();
}

void ParameterRoutes::StepChordBank(const RoutedChange& change) {
    PersistenceHooks* persistence = vardo_.persistence_.get();
    if (persistence && Pressed(change))
        change.index == kCmBoxRight ? persistence->NextChordBank() : persistence->PreviousChordBank();
}

// On the audio path (a learnt controller) the editor carries it out on its own thread.
void ParameterRoutes::PerformWindowAction(const RoutedChange& change) {
    if (!vardo_.editor_) return;
    if (!vardo_.inAudioPath_) return vardo_.editor_->PerformAction(change.index, change.value);
    EditorEvent event;
    event.kind = EditorEvent::Kind::ToolAction;
    event.index = change.index;
    event.value = change.value;
    vardo_.editorLink_.Post(event);
}

// --- menus -------------------------------------------------------------------------

void ParameterRoutes::PerformMenu(const RoutedChange& change) {
    const int choice = WholeStep(change.value, 0, kMenuItemsMost);
    EditorModel& model = Actions().Model();
    const MenuTarget target = menuTarget_.value_or(MenuTarget{-1, model.Area(), model.Pattern(), model.Lane()});
    menuTarget_.reset();
    const int area = model.Area(), lane = model.Lane(), pattern = model.PatternOf(target.area);
    const auto show = [&model, &target](int a, int p, int l) {
        model.SelectArea(a);
        model.SelectPattern(target.area, p);
        model.SelectLane(l);
    };
    show(target.area, target.pattern, target.lane);
    const MenuItemRoute* any = nullptr;
    const MenuItemRoute* chosen = nullptr;
    for (const MenuItemRoute& item : kMenuItemTable) {
        if (item.menu != change.index) continue;
        if (item.item == choice) chosen = &item;
        if (item.item == kAnyOtherItem) any = &item;
    }
    if (const MenuItemRoute* item = chosen ? chosen : any) (this->*item->handler)(target);
    show(area, pattern, lane);
}

template <void (EditorActions::*Action)()>
void ParameterRoutes::RunMenuItem(const MenuTarget&) {
    (Actions().*Action)();
}

void ParameterRoutes::BeginLearn(const MenuTarget& target) {
    vardo_.learn_.BeginLearn(target.parameter);
    if (vardo_.learn_.LearnTarget() != MidiLearn::kUnbound) vardo_.editorLink_.PostStatus(MidiLearn::kWaitingStatus);
}

void ParameterRoutes::UnlearnAll(const MenuTarget&) { vardo_.learn_.UnlearnAll(); }

void ParameterRoutes::UnlearnParameter(const MenuTarget& target) { vardo_.learn_.UnlearnParameter(target.parameter); }

void ParameterRoutes::CopyStepToAll(const MenuTarget& target) { Actions().CopyStepToAll(target.parameter); }

void ParameterRoutes::ToggleSendCc(const MenuTarget& target) { ToggleParameter(kSendCc + target.area); }

void ParameterRoutes::ToggleTriggerChordMemory(const MenuTarget& target) { ToggleParameter(kCmTrigger + target.area); }

}  // namespace sorel
