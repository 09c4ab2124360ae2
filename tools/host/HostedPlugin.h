// One VST 2 plug-in instance seen from the host side: the dispatcher calls a
// host makes, the host callback the plug-in calls back, and block processing
// with silent audio buffers.
#pragma once

#include "HostSession.h"
#include "PluginModule.h"
#include "module/vst2/TableOpcodes.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace sorel::host {

class HostedPlugin {
public:
    static constexpr const char* kHostProductString = "sorel-host";
    static constexpr const char* kHostVendorString = "Vardo";
    static constexpr VstInt32 kHostVendorVersion = 10000;
    static constexpr VstInt32 kSorelUniqueId = 0x32753935;  // "2u95"

    // Loads the module, creates the plug-in and opens it (effOpen).
    static std::unique_ptr<HostedPlugin> load(const std::string& path, std::string& error);
    // Creates and opens the plug-in of a module already at hand; `session`
    // answers from the plug-in's first call on.
    static std::unique_ptr<HostedPlugin> create(std::unique_ptr<PluginModule> module, std::string& error,
                                                HostSession* session = nullptr);
    ~HostedPlugin();
    HostedPlugin(const HostedPlugin&) = delete;
    HostedPlugin& operator=(const HostedPlugin&) = delete;

    const AEffect& effect() const { return *effect_; }
    AEffect& effect() { return *effect_; }
    // A dispatcher call as it is, whatever its arguments.
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // The text a dispatcher call writes into the buffer it is handed.
    std::string dispatchText(VstInt32 opcode, VstInt32 index = 0);
    const std::string& path() const { return module_->path(); }

    // Identity and capabilities, as a host's scanner asks for them.
    std::string effectName();
    std::string vendorString();
    std::string productString();
    VstIntPtr vendorVersion();
    VstIntPtr category();
    VstIntPtr vstVersion();
    VstIntPtr canDo(const std::string& question);
    std::string uniqueIdText() const;

    // Parameters by index. A plug-in that opens its whole table to its own
    // tools (Sorel) is reached there, by table index; any other by the
    // host's parameter index. `namedParameterCount` is how far a search by name looks.
    int namedParameterCount() const;
    bool reachesTable() const { return tableSize_ > 0; }
    std::string parameterName(int index);
    std::string parameterDisplay(int index);
    // The display a normalised value would have; nothing when the plug-in
    // does not tell it.
    std::optional<std::string> parameterDisplayAt(int index, float normalised);
    bool setParameterText(int index, const std::string& text);
    void setParameterNormalised(int index, float value);
    float parameterNormalised(int index);
    // The host's own parameters, as automation sets and reads them.
    void setHostParameter(int index, float value);
    float hostParameter(int index);

    // Hands a state chunk to the plug-in; false when it refuses it.
    bool setChunk(std::vector<uint8_t> data, bool isBank);
    // The plug-in's state as it hands it to a host; empty when it gives none.
    std::vector<uint8_t> getChunk(bool isBank);

    void setSampleRate(double sampleRate);
    void setMaxBlockSize(int frames);
    double sampleRate() const { return sampleRate_; }
    int maxBlockSize() const { return maxBlockSize_; }
    void resume();
    void suspend();

    void setSession(HostSession* session) { session_ = session; }
    // Delivers the block's events (ordered by deltaFrames), then processes
    // `frames` samples (at most the maximum block size) on silent buffers.
    void processBlock(const std::vector<VstMidiEvent>& events, int frames);
    // Hands events over with effProcessEvents.
    void sendEvents(const std::vector<VstMidiEvent>& events);
    enum class ProcessEntry { Replacing, Accumulating, DoubleReplacing };
    // Runs one block through `entry` on the buffers as they are, with the
    // frame count as given; the buffers grow to hold it.
    void process(int frames, ProcessEntry entry);
    // Buffers that hold blocks of `frames`, longer ones than announced included.
    void reserveFrames(int frames) {
        if (frames > bufferFrames_) allocateBuffers(frames);
    }
    int outputCount() const { return std::max(0, effect_->numOutputs); }
    float* output(int channel) { return outputs_[size_t(channel)]; }
    double* doubleOutput(int channel) { return doubleOutputs_[size_t(channel)]; }

    // The editor, as a host's plug-in window drives it. `window` is the X
    // window the editor opens in; the size is in pixels, zero when unknown.
    bool hasEditor() const { return (effect_->flags & effFlagsHasEditor) != 0; }
    std::pair<int, int> editorSize();
    bool openEditor(unsigned long window);
    void idleEditor();
    void closeEditor();
    // Called, on whatever thread the plug-in asks from, when the editor wants a new size.
    using SizeWindowHandler = std::function<bool(int width, int height)>;
    void setSizeWindowHandler(SizeWindowHandler handler) { sizeWindow_ = std::move(handler); }

    struct Token {
        explicit Token() = default;
    };
    HostedPlugin(Token, std::unique_ptr<PluginModule> module);

private:
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    const VstTimeInfo* idleTimeInfo(VstInt32 requestMask);
    std::string tableText(VstInt32 code, int index, float normalised = 0.0f);
    bool create(std::string& error);
    void allocateBuffers(int frames);

    std::unique_ptr<PluginModule> module_;
    AEffect* effect_ = nullptr;
    HostSession* session_ = nullptr;
    int tableSize_ = 0;  // of a plug-in that opens its table to its own tools
    double sampleRate_ = 48000.0;
    int maxBlockSize_ = 512;
    bool resumed_ = false;
    std::atomic<bool> processing_ = false;  // asked by the plug-in from any thread
    SizeWindowHandler sizeWindow_;
    int bufferFrames_ = 0;
    std::vector<std::vector<float>> channelBuffers_;
    std::vector<std::vector<double>> doubleBuffers_;
    std::vector<float*> inputs_;
    std::vector<float*> outputs_;
    std::vector<double*> doubleInputs_;
    std::vector<double*> doubleOutputs_;
    std::vector<VstIntPtr> eventListStorage_;  // a VstEvents header followed by its pointers
    std::vector<VstMidiEvent> eventCopies_;
    VstTimeInfo idleTime_{};
    std::vector<uint8_t> chunk_;  // kept alive while the plug-in may still read it
};

}  // namespace sorel::host
