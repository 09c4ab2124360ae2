#include "persistence/PluginPersistence.h"

#include <Poco/Path.h>

#include <chrono>

#include "persistence/DataFolder.h"
#include "persistence/HostChunk.h"
#include "persistence/PresetFile.h"
#include "persistence/SaveName.h"
#include "persistence/SettingsFile.h"
#include "persistence/StateWriter.h"
#include "persistence/TextLines.h"

namespace sorel {

namespace {

// How often the loading thread looks for next/previous requests and settings
// writes of the audio thread, which must not wake it itself.
constexpr auto kStepPollInterval = std::chrono::milliseconds(20);

// Steps through a browser's files, one file per step, backwards when negative.
void StepThrough(CommonPresetHandler& browser, int steps) {
    for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? browser.Next() : browser.Previous();
}

std::string FirstNonEmpty(std::initializer_list<const std::string*> names) {
    for (const std::string* name : names) {
        if (!name->empty()) return *name;
    }
    return {};
}

}  // namespace

PluginPersistence::PluginPersistence(StateTarget& target) : target_(target), ranges_(target.Ranges()) {
    EnsureDataFolders();
    presets_ = std::make_unique<PresetHandler>(*this);
    chordBanks_ = std::make_unique<ChordMemoryPresetHandler>(*this);
    programs_ = ProgramList::ScanFactory();
    loader_ = std::thread([this] { RunLoader(); });
}

PluginPersistence::PluginPersistence(std::unique_ptr<StateTarget> target) : PluginPersistence(*target) {
    ownedTarget_ = std::move(target);
}

PluginPersistence::~PluginPersistence() { Shutdown(); }

void PluginPersistence::Shutdown() {
    ++applyGeneration_;  // a load in progress stops at its next lock hold
    {
        std::lock_guard lock(requestMutex_);
        stopping_ = true;
    }
    requestChanged_.notify_all();
    if (loader_.joinable()) loader_.join();
    loading_ = false;
    pendingSteps_ = 0;
    pendingBankSteps_ = 0;
    WritePendingSettings();  // a setting changed just before the end is kept all the same
}

void PluginPersistence::SaveGlobalSettings(const GlobalSettings& settings) {
    settingsToSave_.store(PackSettings(settings));
}

void PluginPersistence::WritePendingSettings() {
    int packed = settingsToSave_.load();
    if (packed == kNoSettingsToSave) return;
    WriteSettingsFile(UnpackSettings(static_cast<uint8_t>(packed)));
    // A change made meanwhile stays for the next round.
    settingsToSave_.compare_exchange_strong(packed, kNoSettingsToSave);
}

bool PluginPersistence::WriteState(std::vector<uint8_t>& chunk, bool isBank) {
    try {
        std::string bankName = chordBanks_->CurrentName();
        if (bankName == CommonPresetHandler::kNoName) bankName.clear();
        // Program and bank chunks are the same: the plug-in has no program slots.
        chunk = ComposeHostChunk(CaptureState(target_, bankName));
        return chunk.size() > kHostChunkHeaderSize;
    } catch (const std::exception&) {
        return false;  // out of memory: the host gets no chunk rather than a crash
    }
}

bool PluginPersistence::ReadState(const uint8_t* data, size_t size, bool isBank) {
    if (size > kMaxPresetBytes || (data == nullptr && size > 0)) return false;
    try {
        const auto state = HostChunkState({data, size}, isBank, static_cast<int>(ranges_->size()));
        return state && ApplyHostState(*state, 0);
    } catch (const std::exception&) {
        return false;
    }
}

bool PluginPersistence::ApplyHostState(const StateChunk& chunk, int pos) {
    const auto image = sorel::ReadState(chunk, pos, *ranges_);
    if (!image) {
        TargetLock lock(target_);
        target_.StateApplied();
        return false;
    }
    if (Apply(*image, LoadSource::HostChunk)) ShowStateNames(*image);
    return true;
}

bool PluginPersistence::Apply(const StateImage& image, LoadSource source) {
    const uint64_t mine = ++applyGeneration_;
    const bool applied = ApplyState(target_, image, source, [this, mine] { return applyGeneration_.load() != mine; });
    ++boxInfoChanges_;
    return applied;
}

void PluginPersistence::ShowStateNames(const StateImage& image) {
    presets_->SetCurrentName(image.state.boxInfo.name.empty() ? std::string(CommonPresetHandler::kNoName)
                                                             : image.state.boxInfo.name);
    if (!image.state.chordBankName.empty()) chordBanks_->SetCurrentName(image.state.chordBankName);
}

void PluginPersistence::Init() {
    const StateImage image = ResetImage(*ranges_);
    if (Apply(image, LoadSource::Init)) presets_->SetCurrentName(CommonPresetHandler::kNoName);
}

void PluginPersistence::NextPreset() { pendingSteps_.fetch_add(1); }
void PluginPersistence::PreviousPreset() { pendingSteps_.fetch_sub(1); }
void PluginPersistence::NextChordBank() { pendingBankSteps_.fetch_add(1); }
void PluginPersistence::PreviousChordBank() { pendingBankSteps_.fetch_sub(1); }

void PluginPersistence::RequestPresetLoad(const std::string& path, const std::string& name) {
    {
        std::lock_guard lock(requestMutex_);
        if (stopping_) return;
        request_ = LoadRequest{path, name};
        loading_ = true;
    }
    requestChanged_.notify_all();
}

bool PluginPersistence::LoadProgram(int index) {
    const Program* program = programs_.At(index);
    if (!program) return false;
    RequestPresetLoad(program->path, program->name);
    return true;
}

void PluginPersistence::RunLoader() {
    std::unique_lock lock(requestMutex_);
    while (!stopping_) {
        requestChanged_.wait_for(lock, kStepPollInterval,
                                 [this] {
            return stopping_ || (request_.has_value() && !workerTakesRequest_) || LoaderHasDeferredWork();
        });
        if (stopping_) break;
        if (!hostRunsDeferredWork_.load() && settingsToSave_.load() != kNoSettingsToSave) {
            lock.unlock();
            WritePendingSettings();
            lock.lock();
        }
        if (!hostRunsDeferredWork_.load()) TakePendingSteps(lock);
        if (!workerTakesRequest_) LoadRequested(lock);
    }
}

void PluginPersistence::LoadRequested(std::unique_lock<std::mutex>& lock) {
    if (!request_) {
        loading_ = false;
        return;
    }
    const LoadRequest request = std::move(*request_);
    request_.reset();
    lock.unlock();
    const StateChunk chunk = [&request] {
        StateChunk read;
        ReadFileToChunk(request.path, read);
        return read;
    }();
    LoadPresetChunk(chunk, request.name);
    lock.lock();
    if (!request_) loading_ = false;
}

void PluginPersistence::TakePendingSteps(std::unique_lock<std::mutex>& lock) {
    if (!HasPendingSteps()) return;
    loading_ = true;  // before the steps leave the counters: never idle in between
    const int steps = pendingSteps_.exchange(0);
    const int bankSteps = pendingBankSteps_.exchange(0);
    lock.unlock();
    StepThrough(*presets_, steps);
    StepThrough(*chordBanks_, bankSteps);
    lock.lock();
}

// The host's worker: the settings file, the steps and the preset they chose.
void PluginPersistence::RunDeferredWork() {
    WritePendingSettings();
    std::unique_lock lock(requestMutex_);
    if (stopping_) return;
    // The preset the steps choose is the worker's to load, not the loading thread's.
    workerTakesRequest_ = true;
    TakePendingSteps(lock);
    LoadRequested(lock);
    workerTakesRequest_ = false;
    lock.unlock();
    requestChanged_.notify_all();  // a request made meanwhile by anyone else
}

void PluginPersistence::WaitUntilIdle() {
    while (loading_.load() || HasDeferredWork()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

bool PluginPersistence::LoadPresetFile(const std::string& path) {
    StateChunk chunk;
    ReadFileToChunk(path, chunk);
    return LoadPresetChunk(chunk, {});
}

bool PluginPersistence::LoadPresetStream(std::istream& stream, const std::string& name) {
    const auto bytes = ReadStream(stream, kMaxPresetBytes);
    std::optional<StateChunk> chunk;
    if (bytes) chunk = DecompressPreset({reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()});
    return LoadPresetChunk(chunk.value_or(StateChunk{}), name);
}

bool PluginPersistence::LoadPresetChunk(const StateChunk& chunk, const std::string& name) {
    // Read and parsed here, without the plug-in's lock.
    const PresetHeader header = ReadPresetHeader(chunk);
    auto image = sorel::ReadState(chunk, header.statePos, *ranges_);
    if (!image) {
        TargetLock lock(target_);
        target_.StateApplied();
        return false;
    }
    const std::string stateName = image->state.boxInfo.name;
    // The header's texts are the preset's; the copy inside its state may be stale.
    image->state.boxInfo = header.info;
    target_.SetPresetLoading(true);
    const bool complete = Apply(*image, LoadSource::PresetFile);
    target_.SetPresetLoading(false);
    if (!complete) return false;
    const std::string shown = FirstNonEmpty({&header.info.name, &stateName, &name});
    if (!shown.empty()) presets_->SetCurrentName(shown);
    if (!image->state.chordBankName.empty()) chordBanks_->SetCurrentName(image->state.chordBankName);
    return true;
}

bool PluginPersistence::LoadChordBank(const std::string& path, const std::string& name) {
    const auto bank = ReadChordBankFile(path);
    if (!bank) return false;
    {
        TargetLock lock(target_);
        target_.SetChordMemory(*bank);
        target_.SetParameter(param::kChordMemorySelection, 0.0);
        target_.ParameterChanged(param::kChordMemorySelection);
    }
    if (!name.empty()) chordBanks_->SetCurrentName(name);
    return true;
}

BoxInfo PluginPersistence::CurrentBoxInfo() {
    TargetLock lock(target_);
    return target_.GetBoxInfo();
}

StateChunk PluginPersistence::ComposeCurrentPreset() {
    std::string bankName = chordBanks_->CurrentName();
    if (bankName == CommonPresetHandler::kNoName) bankName.clear();
    return ComposePreset(CaptureState(target_, bankName));
}

std::optional<std::string> PluginPersistence::UserPresetPath(const std::string& name, int style) const {
    if (SaveNameProblem(name, kPresetNameRule) || style < 0 || style >= static_cast<int>(kPresetStyles.size()))
        return std::nullopt;
    const auto presets = GetUserDataFolder(kPresetSubFolder);
    if (!presets) return std::nullopt;
    return JoinFolder(*presets, "User/" + std::string(kPresetStyles[static_cast<size_t>(style)])) + name +
           std::string(kPresetExtension);
}

std::optional<std::string> PluginPersistence::UserChordBankPath(const std::string& name) const {
    if (SaveNameProblem(name, kChordBankNameRule)) return std::nullopt;
    const auto banks = GetUserDataFolder(kChordMemorySubFolder);
    if (!banks) return std::nullopt;
    return JoinFolder(*banks, "User") + name + std::string(kChordBankExtension);
}

std::optional<std::string> PluginPersistence::SaveUserPreset(const std::string& name, int style, const BoxInfo& info) {
    const auto path = UserPresetPath(name, style);
    if (!path || !EnsureFolder(Poco::Path(*path).parent().toString())) return std::nullopt;
    std::string bankName = chordBanks_->CurrentName();
    if (bankName == CommonPresetHandler::kNoName) bankName.clear();
    PluginState state = CaptureState(target_, bankName);
    state.boxInfo = info;
    if (state.boxInfo.name.empty()) state.boxInfo.name = name;
    if (!WritePresetFile(*path, state)) return std::nullopt;
    {
        TargetLock lock(target_);
        target_.SetBoxInfo(state.boxInfo);
    }
    ++boxInfoChanges_;
    presets_->Rescan();
    presets_->SelectSaved(*path, state.boxInfo.name);
    return path;
}

std::optional<std::string> PluginPersistence::SaveUserChordBank(const std::string& name) {
    const auto path = UserChordBankPath(name);
    if (!path || !EnsureFolder(Poco::Path(*path).parent().toString())) return std::nullopt;
    ChordBankData bank;
    {
        TargetLock lock(target_);
        bank = target_.GetChordMemory();
    }
    if (!WriteChordBankFile(*path, bank)) return std::nullopt;
    chordBanks_->Rescan();
    chordBanks_->SelectSaved(*path, name);
    return path;
}

}  // namespace sorel
