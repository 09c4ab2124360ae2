#include "editor/VardoEditor.h"

#include "editor/BitmapFont.h"
#include "editor/EditorComposer.h"
#include "editor/EditorImages.h"
#include "editor/FontResources.h"
#include "editor/HintText.h"
#include "editor/IBitmapControl.h"
#include "editor/ICustomRadioButtonsControl.h"
#include "editor/IControl.h"
#include "editor/IKeyboardControl.h"
#include "editor/ILoopSelectionControl.h"
#include "editor/IPresetBrowserControl.h"
#include "editor/ITextControl.h"
#include "editor/InfoControl.h"
#include "editor/PatternView.h"
#include "editor/SceneView.h"
#include "editor/SettingsControl.h"
#include "editor/TextEntryCharacters.h"
#include "editor/UIEventHandler.h"
#include "engine/ParameterIndex.h"
#include "frame/editing/EditorLink.h"
#include "frame/EditorPort.h"
#include "frame/EngineEdits.h"
#include "frame/Parameter.h"
#include "frame/MidiLearn.h"
#include "graphics/IGraphics.h"
#include "graphics/IPopupMenu.h"
#include "graphics/WindowHost.h"
#include "persistence/PluginPersistence.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cctype>
#include <string_view>
#include <thread>
#include <utility>

namespace sorel {

using namespace param;

namespace {

constexpr int kKeyZ = WindowClient::kKeyLetterA + ('z' - 'a');
// The history's items in a step menu, apart from the menu parameter's values.
constexpr int kUndoItem = -2;
constexpr int kRedoItem = -3;

bool IsNoteParameter(int index) {
    const auto in = [index](int first) { return index >= first && index < first + kKeyAreas; };
    return in(kKeyAreaStartNote) || in(kKeyAreaEndNote) || in(kKeyAreaBaseNote);
}

// News of a change that may come from outside a block; what the blocks
// play (notes in and out, steps) comes with the snapshot they publish.
bool MayChangeTheEngine(EditorEvent::Kind kind) {
    using Kind = EditorEvent::Kind;
    return kind == Kind::ParameterChanged || kind == Kind::Refresh || kind == Kind::ToolAction;
}

IRECT Union(const IRECT& a, const IRECT& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return {std::min(a.L, b.L), std::min(a.T, b.T), std::max(a.R, b.R), std::max(a.B, b.B)};
}

bool IsStepValue(int index) {
    return (index >= kStepLength && index < kStepSource + kPatterns * kSteps) || (index >= kStepCc && index <= kStepCcLast);
}

}  // namespace

VardoEditor::VardoEditor(std::unique_ptr<EditorPort> port, PluginPersistence* persistence)
    : port_(std::move(port)), persistence_(persistence), uiEvents_(std::make_unique<UIEventHandler>(*this, *port_)) {}

VardoEditor::~VardoEditor() { CloseWindow(); }

// --- PluginEditor ------------------------------------------------------------

bool VardoEditor::OpenWindow(void* parentWindow) {
    if (!parentWindow) return false;  // no host window to live in
    const int scale = port_->GuiScale();
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_ && window_->IsOpen()) return true;
    // Switched since the last open: every bitmap and font comes at the new scale.
    if (IsBuilt() && scale != scale_) DropControls();
    BuildControls(scale);
    if (!IsBuilt()) return false;  // no complete layout to place the controls by
    // What happened while no window was open is read afresh (the first
    // paint and press come before the first tick); a height switched
    // meanwhile is not carried out late.
    port_->News().Discard();
    pending_.fetch_and(~static_cast<unsigned>(kToggleHeight));
    FollowSelection();
    RefreshFromPlug();
    window_ = std::make_unique<WindowHost>(*this, [this](int width, int height) {
        return port_->RequestEditorSize(width, height);
    });
    const int height = height_.load();
    if (window_->Open(reinterpret_cast<uintptr_t>(parentWindow), kWidth, height, scale_)) {
        openScale_.store(scale_);
        return true;
    }
    window_.reset();
    return false;
}

