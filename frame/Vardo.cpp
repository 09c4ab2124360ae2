#include "frame/Vardo.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "engine/ChordMemoryBank.h"
#include "engine/KeyAreaList.h"
#include "engine/PatternEngine.h"
#include "engine/WholeStep.h"
#include "frame/editing/ActionParameters.h"

#include "resources/Resources.h"

namespace sorel {

using namespace param;

namespace {

constexpr PluginIdentity kIdentity{"Sorel", "Vardo", "", Vardo::kUniqueId, Vardo::kVersion, 0, 2};
constexpr char kChordTableName[] = "resources/misc/chordmemory.res";

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
    hostValues_.Renew(*this);
}

void Vardo::ReportToHost(int index, double normalized) {
    hostValues_.Known(HostIndexOfTable(index), normalized);
    gesture_.Report(index, normalized);
}

void Vardo::SetParameterFromHost(int index, double normalized) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    IPlugBase::SetParameterFromHost(index, normalized);
    hostValues_.Known(HostIndexOfTable(index), GetParameterNormalized(index));
}

void Vardo::SetParameterFromHostText(int index, double plain) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    IPlugBase::SetParameterFromHostText(index, plain);
    hostValues_.Known(HostIndexOfTable(index), GetParameterNormalized(index));
}

void Vardo::TellHostOfChangedValues() {
    bool changed = false;
    {
        std::lock_guard<std::recursive_mutex> lock(Mutex());
        changed = hostValues_.Renew(*this);
    }
    // Outside the lock: the host reads the values back at once.
    if (changed) host_.ParameterValuesChanged();
}

void Vardo::BeginGesture() {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    gesture_.Open();
}

void Vardo::TouchInGesture(int index) {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    gesture_.Touch(index);
}

void Vardo::EndGesture() {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    gesture_.Close();
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

int Vardo::SelectedArea() const { return WholeStep(Params().Value(kKeyAreaSelection), 0, kKeyAreas - 1); }

int Vardo::SelectedCcEntry() const {
    return SelectedArea() * kControllerLanes + WholeStep(Params().Value(kPatternCcSelection), 0, kControllerLanes - 1);
}

void Vardo::RefreshCcTeachSelection() {
    Parameter* selection = GetParam(kCcTeachSelection);
    selection->SetValue(stepCcNumbers_[SelectedCcEntry()] + 1);
    ShowInEditor(kCcTeachSelection, selection->Normalized());
}

// The steppers are built holding every step default, and every later change
// of a step reaches them through OnParameterChanged: the 54,000 step values
// need no second push when a further instance opens.
bool Vardo::EngineKeepsDefault(int index) const { return ParameterReceiver::IsStepFamily(index); }

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
        panicRequested_ = endOfNotesRequested_ = false;
        Panic();
    } else if (endOfNotesRequested_) {
        endOfNotesRequested_ = false;
        EndNotes();
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
    if (!engineSuspended_.load(std::memory_order_relaxed)) snapshots_.Publish(*app_, context_.chordMemory.get(), Model());
    return output_.Flush(frames);
}

void Vardo::Panic() {
    output_.QueuePanic();
    app_->ReleaseAll();
}

void Vardo::EndNotes() { output_.QueueEndOfEngineNotes(); }

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
