#include "frame/Vardo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/ChordMemoryBank.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "frame/ActionParameters.h"

#include "resources/Resources.h"

namespace sorel {

using namespace param;

namespace {

constexpr PluginIdentity kIdentity{"Sorel", "Vardo", "", Vardo::kUniqueId, Vardo::kVersion, 0, 2};
constexpr char kChordTableName[] = "resources/misc/chordmemory.res";

// Buttons that only change what the window shows, and its size switch.
bool IsWindowAction(int index) {
    const ActionParameter* action = FindAction(index);
    return (action && action->performer == ActionPerformer::Editor) || index == kResize;
}

// Menu items, by value.
constexpr int kMenuItemsMost = 4;
constexpr int kMenuLearn = 0;
constexpr int kStepMenuLearn = 1;
constexpr int kStepMenuUnlearn = 2;
constexpr int kStepMenuCopyToAll = 3;
constexpr int kAreaMenuToggleSendCc = 3;
constexpr int kAreaMenuToggleTriggerCm = 4;

int Truncate(double v, int lo, int hi) {
    if (!std::isfinite(v)) return lo;
    return static_cast<int>(std::clamp(std::trunc(v), static_cast<double>(lo), static_cast<double>(hi)));
}

}  // namespace

// Marks the code that runs on the audio path, where editor actions must be
// posted instead of carried out.
struct Vardo::AudioPathScope {
    explicit AudioPathScope(Vardo& v) : vardo(v), previous(v.inAudioPath_) { v.inAudioPath_ = true; }
    ~AudioPathScope() { vardo.inAudioPath_ = previous; }
    Vardo& vardo;
    bool previous;
};

Vardo::Vardo(PluginHost& host) : host_(host) {
    stepCcNumbers_.fill(-1);
    context_.notifier->SetListener(this);
    if (const resources::Resource* table = resources::FindByName(kChordTableName))
        context_.chordMemory->LoadShapes(table->bytes);
    Params().Use(ParameterLayout::Shared(host_.HostCode(), context_.chordMemory->Shapes()));
    app_ = std::make_unique<VardoApp>(this, &transport_, &context_);
    // A host tool can ask for another sequence of random note picks.
    if (const char* seed = std::getenv(EngineContext::kRandomSeedVariable))
        context_.noteRandom.seed(static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10)));
    actions_ = std::make_unique<EditorActions>(
        *this, *app_, *context_.chordMemory, [this] { ShowEditedValues(); }, [this] { return inAudioPath_; });
    ApplyGlobalSettings(settings_);
    TimeInfo time;
    host_.GetTime(time);
    blockTransport_.Fill(time, host_.SampleRate());
}

Vardo::~Vardo() {
    // A preset still being applied goes through the actions: it ends first.
    if (persistence_) persistence_->Shutdown();
    // So does a paste still landing: it ends while the actions are there.
    actions_->StopPastes();
    actions_.reset();
    editor_.reset();
    context_.notifier->SetListener(nullptr);
    app_.reset();
}

void Vardo::SetPersistenceHooks(std::unique_ptr<PersistenceHooks> hooks) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    persistence_ = std::move(hooks);
}

void Vardo::SetEditor(std::unique_ptr<PluginEditor> editor) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    editor_ = std::move(editor);
}

const PluginIdentity& Vardo::Identity() const { return kIdentity; }

// --- parameters ------------------------------------------------------------

void Vardo::ApplyGlobalSettings(const GlobalSettings& settings) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    settings_ = settings;
    settings_.guiScale = ValidGuiScale(settings.guiScale);
    for (const GlobalSettingEntry& setting : kGlobalSettingTable) {
        const double value = settings_.*setting.field ? 1.0 : 0.0;
        GetParam(setting.parameter)->SetValue(value);
        ShowInEditor(setting.parameter, value);
        ApplyGlobalSetting(setting.parameter, value);
    }
}

