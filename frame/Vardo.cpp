#include "frame/Vardo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/ChordMemoryBank.h"
#include "engine/ControlZone.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/ScaleState.h"
#include "frame/ActionParameters.h"
#include "frame/HostIdentity.h"
#include "frame/NoteNames.h"

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

Vardo::Vardo(audioMasterCallback host) : IPlugVST(host, kIdentity) {
    stepCcNumbers_.fill(-1);
    // Each queued message becomes at most two on the wire.
    wire_.reserve(2 * MidiOutQueue::kCapacity);
    context_.notifier->SetListener(this);
    if (const resources::Resource* table = resources::FindByName(kChordTableName))
        context_.chordMemory->LoadShapes(table->bytes);
    Params().Use(ParameterLayout::Shared(HostCode(), context_.chordMemory->Shapes()));
    app_ = std::make_unique<VardoApp>(this, &transport_, &context_);
    // A host tool can ask for another sequence of random note picks.
    if (const char* seed = std::getenv(EngineContext::kRandomSeedVariable))
        context_.noteRandom.seed(static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10)));
    actions_ = std::make_unique<EditorActions>(
        *this, *app_, *context_.chordMemory, [this] { ShowEditedValues(); }, [this] { return inAudioPath_; });
    ApplyGlobalSettings(settings_);
    FillTransportOnce();
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
    if (editor_)
        Effect()->flags |= effFlagsHasEditor;
    else
        Effect()->flags &= ~effFlagsHasEditor;
}

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

// --- incoming MIDI ---------------------------------------------------------

void Vardo::HandleMidiMessage(const MidiMessage& incoming) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    AudioPathScope scope(*this);
    // Malformed data never indexes anything. System messages do not travel
    // as short events (system exclusive has its own event type): passed on,
    // a stray 0xF0 would make the instrument swallow what follows.
    if (incoming.status < 0x80 || incoming.status >= 0xF0 || !incoming.HasValidDataBytes()) return;
    MidiMessage message = incoming;
    message.offset = std::clamp(message.offset, 0, std::max(0, BlockSize() - 1));
    switch (message.Kind()) {
        case midi::kNoteOff:
            HandleNoteOff(message);
            break;
        case midi::kNoteOn:
            if (message.data2 == 0)
                HandleNoteOff(message);
            else
                HandleNoteOn(message);
            break;
        case midi::kControlChange:
            HandleControlChange(message);
            break;
        case midi::kProgramChange:
            app_->ProgramChange(message.data1);
            break;
        case midi::kPitchWheel:
            if (!HandleControllerInput(midi::kPitchWheelController, message.data2)) Queue(message);
            break;
        default:
            Queue(message);
            break;
    }
}

void Vardo::HandleNoteOn(const MidiMessage& message) {
    int changedAreas[kKeyAreas] = {-1, -1, -1, -1};
    const int result = app_->NoteOn(message.Channel(), message.data1, message.data2, message.offset, changedAreas);
    if (result < 1) {
        PassThroughNoteOn(message);
    } else if (result > 1) {
        for (int a = 0; a < kKeyAreas; ++a)
            if (changedAreas[a] > 0) editorLink_.AreaNoteIn(a);
    }
}

int Vardo::PassThroughNote(int note) const {
    if (!transposeAllOutput_) return note;
    const PatternEngine* first = app_->Area(0);
    return first ? std::clamp(first->Scale().Quantise(note), 0, 127) : note;
}

void Vardo::PassThroughNoteOn(const MidiMessage& message) {
    MidiMessage sent = message;
    sent.data1 = static_cast<uint8_t>(PassThroughNote(message.data1));
    passThrough_.Remember(message.Channel(), message.data1, sent.data1);
    Queue(sent, message.data1);
}

void Vardo::HandleNoteOff(const MidiMessage& message) {
    const bool taken = app_->NoteOff(message.Channel(), message.data1, message.offset);
    int sentNote = 0;
    if (passThrough_.Take(message.Channel(), message.data1, sentNote)) {
        // The key sounded as played: end exactly the note that went out.
        MidiMessage off = message;
        off.data1 = static_cast<uint8_t>(sentNote);
        Queue(off, message.data1);
        return;
    }
    if (taken || ClaimedByArea(message.Channel(), message.data1)) return;
    MidiMessage off = message;
    off.data1 = static_cast<uint8_t>(PassThroughNote(message.data1));
    Queue(off);
}

