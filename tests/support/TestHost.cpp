#include "support/TestHost.h"

#include <cmath>

#include <cstring>
#include <ctime>
#include <stdexcept>

namespace sorel::test {
namespace {

// Stale non-zero samples, so that a replacing call that writes nothing shows.
constexpr float kStale = 0.25f;

template <typename Sample>
bool AllEqual(const Sample* samples, int frames, Sample value) {
    return std::all_of(samples, samples + frames, [&](Sample s) { return s == value; });
}

}  // namespace

std::chrono::nanoseconds ThreadCpuTime() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The module stays loaded: a loader thread of the plug-in may still be
// finishing, and unloading only tests the dynamic loader.
VSTPluginMainProc LoadModuleEntry(const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<host::PluginModule>> loaded;
    std::lock_guard lock(mutex);
    auto& module = loaded[path];
    if (!module) module = host::PluginModule::open(path, error);
    return module ? module->entry() : nullptr;
}

TestHost::TestHost(const std::string& modulePath) {
    std::string error;
    entry_ = LoadModuleEntry(modulePath, error);
    if (!entry_) throw std::runtime_error(error);
}

bool TestHost::CreateAndOpen(int blockSize) {
    std::string error;
    plugin_ = host::HostedPlugin::create(host::PluginModule::linked(entry_, "plug-in under test"), error, this);
    if (!plugin_) return false;
    if (transport.sampleRate != plugin_->sampleRate()) plugin_->setSampleRate(transport.sampleRate);
    if (blockSize != plugin_->maxBlockSize()) plugin_->setMaxBlockSize(blockSize);
    plugin_->reserveFrames(kMaxFrames);
    plugin_->resume();
    return true;
}

intptr_t TestHost::Deliver(const VstEvents* events) {
    Locked([&] {
        if (!events) return;
        VstEvent* const* entries = events->events;  // longer than the declared two
        for (int i = 0; i < events->numEvents; ++i)
            if (const VstEvent* event = entries[i]; event && event->type == kVstMidiType)
                ShowHostNotes(*reinterpret_cast<const VstMidiEvent*>(event));
    });
    return Dispatch(effProcessEvents, 0, 0, const_cast<VstEvents*>(events));
}

std::chrono::nanoseconds TestHost::ProcessBlock(int frames, ProcessEntry entry) {
    Locked([&] {
        for (const VstMidiEvent& event : queued_) ShowHostNotes(event);
    });
    plugin_->sendEvents(queued_);
    queued_.clear();
    // A hostile host may ask for a negative number of frames; its buffers are empty.
    const int length = std::max(frames, 0);
    plugin_->reserveFrames(length);
    for (int c = 0; c < plugin_->outputCount(); ++c) {
        if (entry == ProcessEntry::DoubleReplacing)
            std::fill_n(plugin_->doubleOutput(c), length, kStale);
        else
            std::fill_n(plugin_->output(c), length, kStale);
    }
    Locked([&] { checker_.BeginBlock(frames); });
    const auto start = ThreadCpuTime();
    plugin_->process(frames, entry);
    const auto took = ThreadCpuTime() - start;
    const bool silent = Silent(entry, length);
    Locked([&] { checker_.InspectSilence(silent), checker_.EndBlock(); });
    ++blockCount_;
    if (transport.playing) transport.samplePos += length;
    return took;
}

bool TestHost::Silent(ProcessEntry entry, int frames) {
    // Adding silence leaves what was there.
    const float expected = entry == ProcessEntry::Accumulating ? kStale : 0.0f;
    for (int c = 0; c < plugin_->outputCount(); ++c)
        if (entry == ProcessEntry::DoubleReplacing ? !AllEqual(plugin_->doubleOutput(c), frames, 0.0)
                                                   : !AllEqual(plugin_->output(c), frames, expected))
            return false;
    return true;
}

std::string TestHost::Faults() {
    return WithChecker([](const MidiOutChecker& c) {
        std::string text;
        for (const std::string& fault : c.FaultTexts()) text += fault + "; ";
        return text;
    });
}

const VstTimeInfo* TestHost::timeInfo(VstInt32) {
    // Each thread reads its own copy, valid until its next query.
    thread_local VstTimeInfo info;
    std::lock_guard<std::mutex> lock(mutex_);
    if (rawTime_ ? !answersTime_ : !transport.answersTime) return nullptr;
    if (rawTime_) return &(info = time_);
    info = VstTimeInfo{};
    info.samplePos = transport.samplePos;
    info.sampleRate = transport.sampleRate;
    const double samplesPerBeat = transport.sampleRate * 60.0 / (transport.tempo > 0 ? transport.tempo : 120.0);
    info.ppqPos = transport.samplePos / samplesPerBeat + transport.ppqShift;
    if (transport.ppqTicksPerBeat > 0)
        info.ppqPos = std::round(info.ppqPos * transport.ppqTicksPerBeat) / transport.ppqTicksPerBeat;
    info.timeSigNumerator = 4;
    info.timeSigDenominator = 4;
    info.flags = (transport.playing ? kVstTransportPlaying : 0) | (transport.loopEnabled ? kVstTransportCycleActive : 0);
    if (transport.reportsTempo) {
        info.tempo = transport.tempo;
        info.barStartPos = 4.0 * static_cast<int>(info.ppqPos / 4.0);
        info.cycleStartPos = transport.cycleStartPpq;
        info.cycleEndPos = transport.cycleEndPpq;
        info.flags |= kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    }
    return &info;
}

void TestHost::receiveEvents(const VstEvents* list) {
    std::lock_guard<std::mutex> lock(mutex_);
    checker_.Inspect(list);
    if (!list || !recording_) return;
    VstEvent* const* entries = list->events;  // longer than the declared two
    for (int i = 0; i < list->numEvents; ++i) {
        if (!entries[i] || entries[i]->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(entries[i]);
        sent_.push_back({checker_.InBlock() ? checker_.Block() : -1, midi->deltaFrames,
                         static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
                         static_cast<uint8_t>(midi->midiData[2])});
    }
}

std::optional<VstIntPtr> TestHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt) {
    std::lock_guard<std::mutex> lock(mutex_);
    ++callCounts_[opcode];
    if (opcode == audioMasterAutomate) automated_.emplace_back(index, opt);
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit ||
        opcode == audioMasterUpdateDisplay)
        editCalls_.push_back({opcode, index, opt, std::this_thread::get_id()});
    if (opcode == audioMasterSizeWindow) return acceptsEditorSize.load() ? 1 : 0;
    if (opcode != audioMasterGetProductString || !ptr) return std::nullopt;
    const size_t length = std::min<size_t>(product_.size(), kVstMaxProductStrLen - 1);
    std::memcpy(ptr, product_.data(), length);
    static_cast<char*>(ptr)[length] = 0;
    return 1;
}

}  // namespace sorel::test