int Vardo::GuiScale() {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    return settings_.guiScale;
}

void Vardo::SetGuiScale(int scale) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    if (settings_.guiScale == ValidGuiScale(scale)) return;
    settings_.guiScale = ValidGuiScale(scale);
    if (persistence_) persistence_->SaveGlobalSettings(settings_);
}

void Vardo::ApplyGlobalSetting(int index, double value) {
    // Output transposition is the frame's; the engine takes the others, and
    // note names are read when a host asks for them.
    if (index == kTransposeAllOutputNotes) transposeAllOutput_ = value >= 0.5;
    receiver_.ApplyParameter(index, value);
}

int Vardo::SelectedArea() const { return Truncate(Params().Value(kKeyAreaSelection), 0, kKeyAreas - 1); }

int Vardo::SelectedCcEntry() const {
    return SelectedArea() * kControllerLanes + Truncate(Params().Value(kPatternCcSelection), 0, kControllerLanes - 1);
}

void Vardo::RefreshCcTeachSelection() {
    Parameter* selection = GetParam(kCcTeachSelection);
    selection->SetValue(stepCcNumbers_[SelectedCcEntry()] + 1);
    ShowInEditor(kCcTeachSelection, selection->Normalized());
}

void Vardo::ToggleParameter(int index) {
    const Parameter* p = GetParam(index);
    SetParameterValue(index, p->Value() >= 0.5 ? 0.0 : 1.0, ChangeSource::User);
}