bool Vardo::ClaimedByArea(int channel, int note) const {
    for (int a = 0; a < kKeyAreas; ++a) {
        const PatternEngine* area = app_->Area(a);
        if (area && area->Accepts(channel, note)) return true;
    }
    return false;
}

void Vardo::HandleControlChange(const MidiMessage& message) {
    const int controller = message.data1;
    if (controller == midi::kAllNotesOff) {
        panicRequested_ = true;
    } else if (controller >= 1 && controller <= 119) {
        if (!HandleControllerInput(controller, message.data2)) Queue(message);
    }
    // Controller 0 and the channel-mode messages 120..127 are not passed on.
}

bool Vardo::HandleControllerInput(int controller, int value) {
    int target = -1;
    double normalized = 0.0;
    if (!learn_.Route(controller, value, target, normalized)) return false;
    const Parameter* p = GetParam(target);
    if (std::fabs(p->Normalized() - normalized) > 1e-9) {
        SetParameterFromGUI(target, normalized);
        ShowInEditor(target, GetParam(target)->Normalized());
    }
    return true;
}

// --- block processing ------------------------------------------------------

void Vardo::Queue(const MidiMessage& message, int owner, bool urgent) { out_.Add(message, owner, urgent); }

void Vardo::ReadTransport(double& samplePos, double& samplesPerBeat, TimeInfo& info) {
    GetTime(info);
    const double rate = SampleRate() > 0.0 ? SampleRate() : kDefaultSampleRate;
    // No tempo from the host counts as the default tempo, never as 0.
    const double tempo = info.tempo > 0.0 ? info.tempo : TimeInfo::kDefaultTempo;
    samplesPerBeat = rate * 60.0 / tempo;
    samplePos = info.samplePos >= 0.0 ? std::floor(info.samplePos + 0.5) : 0.0;
    transport_.sampleRate = rate;
}

void Vardo::FillTransportOnce() {
    TimeInfo info;
    double samplePos = 0.0, samplesPerBeat = 0.0;
    ReadTransport(samplePos, samplesPerBeat, info);
    transport_.playing = info.transportIsRunning;
    transport_.loopEnabled = info.loopEnabled;
    transport_.loopStartSamples = std::round(std::max(0.0, info.cycleStart * samplesPerBeat));
    transport_.loopEndSamples = info.loopEnabled ? std::round(info.cycleEnd * samplesPerBeat) : -1.0;
    transport_.samplesPerBeat = samplesPerBeat;
    transport_.ppqPosition = std::max(0.0, info.ppqPos);
    transport_.samplePosition = samplePos;
}

void Vardo::ServeCcTeach() {
    int controller = 0, value = 0, channel = 1;
    if (teach_.NextBlock(stepCcNumbers_, controller, value, channel))
        Queue(MidiMessage::ControlChange(controller, value / 127.0, channel, 0));
}

void Vardo::ProcessBlock(int frames) {
    AudioPathScope scope(*this);
    audioStarted_ = true;
    transport_.loopJumped = false;
    ServeCcTeach();
    if (panicRequested_) {
        panicRequested_ = false;
        Panic();
    }

    TimeInfo info;
    double samplePos = 0.0, samplesPerBeat = 0.0;
    ReadTransport(samplePos, samplesPerBeat, info);
    const bool running = info.transportIsRunning;
    const double loopStart = std::max(0.0, std::trunc(info.cycleStart * samplesPerBeat));
    const double loopEnd = info.loopEnabled ? std::trunc(info.cycleEnd * samplesPerBeat) : -1.0;
    const bool inLoopWindow = running && (info.loopEnabled ? samplePos + frames >= loopStart && loopEnd >= samplePos
                                                           : loopEnd < 0.0);
    if (firstTransportState_ < 0) firstTransportState_ = running ? 1 : 0;

    const BlockPlan plan = tracker_.Plan(samplePos, frames, running, info.loopEnabled, loopStart, loopEnd);
    transport_.loopJumped = plan.loopJumped;
    transport_.playing = running;
    transport_.loopEnabled = info.loopEnabled;
    transport_.loopEndSamples = std::round(loopEnd);
    transport_.loopStartSamples = std::round(loopStart);
    transport_.samplesPerBeat = samplesPerBeat;
    transport_.ppqPosition = running ? std::max(0.0, info.ppqPos) : transport_.freeRunningPpq;
    transport_.samplePosition = std::max(0.0, plan.samplePos);

    blockSkipped_ = plan.skipped;
    if (plan.frames > 0 && !engineSuspended_.load(std::memory_order_relaxed)) {
        app_->ProcessBlock(samplesPerBeat, running, plan.frames);
    }
    blockSkipped_ = 0;

    if (running)
        transport_.freeRunningPpq = 0.0;
    else
        transport_.freeRunningPpq += frames / samplesPerBeat;
    if (inLoopWindow) playedSamples_ += frames;
    noteMarks_.Advance(frames, SampleRate());
    FlushMidi(frames);
    if (!engineSuspended_.load(std::memory_order_relaxed)) snapshots_.Publish(*app_, context_.chordMemory.get(), Model());
}

