// The plug-in's persistence: host chunks, pattern presets with their loading
// thread, chord-memory banks and saving. The plug-in object calls it through
// `PersistenceHooks`; the editor through the operations below.
//
// Loading a preset: the file is read, decompressed and parsed on the loading
// thread without the plug-in's lock; the result is applied in short lock
// holds (see StateApplier). One load runs at a time; a request that arrives
// meanwhile replaces any earlier waiting one and runs next, so the browser
// always ends on the preset whose name it shows.
#pragma once

#include <atomic>
#include <condition_variable>
#include <istream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "frame/PersistenceHooks.h"
#include "persistence/ChordMemoryPresetHandler.h"
#include "persistence/PresetHandler.h"
#include "persistence/ProgramList.h"
#include "persistence/StateApplier.h"
#include "persistence/StateChunk.h"

namespace sorel {

class PluginPersistence final : public PersistenceHooks {
public:
    // Creates the data folders and builds both browsers. Nothing here throws
    // when the data folder is unusable: the browsers are then empty.
    explicit PluginPersistence(StateTarget& target);
    // The same, keeping the target for as long as the persistence lives.
    explicit PluginPersistence(std::unique_ptr<StateTarget> target);
    ~PluginPersistence() override;

    // PersistenceHooks
    bool WriteState(std::vector<uint8_t>& chunk, bool isBank) override;
    bool ReadState(const uint8_t* data, size_t size, bool isBank) override;
    // Safe on the audio thread: only records the request for the loading thread.
    void NextPreset() override;
    void PreviousPreset() override;
    void NextChordBank() override;
    void PreviousChordBank() override;
    void Shutdown() override;
    // Safe on the audio thread: the loading thread writes the settings file.
    void SaveGlobalSettings(const GlobalSettings& settings) override;
    int ProgramCount() const override { return programs_.Count(); }
    std::string ProgramLabel(int index, size_t maxLength) const override { return programs_.Label(index, maxLength); }
    bool LoadProgram(int index) override;
    void HandDeferredWorkToHost() override { hostRunsDeferredWork_ = true; }
    bool HasDeferredWork() const override { return HasPendingSteps() || settingsToSave_.load() >= 0; }
    void RunDeferredWork() override;

    PresetHandler& Presets() { return *presets_; }
    ChordMemoryPresetHandler& ChordBanks() { return *chordBanks_; }

    // "Init": the reset alone, nothing loaded.
    void Init();
    // Queues a preset file for the loading thread.
    void RequestPresetLoad(const std::string& path, const std::string& name);
    // Loads on the calling thread.
    bool LoadPresetFile(const std::string& path);
    bool LoadPresetStream(std::istream& stream, const std::string& name);
    bool LoadChordBank(const std::string& path, const std::string& name);

    // Where a user preset of that name and style (0..3) and a user bank of
    // that name are saved; nothing for a name SaveNameProblem refuses.
    std::optional<std::string> UserPresetPath(const std::string& name, int style) const;
    std::optional<std::string> UserChordBankPath(const std::string& name) const;
    // Saves the current state as "<name>.v2z" in the User folder of `style`
    // (0..3), with `info` as its texts; the path, or nothing on failure. The
    // file appears in the browser at once, as the current preset.
    std::optional<std::string> SaveUserPreset(const std::string& name, int style, const BoxInfo& info);
    // Saves the chord memory as "<name>.cmb" in the chord-memory User folder;
    // likewise listed at once, as the current bank.
    std::optional<std::string> SaveUserChordBank(const std::string& name);

    // The texts of the current preset and the info panel's lines made of them.
    BoxInfo CurrentBoxInfo();
    // Grows each time the current preset's texts may have changed.
    uint64_t BoxInfoChanges() const { return boxInfoChanges_.load(); }
    std::vector<InfoLine> CurrentInfoLines() { return ComposeInfoLines(CurrentBoxInfo()); }

    // The current state as a preset file holds it (before compression).
    StateChunk ComposeCurrentPreset();

    bool IsPresetLoading() const { return loading_.load(); }
    // Blocks until no load runs or waits.
    void WaitUntilIdle();

private:
    struct LoadRequest {
        std::string path;
        std::string name;
    };

    void RunLoader();
    bool HasPendingSteps() const { return pendingSteps_.load() != 0 || pendingBankSteps_.load() != 0; }
    // The loading thread's share of the deferred work: all of it unless a host's worker runs it.
    bool LoaderHasDeferredWork() const { return !hostRunsDeferredWork_.load() && HasDeferredWork(); }
    // Steps through the browsers as the audio thread asked (the lock held on entry and exit).
    void TakePendingSteps(std::unique_lock<std::mutex>& lock);
    // Loads the waiting request, if any (likewise).
    void LoadRequested(std::unique_lock<std::mutex>& lock);
    void WritePendingSettings();
    void StartLoaderIfNeeded();
    std::optional<LoadRequest> TakeRequest(std::unique_lock<std::mutex>& lock);
    bool LoadPresetChunk(const StateChunk& chunk, const std::string& name);
    bool ApplyHostState(const StateChunk& chunk, int pos);
    // False when a newer apply superseded this one.
    bool Apply(const StateImage& image, LoadSource source);
    void ShowStateNames(const StateImage& image);

    std::unique_ptr<StateTarget> ownedTarget_;  // none when the caller keeps the target
    StateTarget& target_;
    std::shared_ptr<const std::vector<ParameterRange>> ranges_;  // shared by every instance
    std::unique_ptr<PresetHandler> presets_;
    std::unique_ptr<ChordMemoryPresetHandler> chordBanks_;
    ProgramList programs_;

    // Each apply takes the next number; an older one stops at its next lock
    // hold. (A plain mutex here would deadlock: the host's set-chunk call
    // arrives holding the plug-in lock that a loading apply waits for.)
    std::atomic<uint64_t> applyGeneration_{0};
    std::atomic<uint64_t> boxInfoChanges_{0};

    std::mutex requestMutex_;
    std::condition_variable requestChanged_;
    std::optional<LoadRequest> request_;
    std::atomic<int> pendingSteps_{0};      // preset next/previous from the audio thread
    std::atomic<int> pendingBankSteps_{0};  // chord-bank next/previous, likewise
    std::atomic<int> settingsToSave_{kNoSettingsToSave};  // packed settings waiting for the file
    static constexpr int kNoSettingsToSave = -1;
    std::atomic<bool> loading_{false};
    std::atomic<bool> hostRunsDeferredWork_{false};
    bool stopping_ = false;
    bool workerTakesRequest_ = false;  // under requestMutex_
    std::thread loader_;
};

}  // namespace sorel
