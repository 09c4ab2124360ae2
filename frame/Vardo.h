// The plug-in core around the arpeggiator engine, for any format's binding:
// it feeds host MIDI and time into the engine, gives the engine's notes back
// to the host, passes untaken notes through, and carries out MIDI learn, CC
// teach and panic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/EngineContext.h"
#include "engine/EngineNotifier.h"
#include "engine/ParameterReceiver.h"
#include "engine/ProcessorListener.h"
#include "engine/TransportState.h"
#include "engine/VardoApp.h"
#include "frame/BlockTransport.h"
#include "frame/CcTeach.h"
#include "frame/editing/EditorActions.h"
#include "frame/editing/EditorLink.h"
#include "frame/EngineNews.h"
#include "frame/NoteMarks.h"
#include "frame/GlobalSettings.h"
#include "frame/HostGesture.h"
#include "frame/HostValueWatch.h"
#include "frame/IPlugBase.h"
#include "frame/MidiLearn.h"
#include "frame/editing/MenuTarget.h"
#include "frame/MidiInput.h"
#include "frame/MidiKeyNames.h"
#include "frame/MidiOutput.h"
#include "frame/ParameterRoutes.h"
#include "frame/PassThroughNotes.h"
#include "frame/PersistenceHooks.h"
#include "frame/PluginEditor.h"
#include "frame/PluginHost.h"
#include "frame/SnapshotBoard.h"

namespace sorel {

class Vardo : public IPlugBase, public ProcessorListener, public EngineNotificationListener {
public:
    static constexpr int32_t kUniqueId = 0x32753935;  // "2u95"
    static constexpr int32_t kVersion = 10204;         // 1.2.4
    static constexpr double kNeutralVolume = MidiOutput::kNeutralVolume;

    explicit Vardo(PluginHost& host);
    ~Vardo() override;

    // --- for the module's assembly, persistence and the editor ---
    void SetPersistenceHooks(std::unique_ptr<PersistenceHooks> hooks);
    void SetEditor(std::unique_ptr<PluginEditor> editor);
    // Applies the seven settings' effects in the engine and the frame and
    // shows them on their parameters.
    void ApplyGlobalSettings(const GlobalSettings& settings);
    const GlobalSettings& Settings() const { return settings_; }
    // The editor's scale (1 or 2), kept with the global settings; the editor
    // takes it when it opens. Any thread; the setter keeps it in the settings
    // file through persistence's own thread.
    int GuiScale();
    void SetGuiScale(int scale);
    bool RequestEditorSize(int width, int height) { return host_.RequestEditorSize(width, height); }

    EngineContext& Context() { return context_; }
    VardoApp& App() { return *app_; }
    TransportState& Transport() { return transport_; }
    StepCcNumbers& CcNumbers() { return stepCcNumbers_; }
    MidiLearn& Learn() { return learn_; }
    EditorLink& Link() { return editorLink_; }
    const NoteMarks& Marks() const { return noteMarks_; }
    // What the editor shows of the engine, published at the end of each block.
    SnapshotBoard& Snapshots() { return snapshots_; }
    // The editor's model and the actions that change the engine (see EditorActions.h).
    EditorActions& Actions() { return *actions_; }
    const EditorModel& Model() const { return actions_->Model(); }
    // What the next menu choice acts on: "MIDI learn", "MIDI unlearn" and
    // "Copy to all" (the step's value) act on its parameter, every item on its
    // key area, pattern and lane. Used by that one choice; a menu parameter
    // set without it acts on the current selection.
    void SetMenuTarget(const MenuTarget& target) { routes_.SetMenuTarget(target); }
    // The parameter alone, on the current selection.
    void SetMenuTarget(int parameterIndex) { routes_.SetMenuTarget(parameterIndex); }
    void RequestPanic() { panicRequested_ = true; }
    // The next block ends every note the key areas started; the keys still
    // held play on in what the engine plays next, and the engine's own late
    // note-offs of the ended notes end nothing.
    void RequestEndOfNotes() { endOfNotesRequested_ = true; }
    // While set (a preset is being applied) blocks run without the engine.
    void SetEngineSuspended(bool suspended) { engineSuspended_.store(suspended); }
    bool AudioStarted() const { return audioStarted_; }
    double PlayedSamples() const { return playedSamples_; }