void Vardo::FlushMidi(int frames) {
    if (out_.Empty()) return;
    wire_.clear();
    for (const QueuedMidi& queued : out_.Ordered(frames)) sounding_.Pass(queued, wire_);
    SendMidi(wire_);
    out_.Clear();
}

void Vardo::Panic() {
    for (int channel = 1; channel <= midi::kChannels; ++channel)
        Queue(MidiMessage::ControlChange(midi::kAllNotesOff, 0.0, channel, 0), note_owner::kHost, true);
    // Every note that went out ends in this same block, once: the note-offs
    // of what the engine still knows of them then end nothing and stay here.
    sounding_.ForEach([&](int channel, int note) {
        Queue(MidiMessage::NoteOff(channel, note, 0), note_owner::kPanic, true);
    });
    app_->ReleaseAll();
}

void Vardo::OnEngineEvents(std::span<NoteRecord> events, int segmentLength) {
    for (NoteRecord& record : events) {
        if (record.muted) continue;
        const int offset = Truncate(record.time, 0, 1 << 24) + blockSkipped_;
        if (record.isNoteOn) {
            SendNoteOn(record, offset);
        } else {
            SendNoteOff(record, offset);
        }
    }
}

void Vardo::SendNoteOn(const NoteRecord& record, int offset) {
    // A step's controllers reach the instrument before its note.
    SendControllers(record, offset);
    if (record.onlyCc) return;
    const int velocity = Truncate(record.velocity - (kNeutralVolume - globalVolume_), 1, 127);
    Queue(MidiMessage::NoteOn(std::clamp(record.channel, 1, 16), std::clamp(record.OutputNote(), 0, 127), velocity,
                              offset),
          note_owner::kEngine);
}

void Vardo::SendNoteOff(const NoteRecord& record, int offset) {
    if (record.onlyCc) return;
    const int channel = std::clamp(record.channel, 1, 16);
    const int key = std::clamp(record.OutputNote(), 0, 127);
    int note = key;
    // A held-back key went out through the pass-through: its note-off ends
    // exactly the note that was sent, unless its release already did.
    if (!record.endsHeldBackKey) return Queue(MidiMessage::NoteOff(channel, note, offset), note_owner::kEngine);
    if (passThrough_.Take(channel, key, note)) Queue(MidiMessage::NoteOff(channel, note, offset), key);
}

void Vardo::SendControllers(const NoteRecord& record, int offset) {
    if (record.area < 0 || record.area >= kKeyAreas || record.step < 0 || record.step >= kSteps) return;
    // The switches of the pattern that played the note: the area may have
    // moved on to another pattern before the note goes out.
    const int pattern = std::clamp(record.pattern, 0, kPatternsPerArea - 1);
    for (int lane = 0; lane < kControllerLanes; ++lane) {
        const int controller = stepCcNumbers_[record.area * kControllerLanes + lane];
        if (controller < 0 || controller > 127) continue;
        const int switchIndex = LaneSwitch(record.area, pattern, kFirstControllerLane + lane, record.step);
        if (!SwitchIsOn(switchIndex, Params().Value(switchIndex))) continue;
        const double value = std::clamp(record.ccValues[lane], 0, 127) / 127.0;
        Queue(MidiMessage::ControlChange(controller, value, std::clamp(record.channel, 1, 16), offset));
    }
}

// --- notifications from the engine -----------------------------------------