void Vardo::ApplyLock(int lockIndex, bool on) {
    auto mark = [&](int first, int count) {
        for (int i = first; i < first + count; ++i) Params().SetKeepOnPresetLoad(i, on);
    };
    constexpr int kStepsOfAllPatterns = kPatterns * kSteps;
    switch (lockIndex) {
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

void Vardo::PerformEditorAction(int index, double value) {
    if (!editor_) return;
    if (inAudioPath_) {
        EditorEvent event;
        event.kind = EditorEvent::Kind::ToolAction;
        event.index = index;
        event.value = value;
        editorLink_.Post(event);
    } else {
        editor_->PerformAction(index, value);
    }
}

void Vardo::SetMenuTarget(int parameterIndex) {
    const EditorModel& model = actions_->Model();
    menuTarget_ = MenuTarget{parameterIndex, model.Area(), model.Pattern(), model.Lane()};
}

// The buttons and menus that change the engine or the plug-in, whoever set
// them and whether or not a window is open.
bool Vardo::PerformMenuOrTool(int index, double value) {
    if (index == kMidiLearnMenu || index == kCopyMenu || index == kCopyCcMenu || index == kResetStepsMenu) {
        PerformMenu(index, Truncate(value, 0, kMenuItemsMost));
        return true;
    }
    if (actions_->Perform(index, value)) return true;
    switch (index) {
        case kPanicTool:
            if (actions_->IsNewPress(index, value)) panicRequested_ = true;
            return true;
        case kBoxLeft:
        case kBoxRight:
            // Persistence's own thread steps through the files.
            if (persistence_ && actions_->IsNewPress(index, value))
                index == kBoxRight ? persistence_->NextPreset() : persistence_->PreviousPreset();
            return true;
        case kCmBoxLeft:
        case kCmBoxRight:
            if (persistence_ && actions_->IsNewPress(index, value))
                index == kCmBoxRight ? persistence_->NextChordBank() : persistence_->PreviousChordBank();
            return true;
        default:
            return false;
    }
}

// A menu item acts on the key area, pattern and lane its menu was opened on:
// the editor's model shows them while the item runs.
void Vardo::PerformMenu(int index, int choice) {
    EditorModel& model = actions_->Model();
    const MenuTarget target = menuTarget_.value_or(MenuTarget{-1, model.Area(), model.Pattern(), model.Lane()});
    menuTarget_.reset();
    const int area = model.Area(), lane = model.Lane(), pattern = model.PatternOf(target.area);
    const auto show = [&model, &target](int a, int p, int l) {
        model.SelectArea(a);
        model.SelectPattern(target.area, p);
        model.SelectLane(l);
    };
    show(target.area, target.pattern, target.lane);
    if (!actions_->Perform(index, choice)) {
        if (index == kMidiLearnMenu && choice == kMenuLearn) learn_.BeginLearn(target.parameter);
        if (index == kMidiLearnMenu && choice != kMenuLearn) learn_.UnlearnAll();
        if (index == kResetStepsMenu && choice == kStepMenuLearn) learn_.BeginLearn(target.parameter);
        if (index == kResetStepsMenu && choice == kStepMenuUnlearn) learn_.UnlearnParameter(target.parameter);
        if (index == kResetStepsMenu && choice == kStepMenuCopyToAll) actions_->CopyStepToAll(target.parameter);
        if (index == kCopyCcMenu && choice == kAreaMenuToggleSendCc) ToggleParameter(kSendCc + target.area);
        if (index == kCopyCcMenu && choice == kAreaMenuToggleTriggerCm) ToggleParameter(kCmTrigger + target.area);
    }
    show(area, pattern, lane);
}

// "Draw tool" and "Selection tool" are a pair: one of them is always on.
void Vardo::FollowTool(int index, double value, bool acted) {
    const bool on = value >= 0.5;
    if (!on && !acted) return;  // a re-applied switch that is off chooses nothing
    const bool selection = (index == kSelectionTool) == on;
    actions_->Model().SelectTool(selection ? EditorModel::Tool::Selection : EditorModel::Tool::Draw);
    if (!acted) return;
    const int other = index == kSelectionTool ? kDrawTool : kSelectionTool;
    GetParam(other)->SetValue(on ? 0.0 : 1.0);
    ShowInEditor(other, GetParam(other)->Normalized());
}

void Vardo::ShowEditedValues() {
    if (!editor_) return;
    EditorEvent event;
    event.kind = EditorEvent::Kind::Refresh;
    editorLink_.Post(event);
}

void Vardo::OnParameterChanged(int index, double value, ChangeSource source) {
    // Actions belong to a change someone made, not to re-applying the table.
    const bool acted = source != ChangeSource::Reapply;
    if (!inAudioPath_) actions_->StartWaitingPastes();
    // The engine plays the value the editor and the host show.
    if (const Parameter* p = GetParam(index)) value = p->ShownValue(value);
    actions_->Follow(index, value);
    if (index == kGlobalVolume) {
        globalVolume_ = value;
    } else if (index == kKeyAreaSelection || index == kPatternCcSelection) {
        RefreshCcTeachSelection();
    } else if (index == kCcTeachSelection) {
        if (acted) stepCcNumbers_[SelectedCcEntry()] = Truncate(value, 0, 128) - 1;
    } else if (index == kCcTeach) {
        if (acted) {
            if (value >= 0.5) {
                const PatternEngine* area = app_->Area(SelectedArea());
                teach_.Start(SelectedCcEntry(), area ? area->MidiOutChannel() : 1);
            } else {
                teach_.Stop();
            }
        }
    } else if (index == kDrawTool || index == kSelectionTool) {
        FollowTool(index, value, acted);
    } else if (acted && PerformMenuOrTool(index, value)) {
        // carried out
    } else if (index >= kLockGate && index <= kLockRate) {
        ApplyLock(index, value >= 0.5);
    } else if (const GlobalSettingEntry* setting = FindGlobalSetting(index)) {
        if (acted) {
            settings_.*setting->field = value >= 0.5;
            ApplyGlobalSetting(index, value);
            // Written by persistence's own thread: neither the audio thread
            // nor a holder of the plug-in lock waits on the file.
            if (persistence_) persistence_->SaveGlobalSettings(settings_);
        }
        return;  // the engine has had it through ApplyGlobalSetting
    } else if (IsWindowAction(index)) {
        if (acted) PerformEditorAction(index, value);
    }
    receiver_.ApplyParameter(index, value);
}

// The steppers are built holding every step default, and every later change
// of a step reaches them through OnParameterChanged: the 54,000 step values
// need no second push when a further instance opens.
bool Vardo::EngineKeepsDefault(int index) const { return ParameterReceiver::IsStepFamily(index); }

// A learnt controller's change comes on the audio thread: not an edit to undo.
void Vardo::OnEditFromGUI(int index, double before, double after) {
    if (actions_ && !inAudioPath_) actions_->RecordEdit(index, before, after);
}

// The parameter that chooses what the editor shows takes the engine's own
// switch, and the model follows it as it follows every change of that
// parameter; the engine is not asked a second time.
void Vardo::ShowEngineSelection(int index, double plain) {
    Parameter* p = GetParam(index);
    if (!p) return;
    const double before = p->Value();
    p->SetValue(plain);
    if (p->Value() != before) ShowInEditor(index, p->Normalized());
    actions_->Follow(index, p->Value());
}

void Vardo::ShowInEditor(int index, double normalized) {
    if (!editor_) return;
    EditorEvent event;
    event.kind = EditorEvent::Kind::ParameterChanged;
    event.index = index;
    event.value = normalized;
    editorLink_.Post(event);
}

// --- block processing ------------------------------------------------------

void Vardo::HandleMidiMessage(const MidiMessage& incoming) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    AudioPathScope scope(*this);
    input_.Handle(incoming, host_.BlockSize());
}

std::span<const MidiMessage> Vardo::ProcessBlock(int frames, const TimeInfo& info) {
    AudioPathScope scope(*this);
    audioStarted_ = true;
    blockTransport_.BeginBlock();
    input_.ServeCcTeach();
    if (panicRequested_) {
        panicRequested_ = false;
        Panic();
    }
    const BlockTiming timing = blockTransport_.Read(info, frames, host_.SampleRate());
    blockTransport_.SetEngineStart(timing.engineStart);
    if (timing.engineFrames > 0 && !engineSuspended_.load(std::memory_order_relaxed)) {
        app_->ProcessBlock(timing.samplesPerBeat, timing.running, timing.engineFrames);
    }
    blockTransport_.SetEngineStart(0);
    blockTransport_.EndBlock(timing, frames);
    if (timing.inLoopWindow) playedSamples_ += frames;
    noteMarks_.Advance(frames, host_.SampleRate());
    return output_.Flush(frames);
}

void Vardo::Panic() {
    output_.QueuePanic();
    app_->ReleaseAll();
}

void Vardo::OnEngineEvents(std::span<NoteRecord> events, int segmentLength) {
    output_.SendEngineEvents(events, blockTransport_.EngineStart());
}

// --- state, editor and key names -------------------------------------------

bool Vardo::EditorSize(int& width, int& height) const {
    if (!editor_) return false;
    editor_->Size(width, height);
    return true;
}

intptr_t Vardo::GetState(void** data, bool isBank) {
    if (!persistence_) return 0;
    // Called without the plug-in lock: persistence holds it only while it
    // copies the live state, so that writing the chunk never keeps a block waiting.
    std::lock_guard<std::mutex> chunkLock(chunkMutex_);
    chunk_.clear();
    if (!persistence_->WriteState(chunk_, isBank) || chunk_.empty()) return 0;
    *data = chunk_.data();
    return static_cast<intptr_t>(chunk_.size());
}

bool Vardo::SetState(const void* data, size_t size, bool isBank) {
    if (!persistence_ || !data || size == 0) return false;
    // Called without the plug-in lock: persistence takes it for each part it applies.
    if (!persistence_->ReadState(static_cast<const uint8_t*>(data), size, isBank)) return false;
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    if (editor_) editor_->RefreshAll();
    return true;
}

}  // namespace sorel
