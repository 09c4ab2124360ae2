// The plug-in object: the parameter table and the VST 2 binding around the
// arpeggiator engine. It feeds host MIDI and time into the engine, sends
// the engine's notes to the host, passes untaken notes through, and carries
// out MIDI learn, CC teach and panic.
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
#include "frame/CcTeach.h"
#include "frame/EditorActions.h"
#include "frame/EditorLink.h"
#include "frame/NoteMarks.h"
#include "frame/GlobalSettings.h"
#include "frame/HostPositionTracker.h"
#include "frame/MidiLearn.h"
#include "frame/MenuTarget.h"
#include "frame/MidiOutQueue.h"
#include "frame/PassThroughNotes.h"
#include "frame/PersistenceHooks.h"
#include "frame/PluginEditor.h"
#include "frame/SnapshotBoard.h"
#include "frame/SoundingNotes.h"
#include "frame/vst2/IPlugVST.h"

namespace sorel {

class Vardo : public IPlugVST, public ProcessorListener, public EngineNotificationListener {
public:
    static constexpr VstInt32 kUniqueId = 0x32753935;  // "2u95"
    static constexpr VstInt32 kVersion = 10204;         // 1.2.4
    static constexpr double kNeutralVolume = 64.0;

    explicit Vardo(audioMasterCallback host);
    ~Vardo() override;

    // --- for the module's entry, persistence and the editor ---
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
    void SetMenuTarget(const MenuTarget& target) { menuTarget_ = target; }
    // The parameter alone, on the current selection.
    void SetMenuTarget(int parameterIndex);
    void RequestPanic() { panicRequested_ = true; }
    // While set (a preset is being applied) blocks run without the engine.
    void SetEngineSuspended(bool suspended) { engineSuspended_.store(suspended); }
    bool AudioStarted() const { return audioStarted_; }
    double PlayedSamples() const { return playedSamples_; }

    // --- block processing ---
    void HandleMidiMessage(const MidiMessage& message) override;
    void ProcessBlock(int frames) override;
    void Panic();

    // ProcessorListener
    void OnEngineEvents(std::span<NoteRecord> events, int segmentLength) override;
    void OnProcessingState(bool running) override {}
    // EngineNotificationListener
    void OnEngineNotification(int code, int argument, const NoteRecord* record) override;

protected:
    void OnParameterChanged(int index, double value, ChangeSource source) override;
    void ShowInEditor(int index, double normalized) override;
    void OnEditFromGUI(int index, double before, double after) override;
    bool EngineKeepsDefault(int index) const override;
    intptr_t GetChunk(void** data, bool isBank) override;
    bool SetChunk(const void* data, size_t size, bool isBank) override;
    bool GetMidiKeyName(MidiKeyName& key) override;
    PluginEditor* Editor() override { return editor_.get(); }
    // A paste that a learnt controller started on the audio thread begins here.
    void OnIdle() override { actions_->StartWaitingPastes(); }

private:
    struct AudioPathScope;

    void ReadTransport(double& samplePos, double& samplesPerBeat, TimeInfo& info);
    void FillTransportOnce();
    void ServeCcTeach();
    void SendNoteOn(const NoteRecord& record, int offset);
    void SendNoteOff(const NoteRecord& record, int offset);
    void SendControllers(const NoteRecord& record, int offset);
    void PassThroughNoteOn(const MidiMessage& message);
    void HandleNoteOff(const MidiMessage& message);
    void HandleNoteOn(const MidiMessage& message);
    void HandleControlChange(const MidiMessage& message);
    bool HandleControllerInput(int controller, int value);
    bool ClaimedByArea(int channel, int note) const;
    static std::string ControlKeyName(int function);
    int PassThroughNote(int note) const;
    void FlushMidi(int frames);
    void Queue(const MidiMessage& message, int owner = note_owner::kHost, bool urgent = false);

    int SelectedArea() const;
    int SelectedCcEntry() const;
    void RefreshCcTeachSelection();
    void ApplyLock(int lockIndex, bool on);
    void ApplyGlobalSetting(int index, double value);
    void PerformEditorAction(int index, double value);
    bool PerformMenuOrTool(int index, double value);
    void PerformMenu(int index, int choice);
    void FollowTool(int index, double value, bool acted);
    void ToggleParameter(int index);
    void ShowEngineSelection(int index, double plain);
    void ShowEditedValues();

    TransportState transport_;
    EngineContext context_{&transport_};
    std::unique_ptr<VardoApp> app_;
    ParameterReceiver receiver_{&context_};

    MidiOutQueue out_;
    SoundingNotes sounding_;
    std::vector<MidiMessage> wire_;  // what goes to the host in this block
    PassThroughNotes passThrough_;
    HostPositionTracker tracker_;
    MidiLearn learn_{Params()};
    CcTeach teach_;
    StepCcNumbers stepCcNumbers_{};
    EditorLink editorLink_;
    NoteMarks noteMarks_;
    SnapshotBoard snapshots_;
    std::unique_ptr<PluginEditor> editor_;
    std::unique_ptr<PersistenceHooks> persistence_;
    GlobalSettings settings_;
    std::mutex chunkMutex_;  // the buffer handed to the host; the plug-in lock is not held meanwhile
    std::vector<uint8_t> chunk_;

    double globalVolume_ = kNeutralVolume;
    bool transposeAllOutput_ = false;
    bool panicRequested_ = false;
    bool audioStarted_ = false;
    bool inAudioPath_ = false;
    int firstTransportState_ = -1;
    double playedSamples_ = 0.0;
    int blockSkipped_ = 0;  // samples of this block the engine does not see
    std::optional<MenuTarget> menuTarget_;
    std::atomic<bool> engineSuspended_{false};
    // Last: its worker thread stops before anything it writes goes away.
    std::unique_ptr<EditorActions> actions_;
};

}  // namespace sorel