void VardoEditor::CloseWindow() {
    // Joins the editor thread; the caller must not hold the plug-in lock,
    // which that thread may be waiting for.
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_) window_->Close();
    window_.reset();
    openScale_.store(0);
    capture_ = pressed_ = hover_ = nullptr;
    textDone_ = nullptr;
}

uint64_t VardoEditor::WindowId() const {
    std::lock_guard<std::mutex> lock(windowMutex_);
    return window_ ? window_->WindowId() : 0;
}

void VardoEditor::Size(int& width, int& height) const {
    // Screen pixels: an open window keeps its scale, the next one takes the setting's.
    const int open = openScale_.load();
    const int scale = open ? open : port_->GuiScale();
    width = kWidth * scale;
    height = height_.load() * scale;
}

void VardoEditor::PerformAction(int parameterIndex, double value) {
    // Called under the plug-in lock on any thread: only leave word for the timer.
    if (parameterIndex == kResize)
        pending_.fetch_or(kToggleHeight);
    else if (parameterIndex == kBoxInfo && value >= 0.5)
        pending_.fetch_xor(kToggleInfo);  // two presses in one tick open and close
    else if (parameterIndex == kBoxSettings && value >= 0.5)
        pending_.fetch_xor(kToggleSettings);
}

void VardoEditor::RefreshAll() { refreshPending_.store(true); }

// --- building -----------------------------------------------------------------

void VardoEditor::BuildControls() {
    if (!IsBuilt()) BuildControls(port_->GuiScale());
}

void VardoEditor::BuildControls(int scale) {
    if (IsBuilt()) return;
    skin_ = {};
    if (skinText_)
        skin_.Parse(*skinText_);
    else
        skin_.Load();
    // A truncated skin would leave controls without a place: the editor stays closed.
    if (!skin_.IsComplete()) return;
    scale_ = scale;
    canvas_ = std::make_unique<IGraphics>(kWidth, kFullHeight, scale_);
    std::vector<IBitmap> decodedAside;
    std::thread decoder([&decodedAside, &canvas = *canvas_] {
        for (const ImageResource& image : image::kDecodedAside)
            decodedAside.push_back(canvas.LoadIBitmap(image.number, image.name, image.frames));
    });
    for (const FontResource& font : kEditorFonts) fonts_.push_back(BitmapFont::Load(*canvas_, font));
    EditorComposer(*this).Compose();
    decoder.join();
    background_ = canvas_->LoadIBitmap(image::kBackground.number, image::kBackground.name);
    FollowSelection();
    RebindAll();
    ShowRateKnob();
    ShowTool();
    ShowSendOnlyCaptions();
    ReadEngineState();
    pendingArea_ = canvas_->Bounds();
}

void VardoEditor::UseSkin(std::string text) {
    std::lock_guard<std::mutex> lock(windowMutex_);
    if (window_ && window_->IsOpen()) return;
    skinText_ = std::move(text);
    if (IsBuilt()) DropControls();
}

void VardoEditor::DropControls() {
    const bool infoShown = infoPanel_ && !infoPanel_->IsHidden();
    const bool settingsShown = settingsPanel_ && !settingsPanel_->IsHidden();
    const bool aboutShown = aboutBox_ && !aboutBox_->IsHidden();
    bound_.clear();
    controls_.clear();
    fonts_.clear();
    background_ = {};
    canvas_.reset();
    skin_ = {};
    composedSkins_.clear();
    noteIndicators_ = {};
    sendOnlyCaptions_ = {};
    status_ = nullptr;
    browsers_ = {};
    boxAuthor_ = nullptr;
    boxInfoSeen_ = kNoBoxInfoSeen;
    rateKnob_ = freeRateKnob_ = nullptr;
    infoPanel_ = nullptr;
    settingsPanel_ = nullptr;
    aboutBox_ = nullptr;
    loop_ = nullptr;
    keyboard_ = nullptr;
    patternView_ = nullptr;
    sceneView_ = nullptr;
    capture_ = pressed_ = hover_ = nullptr;
    textDone_ = nullptr;
    selection_ = {};
    pending_.fetch_xor((infoShown ? kToggleInfo : 0u) | (settingsShown ? kToggleSettings : 0u) |
                      (aboutShown ? kToggleAbout : 0u));
}