void Vardo::OnEngineNotification(int code, int argument, const NoteRecord* record) {
    EditorEvent event;
    switch (code) {
        case notify::kShowValue:
        case notify::kStepPlayed:
            if (!record) return;
            event.kind = code == notify::kShowValue ? EditorEvent::Kind::NoteShown : EditorEvent::Kind::StepPlayed;
            event.area = record->area;
            event.step = record->step;
            event.note = record->OutputNote();
            if (code == notify::kShowValue)
                noteMarks_.NoteStarted(record->area, record->step, event.note);
            else
                noteMarks_.NotesReleased(record->area, record->step, event.note);
            break;
        case notify::kRedraw:
            event.kind = EditorEvent::Kind::Redraw;
            break;
        case notify::kSelectCurrentPattern: {
            const PatternEngine* area = app_->Area(argument);
            if (area) ShowEngineSelection(kKeyAreaPatterns + argument, area->CurrentPattern());
            return;
        }
        case notify::kRefresh:
            event.kind = EditorEvent::Kind::Refresh;
            break;
        case notify::kNextPreset:
            if (persistence_) persistence_->NextPreset();
            return;
        case notify::kPreviousPreset:
            if (persistence_) persistence_->PreviousPreset();
            return;
        case notify::kSelectPattern:
            // The control zone has already asked the area for it, at the zone's sync.
            if (argument >= 0 && argument < kPatternsPerArea)
                ShowEngineSelection(kKeyAreaPatterns + SelectedArea(), argument);
            return;
        case notify::kSelectLane:
            if (argument >= 0 && argument < kFirstControllerLane) ShowEngineSelection(kPatternStepMode, argument);
            return;
        case notify::kHold:
            ToggleParameter(kHold + SelectedArea());
            return;
        case notify::kHoldBypass:
            ToggleParameter(kHoldBypass + SelectedArea());
            return;
        case notify::kPanic:
            panicRequested_ = true;
            return;
        case notify::kProgramChange:
            // The key area has already been asked for the pattern; the editor
            // shows that key area with it.
            if (argument < 0 || argument >= kPatterns) return;
            SetParameterValue(kKeyAreaSelection, argument / kPatternsPerArea);
            ShowEngineSelection(kKeyAreaPatterns + argument / kPatternsPerArea, argument % kPatternsPerArea);
            return;
        default:
            return;
    }
    if (editor_) editorLink_.Post(event);
}

// --- chunks and key names --------------------------------------------------

intptr_t Vardo::GetChunk(void** data, bool isBank) {
    if (!persistence_) return 0;
    // Called without the plug-in lock: persistence holds it only while it
    // copies the live state, so that writing the chunk never keeps a block waiting.
    std::lock_guard<std::mutex> chunkLock(chunkMutex_);
    chunk_.clear();
    if (!persistence_->WriteState(chunk_, isBank) || chunk_.empty()) return 0;
    *data = chunk_.data();
    return static_cast<intptr_t>(chunk_.size());
}

bool Vardo::SetChunk(const void* data, size_t size, bool isBank) {
    if (!persistence_ || !data || size == 0) return false;
    // Called without the plug-in lock: persistence takes it for each part it applies.
    if (!persistence_->ReadState(static_cast<const uint8_t*>(data), size, isBank)) return false;
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    if (editor_) editor_->RefreshAll();
    return true;
}

// The name of a control-zone key, from the function the user's assignment gives it.
std::string Vardo::ControlKeyName(int function) {
    if (function >= ControlZone::kFirstPattern && function <= ControlZone::kLastPattern)
        return "Pattern " + std::to_string(function - ControlZone::kFirstPattern + 1);
    const auto& names = ControlZone::Names();
    if (const auto it = names.find(function); it != names.end()) return it->second;
    // The preset keys have no name in the zone's own map: their keywords name them.
    return function == ControlZone::kNone ? std::string() : std::string(ControlZone::KeywordOf(function));
}

bool Vardo::GetMidiKeyName(MidiKeyName& key) {
    if (!settings_.enableMidiNoteNames) return false;
    const int note = key.thisKeyNumber;
    if (note < 0 || note > 127) return false;
    std::string name = ControlKeyName(context_.controlZone->KeyFunction(note));
    std::string areas;
    for (int a = 0; a < kKeyAreas; ++a) {
        const PatternEngine* area = app_->Area(a);
        if (!area || note < area->KeyLow() || note > area->KeyHigh()) continue;
        const int played = note + (area->BaseNote() - area->KeyLow());
        char part[32];
        std::snprintf(part, sizeof part, "T%d %s%d", a + 1, NoteLetter(played), played / 12 - 1);
        if (!areas.empty()) areas += ";";
        areas += part;
    }
    if (!areas.empty()) name = areas;
    if (name.empty()) return false;
    const size_t length = std::min(name.size(), sizeof key.keyName - 1);
    std::memcpy(key.keyName, name.data(), length);
    key.keyName[length] = 0;
    return true;
}

}  // namespace sorel
