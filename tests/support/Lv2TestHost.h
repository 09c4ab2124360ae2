// The LV2 host of the tests: lilv loads the bundle from a folder as an
// installed one is found, one instance runs blocks with MIDI and
// time:Position objects in and the MIDI out read back, its control ports are
// moved, its state is saved and restored through its state interface and
// presets are loaded as a host's preset menu loads them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

namespace sorel::test {

// What a host says of its transport in one position object; left-out keys
// are not sent.
struct Lv2Position {
    std::optional<int64_t> frame;
    std::optional<float> speed;
    std::optional<float> beatsPerMinute;
    std::optional<int64_t> bar;
    std::optional<float> barBeat;
    std::optional<float> beatsPerBar;
    std::optional<int32_t> beatUnit;
};

struct Lv2Midi {
    int64_t frame;  // within the block
    uint8_t status, data1, data2;
    bool operator==(const Lv2Midi&) const = default;
};

class Lv2TestHost {
public:
    static constexpr uint32_t kDefaultOutputBytes = 8192;

    // The folder that holds Sorel.lv2, from SOREL_LV2_PATH; the plug-in by its URI.
    // With a worker the host offers work:schedule and runs the work in RunWork.
    explicit Lv2TestHost(double sampleRate = 48000.0, uint32_t outputBytes = kDefaultOutputBytes,
                         bool offersWorker = false);
    ~Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    bool Loaded() const { return instance_ != nullptr; }
    const LilvPlugin* Plugin() const { return plugin_; }
    LilvWorld* World() const { return world_; }

    // --- one block ---
    void QueueMidi(int64_t frame, uint8_t status, uint8_t data1, uint8_t data2);
    void QueuePosition(int64_t frame, const Lv2Position& position);
    // Runs the block with what was queued; the MIDI that came out.
    std::vector<Lv2Midi> Run(uint32_t frames);
    // The output sequence's size after the last run and whether the bytes
    // beyond the capacity the host gave stayed untouched.
    uint32_t LastOutputSize() const { return lastOutputSize_; }
    bool OutputGuardIntact() const;

    // --- control ports by symbol ---
    void SetControl(const std::string& symbol, float value);
    float Control(const std::string& symbol) const;
    std::vector<std::string> ControlSymbols() const;

    // --- state ---
    // The properties save() stores: key URI -> (type URI, bytes).
    struct Property {
        std::string type;
        std::vector<uint8_t> bytes;
        uint32_t flags = 0;
        bool operator==(const Property&) const = default;
    };
    std::map<std::string, Property> SaveProperties();
    // Hands back properties through restore(); its status.
    int RestoreProperties(const std::map<std::string, Property>& properties);
    // A host's whole snapshot (ports and state) as turtle, and loading one back.
    std::string SnapshotText();
    bool LoadSnapshotText(const std::string& text);
    // The bundle's presets by label, and loading one as a host's menu does.
    std::map<std::string, std::string> Presets();
    bool LoadPreset(const std::string& uri);

    // Runs the work the plug-in scheduled since the last call; how many requests there were.
    int RunWork();

    LV2_URID Map(const char* uri);
    std::string Unmap(LV2_URID urid) const;

private:
    struct ControlPort {
        uint32_t index;
        float value;
    };
    static LV2_URID MapEntry(LV2_URID_Map_Handle handle, const char* uri);
    static const char* UnmapEntry(LV2_URID_Unmap_Handle handle, LV2_URID urid);
    static LV2_Worker_Status ScheduleWork(LV2_Worker_Schedule_Handle handle, uint32_t size, const void* data);
    static void SetPortValue(const char* symbol, void* self, const void* value, uint32_t size, uint32_t type);
    static const void* GetPortValue(const char* symbol, void* self, uint32_t* size, uint32_t* type);
    void AppendInput(int64_t frame, uint32_t type, const void* body, uint32_t size);
    bool RestoreState(LilvState* state);

    double sampleRate_;
    uint32_t outputBytes_;
    // Guards the map: a restore on another thread maps while blocks run.
    mutable std::mutex mapMutex_;
    std::map<std::string, LV2_URID> uris_;
    std::vector<std::string> names_;
    LV2_URID_Map map_{};
    LV2_URID_Unmap unmap_{};
    int32_t minBlock_ = 1, maxBlock_ = 8192, nominalBlock_ = 1024, sequenceSize_;
    // Mapped once: a block maps nothing.
    struct Ids {
        LV2_URID chunk, sequence, midiEvent, position, frame, speed, barBeat, bar, beatUnit, beatsPerBar, bpm;
    } ids_{};
    std::vector<LV2_Options_Option> options_;
    LV2_Worker_Schedule schedule_{};
    std::mutex workMutex_;
    std::vector<std::vector<uint8_t>> work_;
    std::vector<LV2_Feature> featureStore_;
    std::vector<const LV2_Feature*> features_;

    LilvWorld* world_ = nullptr;
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    std::map<std::string, ControlPort> controls_;
    std::vector<uint8_t> event_;    // the input event being built
    std::vector<uint64_t> input_;   // 8-byte aligned
    std::vector<uint64_t> output_;  // capacity plus a guard
    uint32_t lastOutputSize_ = 0;
};

}  // namespace sorel::test