BitmapFont& VardoEditor::Font(const FontResource& font) {
    std::size_t i = 0;
    while (i + 1 < kEditorFonts.size() && kEditorFonts[i].xmlNumber != font.xmlNumber) ++i;
    return *fonts_[i];
}

IControl& VardoEditor::Attach(std::unique_ptr<IControl> control, ControlBinding binding, bool restoresDefault) {
    IControl& attached = *control;
    controls_.push_back(std::move(control));
    if (binding.scope != ControlBinding::Scope::kNone) bound_.push_back({&attached, binding, restoresDefault});
    return attached;
}

// --- news from the plug-in ------------------------------------------------------

void VardoEditor::OnTimer() {
    if (!IsBuilt()) return;
    EditorLink& link = port_->News();
    EditorEvent event;
    bool changed = false;
    while (link.Take(event)) {
        HandleEvent(event);
        changed = changed || MayChangeTheEngine(event.kind);
    }
    if (link.DroppedCount() != droppedSeen_) {
        // Some news was lost: read everything again.
        droppedSeen_ = link.DroppedCount();
        refreshPending_.store(true);
    }
    // A change made outside a block (the host, a state, an undo) shows at
    // once, even while the host sends no blocks; the blocks publish the rest.
    if (changed || refreshPending_.load()) port_->RenewSnapshot();
    char status[EditorLink::kStatusLength];
    if (status_ && link.TakeStatus(status)) status_->SetTextFromPlug(status);
    for (IPresetBrowserControl* browser : browsers_)
        if (browser) browser->ShowCurrentName();
    ShowBoxAuthor();
    if (refreshPending_.exchange(false)) RefreshFromPlug();
    FollowSelection();
    ApplyPendingActions();
    DecayNoteIndicators();
    ShowSendOnlyCaptions();
    ShowRateKnob();
    ReadEngineState();
}

void VardoEditor::HandleEvent(const EditorEvent& event) {
    using Kind = EditorEvent::Kind;
    switch (event.kind) {
        case Kind::ParameterChanged:
            ShowParameter(event.index, event.value);
            break;
        case Kind::AreaNoteIn:
            if (event.area >= 0 && event.area < kKeyAreas) noteInTicks_[static_cast<std::size_t>(event.area)] = kNoteInTicks;
            break;
        case Kind::Refresh:
            refreshPending_.store(true);
            break;
        case Kind::ToolAction:
            PerformAction(event.index, event.value);
            break;
        default:
            break;  // the pattern view's news; the selection is read from the model
    }
}

void VardoEditor::ShowParameter(int index, double normalized) {
    for (const BoundControl& b : bound_)
        if (b.control->ParamIdx() == index) b.control->SetValueFromPlug(normalized);
    if (!patternView_) return;
    if (IsStepValue(index)) patternView_->StepChanged();
    if (index == kDrawTool || index == kSelectionTool) ShowTool();
}

void VardoEditor::ShowTool() {
    const auto tool = port_->Value(kSelectionTool) >= 0.5 ? PatternView::Tool::kSelection : PatternView::Tool::kDraw;
    if (patternView_ && patternView_->ShownTool() != tool) patternView_->SetTool(tool);
}

// Every view shows what the model holds, whoever moved it: this editor, the
// host, a learnt controller or the engine.
void VardoEditor::FollowSelection() {
    EditorSelection now;
    port_->Locked([&] {
        const EditorModel& model = port_->Model();
        now = {model.Area(), model.Pattern(), model.Lane()};
    });
    if (now == selection_) return;
    selection_ = now;
    RebindAll();
    // The engine's snapshot of the selection shown before is of no use now.
    if (!engine_.Shows(now.area, now.pattern)) port_->RenewSnapshot();
}