    // PluginCore
    const PluginIdentity& Identity() const override;
    void HandleMidiMessage(const MidiMessage& message) override;
    std::span<const MidiMessage> ProcessBlock(int frames, const TimeInfo& time) override;
    intptr_t GetState(void** data, bool isBank) override;
    bool SetState(const void* data, size_t size, bool isBank) override;
    int ProgramCount() const override { return persistence_ ? persistence_->ProgramCount() : 0; }
    std::string ProgramLabel(int index, size_t maxLength) const override {
        return persistence_ ? persistence_->ProgramLabel(index, maxLength) : std::string{};
    }
    bool HasEditor() const override { return editor_ != nullptr; }
    bool OpenEditor(void* parentWindow) override { return editor_ && editor_->OpenWindow(parentWindow); }
    void CloseEditor() override {
        if (editor_) editor_->CloseWindow();
    }
    bool EditorSize(int& width, int& height) const override;
    uint64_t EditorWindow() const override { return editor_ ? editor_->WindowId() : 0; }
    // A paste that a learnt controller started on the audio thread begins
    // here, and the host hears of values that changed without it.
    void Idle() override {
        actions_->StartWaitingPastes();
        TellHostOfChangedValues();
    }
    // Asks the host to read its parameters again where any changed without
    // it since it last heard (takes the lock; never on the audio thread).
    void TellHostOfChangedValues();
    // The editor's gesture, as the host records it (each takes the lock).
    void BeginGesture();
    void TouchInGesture(int index);
    void EndGesture();
    void SetParameterFromHost(int index, double normalized) override;
    void SetParameterFromHostText(int index, double plain) override;
    void HandDeferredWorkToHost() override {
        if (persistence_) persistence_->HandDeferredWorkToHost();
    }
    bool HasDeferredWork() const override { return persistence_ && persistence_->HasDeferredWork(); }
    void RunDeferredWork() override {
        if (persistence_) persistence_->RunDeferredWork();
    }
    bool KeyName(int note, std::string& name) override {
        return settings_.enableMidiNoteNames && keyNames_.NameOf(note, *app_, name);
    }

    void Panic();
    void EndNotes();

    // ProcessorListener
    void OnEngineEvents(std::span<NoteRecord> events, int segmentLength) override;
    void OnProcessingState(bool running) override {}
    // EngineNotificationListener
    void OnEngineNotification(int code, int argument, const NoteRecord* record) override {
        news_.Pass(code, argument, record);
    }

protected:
    void OnParameterChanged(int index, double value, ChangeSource source) override {
        routes_.OnParameterChanged(index, value, source);
    }
    void ShowInEditor(int index, double normalized) override { routes_.ShowInEditor(index, normalized); }
    void OnEditFromGUI(int index, double before, double after) override { routes_.OnEditFromGUI(index, before, after); }
    bool EngineKeepsDefault(int index) const override;
    bool LoadProgram(int index) override { return persistence_ && persistence_->LoadProgram(index); }
    void ReportToHost(int index, double normalized) override;

private:
    struct AudioPathScope;
    // The concerns of the plug-in, each in its own room, reach back for the
    // parameter side.
    friend class ParameterRoutes;
    friend class MidiInput;
    friend class EngineNews;

    int SelectedArea() const;
    int SelectedCcEntry() const;
    void RefreshCcTeachSelection();
    // Every parameter change takes its route (see ParameterRoutes.h).
    void ApplyGlobalSetting(int index, double value) { routes_.ApplyGlobalSetting(index, value); }
    void ToggleParameter(int index) { routes_.ToggleParameter(index); }
    void ShowEngineSelection(int index, double plain) { routes_.ShowEngineSelection(index, plain); }
    void ShowEditedValues() { routes_.ShowEditedValues(); }

    PluginHost& host_;
    TransportState transport_;
    EngineContext context_{&transport_};
    std::unique_ptr<VardoApp> app_;
    ParameterReceiver receiver_{&context_};

    PassThroughNotes passThrough_;
    StepCcNumbers stepCcNumbers_{};
    double globalVolume_ = kNeutralVolume;
    MidiOutput output_{Params(), stepCcNumbers_, passThrough_, globalVolume_};
    MidiInput input_{*this, output_, passThrough_};
    BlockTransport blockTransport_{transport_};
    EngineNews news_{*this};
    MidiKeyNames keyNames_{*context_.controlZone};
    MidiLearn learn_{Params()};
    CcTeach teach_;
    EditorLink editorLink_;
    NoteMarks noteMarks_;
    SnapshotBoard snapshots_;
    std::unique_ptr<PluginEditor> editor_;
    std::unique_ptr<PersistenceHooks> persistence_;
    GlobalSettings settings_;
    std::mutex chunkMutex_;  // the buffer handed to the host; the plug-in lock is not held meanwhile
    std::vector<uint8_t> chunk_;

    bool transposeAllOutput_ = false;
    bool panicRequested_ = false;
    bool endOfNotesRequested_ = false;
    bool audioStarted_ = false;
    bool inAudioPath_ = false;
    double playedSamples_ = 0.0;
    std::atomic<bool> engineSuspended_{false};
    ParameterRoutes routes_{*this};
    HostGesture gesture_{host_, *this};
    HostValueWatch hostValues_;
    // Last: its worker thread stops before anything it writes goes away.
    std::unique_ptr<EditorActions> actions_;
};

}  // namespace sorel