void VardoEditor::RebindAll() {
    for (const BoundControl& b : bound_) {
        const int index = b.binding.Resolve(selection_);
        if (b.control->ParamIdx() != index) b.control->Bind(index);
        if (b.restoresDefault)
            if (const Parameter* p = GetParam(index)) b.control->SetDefaultValue(p->ToNormalized(p->Default()));
    }
    if (patternView_) patternView_->ShowSelection(selection_);
    // Only the shown lane's tab is lit: a note lane's or a controller lane's.
    const bool controllerLane = selection_.lane >= kFirstControllerLane && selection_.lane != kProbLane;
    for (std::size_t family = 0; family < laneTabs_.size(); ++family) {
        if (!laneTabs_[family]) continue;
        laneTabs_[family]->SetHighlightSelected(controllerLane == (family == kControllerLaneTabs));
        laneTabs_[family]->SetDirty(false);
    }
    if (loop_) loop_->SetTarget(selection_.area, selection_.pattern, selection_.lane);
}

void VardoEditor::RefreshFromPlug() {
    for (const BoundControl& b : bound_)
        if (const Parameter* p = b.control->Param()) b.control->SetValueFromPlug(p->Normalized());
    // The view reads its steps from the parameters: a tool's work shows at once.
    if (patternView_) patternView_->StepChanged();
}

void VardoEditor::ReadEngineState() {
    // The engine as the audio thread last published it; a snapshot of
    // another selection waits for the next one.
    port_->TakeSnapshot(engine_);
    if (keyboard_) keyboard_->ShowSlot(engine_.chordNotes, engine_.chordBase);
    if (!engine_.Shows(selection_.area, selection_.pattern)) return;
    const std::size_t shownLane = static_cast<std::size_t>(selection_.lane);
    if (loop_ && shownLane < engine_.lanes.size())
        loop_->ShowLoop(engine_.lanes[shownLane].loopStart, engine_.lanes[shownLane].loopEnd);
    if (sceneView_) {
        sceneView_->SetKeyArea(selection_.area);
        sceneView_->ShowScene({engine_.sceneOn, engine_.sceneIndex, engine_.sceneEnd});
    }
    if (patternView_) {
        std::array<PatternView::LaneLook, PatternView::kLanes> lanes;
        for (std::size_t lane = 0; lane < lanes.size(); ++lane)
            lanes[lane] = {engine_.lanes[lane].loopStart, engine_.lanes[lane].loopEnd, engine_.lanes[lane].on};
        patternView_->ShowLanes(lanes);
    }
}

void VardoEditor::ApplyPendingActions() {
    const unsigned pending = pending_.exchange(0);
    if (pending & kToggleInfo) ToggleInfoPanel();
    if (pending & kToggleSettings) ToggleSettingsPanel();
    if (pending & kToggleAbout) ToggleAbout();
    if (pending & kToggleHeight) ToggleHeight();
    if (pending & kRescale) Rescale();
}

void VardoEditor::ToggleInfoPanel() {
    if (!infoPanel_ || !settingsPanel_) return;
    if (!infoPanel_->IsHidden()) {
        SetHidden(infoPanel_, true);
        return;
    }
    infoPanel_->SetLines(persistence_ ? persistence_->CurrentInfoLines() : ComposeInfoLines({}));
    SetHidden(settingsPanel_, true);
    SetHidden(infoPanel_, false);
}

void VardoEditor::ToggleSettingsPanel() {
    if (!infoPanel_ || !settingsPanel_) return;
    const bool opens = settingsPanel_->IsHidden();
    if (opens) SetHidden(infoPanel_, true);
    SetHidden(settingsPanel_, !opens);
}

void VardoEditor::SetHidden(IControl* control, bool hidden) {
    if (!control || control->IsHidden() == hidden) return;
    control->Hide(hidden);
    pendingArea_ = Union(pendingArea_, control->GetDrawRECT());
    if (hidden && capture_ == control) capture_ = nullptr;
    if (hidden && pressed_ == control) pressClosed_ = true;
}

void VardoEditor::ToggleAbout() {
    if (!aboutBox_->Bitmap().IsValid())
        aboutBox_->SetBitmap(canvas_->LoadIBitmap(image::kAbout.number, image::kAbout.name, image::kAbout.frames));
    SetHidden(aboutBox_, !aboutBox_->IsHidden());
}

void VardoEditor::SetGuiScale(int scale) {
    port_->SetGuiScale(scale);
    scale = port_->GuiScale();
    if (!window_ || !window_->IsOpen() || scale == scale_) return;
    if (port_->RequestEditorSize(kWidth * scale, height_.load() * scale)) pending_.fetch_or(kRescale);
}

void VardoEditor::Rescale() {
    // Every bitmap and font comes again at the new scale; the window follows.
    DropControls();
    BuildControls(port_->GuiScale());
    RefreshFromPlug();
    ApplyPendingActions();  // the panels that were open open again
    if (!window_ || !window_->IsOpen()) return;
    window_->Resize(kWidth, height_.load(), scale_);
    openScale_.store(scale_);
}

void VardoEditor::ToggleHeight() {
    const int height = height_.load() == kFullHeight ? kCompactHeight : kFullHeight;
    height_.store(height);
    if (window_ && window_->IsOpen()) window_->Resize(kWidth, height, scale_);
}

void VardoEditor::DecayNoteIndicators() {
    for (std::size_t area = 0; area < noteIndicators_.size(); ++area) {
        if (!noteIndicators_[area]) continue;
        if (noteInTicks_[area] > 0) --noteInTicks_[area];
        noteIndicators_[area]->SetValueFromPlug(static_cast<double>(noteInTicks_[area]) / kNoteInTicks);
    }
}

void VardoEditor::ShowBoxAuthor() {
    if (!boxAuthor_ || !persistence_) return;
    const uint64_t changes = persistence_->BoxInfoChanges();
    if (changes == boxInfoSeen_) return;
    boxInfoSeen_ = changes;
    boxAuthor_->SetTextFromPlug(persistence_->CurrentBoxInfo().author);
}

void VardoEditor::ShowSendOnlyCaptions() {
    // The two captions share one row: with both switched on it names both.
    const bool sendOnlyCc = port_->Value(kSendCc + selection_.area) >= 0.5;
    const bool triggersCm = port_->Value(kCmTrigger + selection_.area) >= 0.5;
    if (ITextControl* cc = sendOnlyCaptions_[0]) {
        cc->SetTextFromPlug(triggersCm ? kBothCaptions : kSendOnlyCcCaption);
        SetHidden(cc, !sendOnlyCc);
    }
    if (sendOnlyCaptions_[1]) SetHidden(sendOnlyCaptions_[1], !triggersCm || sendOnlyCc);
}

void VardoEditor::ShowRateKnob() {
    // The two rate knobs share one place; the free toggle picks the one shown.
    const bool free = port_->Value(kRateFreeToggle + PatternIndex(selection_.area, selection_.pattern)) >= 0.5;
    SetHidden(rateKnob_, free);
    SetHidden(freeRateKnob_, !free);
}

// --- drawing --------------------------------------------------------------------

IRECT VardoEditor::WholeControlsAround(IRECT area) const {
    // A control is drawn whole or not at all, so the area grows until every
    // visible control it touches lies inside it.
    for (bool grew = true; grew;) {
        grew = false;
        for (const auto& c : controls_) {
            if (c->IsHidden()) continue;
            const IRECT r = c->GetDrawRECT();
            if (r.Intersect(area).Empty()) continue;
            const IRECT grown = Union(area, r);
            if (grown != area) {
                area = grown;
                grew = true;
            }
        }
    }
    return area.Intersect(canvas_->Bounds());
}

IRECT VardoEditor::DirtyArea() {
    std::vector<IRECT> areas;
    DirtyAreas(areas);
    IRECT area;
    for (const IRECT& a : areas) area = Union(area, a);
    return area;
}

void VardoEditor::DirtyAreas(std::vector<IRECT>& areas) {
    areas.clear();
    if (!IsBuilt()) return;
    if (!pendingArea_.Empty()) areas.push_back(pendingArea_);
    for (const auto& c : controls_)
        if (!c->IsHidden() && c->IsDirty()) areas.push_back(c->GetDrawRECT());
    if (areas.size() > kMostDirtyAreas) {
        // Many changes at once (a new pattern shown): one area serves them best.
        IRECT all;
        for (const IRECT& a : areas) all = Union(all, a);
        areas.assign(1, WholeControlsAround(all));
        return;
    }
    // Areas that meet are drawn as one, so that no control is drawn twice in a tick.
    std::vector<IRECT> apart;
    for (const IRECT& dirty : areas) {
        IRECT area = WholeControlsAround(dirty);
        for (auto other = apart.begin(); other != apart.end();) {
            if (other->Intersect(area).Empty()) {
                ++other;
                continue;
            }
            area = WholeControlsAround(Union(area, *other));
            apart.erase(other);
            other = apart.begin();
        }
        if (!area.Empty()) apart.push_back(area);
    }
    areas = std::move(apart);
}

void VardoEditor::DrawArea(const IRECT& requested) {
    if (!IsBuilt()) return;
    const IRECT area = WholeControlsAround(requested);
    if (area.Empty()) return;
    canvas_->DrawBitmap(background_, area, area.L, area.T, nullptr);
    if (patternView_) patternView_->SetDrawArea(area);
    for (const auto& c : controls_) {
        if (c->IsHidden() || c->GetDrawRECT().Intersect(area).Empty()) continue;
        c->Draw(*canvas_);
        c->SetClean();
    }
    if (Union(area, pendingArea_) == area) pendingArea_ = {};
}

IGraphics& VardoEditor::Canvas() {
    BuildControls();
    return *canvas_;
}

// --- the mouse ------------------------------------------------------------------

IControl* VardoEditor::ControlAt(int x, int y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
        if (!(*it)->IsHidden() && (*it)->IsHit(x, y)) return it->get();
    return nullptr;
}

void VardoEditor::OnMouseDown(int x, int y, const IMouseMod& mod) {
    EndGesture();  // a window closed during a drag left it open
    capture_ = pressed_ = ControlAt(x, y);
    pressClosed_ = false;
    // A right click opens a menu, whose items are steps of their own.
    if (capture_ && !mod.R) BeginGesture(*capture_);
    if (capture_) capture_->OnMouseDown(x, y, mod);
    ApplyPendingActions();
}

void VardoEditor::OnMouseUp(int x, int y, const IMouseMod& mod) {
    if (capture_) capture_->OnMouseUp(x, y, mod);
    capture_ = nullptr;
    EndGesture();
    ApplyPendingActions();
}

void VardoEditor::BeginGesture(const IControl& control) {
    port_->BeginEdit();
    gestureOpen_ = true;
    // A host recording the user's edits hears of the touch on the press.
    if (control.ParamIdx() >= 0) port_->TouchParameter(control.ParamIdx());
}

void VardoEditor::EndGesture() {
    if (!std::exchange(gestureOpen_, false)) return;
    port_->EndEdit();
}

void VardoEditor::UndoOrRedo(bool redo) {
    EndGesture();
    port_->UndoOrRedo(redo);
}

bool VardoEditor::OnKeyDown(int x, int y, int key, const IMouseMod& mod) {
    if (!mod.C || key != kKeyZ) return false;
    UndoOrRedo(mod.S);
    return true;
}

void VardoEditor::OnMouseDrag(int x, int y, int dx, int dy, const IMouseMod& mod) {
    if (capture_) capture_->OnMouseDrag(x, y, dx, dy, mod);
}

bool VardoEditor::OnMouseDblClick(int x, int y, const IMouseMod& mod) {
    // When the first click closed what it pressed (the about box, a panel),
    // the second was meant for that, not for what the closing uncovered.
    if (std::exchange(pressClosed_, false)) return false;
    IControl* control = ControlAt(x, y);
    // Captured as a press is, so that its release reaches the control (a
    // momentary button would stay pressed); that release ends the gesture.
    EndGesture();
    capture_ = control;
    if (control) {
        BeginGesture(*control);
        control->OnMouseDblClick(x, y, mod);
    }
    ApplyPendingActions();
    return control != nullptr;
}

bool VardoEditor::OnMouseOver(int x, int y, const IMouseMod& mod) {
    IControl* control = ControlAt(x, y);
    if (hover_ && hover_ != control) hover_->OnMouseOut();
    hover_ = control;
    if (control) control->OnMouseOver(x, y, mod);
    return control != nullptr;
}

void VardoEditor::OnMouseOut() {
    if (hover_) hover_->OnMouseOut();
    hover_ = nullptr;
}

void VardoEditor::OnMouseWheel(int x, int y, const IMouseMod& mod, int notches) {
    if (IControl* control = ControlAt(x, y); control && (control->ParamIdx() >= 0 || control == patternView_)) {
        BeginGesture(*control);
        control->OnMouseWheel(x, y, mod, notches);
        EndGesture();
    }
}

// --- parameters, prompts and menus ---------------------------------------------------

const Parameter* VardoEditor::GetParam(int index) const { return port_->Param(index); }

void VardoEditor::SetParameterFromGUI(int index, double normalized) {
    port_->SetParameterFromGUI(index, normalized);
    // A lane or pattern just chosen is what the next gesture edits.
    FollowSelection();
    ShowHint(index);
}

void VardoEditor::ShowHint(int index) {
    const Parameter* p = GetParam(index);
    const Parameter* gateInSteps = GetParam(kGateLengthInSteps);
    if (!p) return;
    std::string hint = HintText(index, *p, p->ShownValue(), gateInSteps && gateInSteps->Value() >= 0.5);
    if (!hint.empty()) SetStatusText(std::move(hint));
}

void VardoEditor::SetStatusText(std::string text) {
    if (!status_) return;
    status_->SetTextFromPlug(text);
    if (window_ && window_->IsOpen()) window_->Wake();
}

void VardoEditor::WithEngine(const std::function<void()>& work) { port_->Locked(work); }

const EditorModel& VardoEditor::Model() const { return port_->Model(); }

void VardoEditor::SelectSteps(int start, int end) { port_->SelectSteps(start, end); }

void VardoEditor::PromptForValue(IControl& control, int x, int y) {
    const Parameter* p = control.Param();
    if (!p) return;
    if (p->HasDisplayTexts() && !IsNoteParameter(control.ParamIdx())) {
        IPopupMenu menu;
        const int current = static_cast<int>(p->ShownValue());
        for (int v = static_cast<int>(p->Minimum()); v <= static_cast<int>(p->Maximum()); ++v)
            menu.AddItem(p->DisplayText(v), v, v == current ? IPopupMenu::kChecked : IPopupMenu::kNoFlags);
        if (const IPopupChoice choice = ShowMenu(menu, control.PromptRECT(x, y))) {
            control.SetValue(p->ToNormalized(choice.Item().tag));
            control.SetDirty(true);
        }
        return;
    }
    if (!window_ || !window_->IsOpen()) return;
    // Note names for notes; numbers for everything without display texts.
    const bool noteOrWhole = IsNoteParameter(control.ParamIdx()) || p->Kind() != ParamKind::Double;
    const auto filter = noteOrWhole ? IsNoteNameCharacter : IsDecimalCharacter;
    textDone_ = [this, &control](bool committed, const std::string& text) {
        if (committed) control.SetValueFromText(text);
    };
    constexpr int kMaxEntryLength = 16;
    window_->OpenTextEntry(control.PromptRECT(x, y), control.TextStyle(), p->DisplayText(), kMaxEntryLength, filter);
}

void VardoEditor::AskForText(const IRECT& rect, const std::string& text, int maxLength, TextDone done) {
    textDone_ = std::move(done);
    if (window_ && window_->IsOpen())
        window_->OpenTextEntry(rect, IText{}, text, maxLength);
}

void VardoEditor::OnTextEntryDone(bool committed, const std::string& text) {
    // Taken first: what it does may ask for the next field.
    if (TextDone done = std::exchange(textDone_, nullptr)) done(committed, text);
}

IPopupChoice VardoEditor::ShowMenu(const IPopupMenu& menu, const IRECT& under) {
    if (window_ && window_->IsOpen()) return window_->ShowPopupMenu(menu, under);
    return menuPresenter_ ? menuPresenter_(menu, under.L, under.B) : IPopupChoice{};
}

void VardoEditor::AddHistoryItems(IPopupMenu& menu) {
    const bool canUndo = port_->CanUndo();
    const bool canRedo = port_->CanRedo();
    menu.AddItem("Undo", kUndoItem, canUndo ? IPopupMenu::kNoFlags : IPopupMenu::kDisabled);
    menu.AddItem("Redo", kRedoItem, canRedo ? IPopupMenu::kNoFlags : IPopupMenu::kDisabled);
}

void VardoEditor::OpenControlMenu(IControl& control, int x, int y) {
    const Parameter* menuParam = GetParam(control.MenuParamIdx());
    const bool stepMenu = &control == patternView_ || &control == sceneView_;
    if (!menuParam && !stepMenu) return;
    // What the menu acts on is taken now: the selection may move while the menu is open.
    FollowSelection();
    const MenuTarget target = MenuTargetAt(control, x, y);
    IPopupMenu menu;
    if (stepMenu) AddHistoryItems(menu);
    if (menuParam) {
        if (stepMenu) menu.AddSeparator();
        const int controller = port_->LearntController(target.parameter);
        for (int v = static_cast<int>(menuParam->Minimum()); v <= static_cast<int>(menuParam->Maximum()); ++v)
            menu.AddItem(MidiLearn::MenuItemText(menuParam->DisplayText(v), controller), v);
    }
    const IPopupChoice choice = ShowMenu(menu, control.PromptRECT(x, y));
    if (!choice) return;
    if (const int item = choice.Item().tag; item == kUndoItem || item == kRedoItem) {
        UndoOrRedo(item == kRedoItem);
        return;
    }
    port_->ChooseFromMenu(target, control.MenuParamIdx(), menuParam->ToNormalized(choice.Item().tag));
}

MenuTarget VardoEditor::MenuTargetAt(const IControl& control, int x, int y) const {
    MenuTarget target{control.MenuParameterAt(x, y), selection_.area, selection_.pattern, selection_.lane};
    // A key area or pattern button's menu is for the button clicked, which stays unselected.
    const int button = control.ButtonAt(x, y);
    if (button < 0) return target;
    if (control.ParamIdx() == kKeyAreaSelection) {
        target.area = button;
        target.pattern = static_cast<int>(port_->Param(kKeyAreaPatterns + button)->ShownValue());
    } else if (control.ParamIdx() == kKeyAreaPatterns + selection_.area) {
        target.pattern = button;
    }
    return target;
}

std::unique_ptr<PluginEditor> MakeVardoEditor(std::unique_ptr<EditorPort> port, PluginPersistence* persistence) {
    return std::make_unique<VardoEditor>(std::move(port), persistence);
}

}  // namespace sorel
