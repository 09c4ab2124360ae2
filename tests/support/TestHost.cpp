#include "support/TestHost.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <stdexcept>

#include "PluginModule.h"

namespace sorel::test {
namespace {

constexpr VstIntPtr kHostVstVersion = 2400;
constexpr VstIntPtr kHostVendorVersion = 10203;
// Stale non-zero samples, so that a replacing call that writes nothing shows.
constexpr float kStale = 0.25f;

std::mutex gRegistryMutex;
std::map<const AEffect*, TestHost*> gHosts;
// The plug-in may call back before its entry has returned the AEffect.
thread_local TestHost* gCreating = nullptr;

TestHost* HostFor(const AEffect* effect) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    const auto it = gHosts.find(effect);
    return it != gHosts.end() ? it->second : gCreating;
}

VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (opcode == audioMasterVersion) return kHostVstVersion;
    TestHost* host = HostFor(effect);
    return host ? host->OnHostCall(opcode, index, value, ptr, opt) : 0;
}

template <typename Sample>
bool AllEqual(const std::vector<Sample>& samples, int frames, Sample value) {
    return std::all_of(samples.begin(), samples.begin() + frames, [&](Sample s) { return s == value; });
}

}  // namespace

std::string ModulePathFromEnvironment() {
    const char* path = std::getenv("SOREL_MODULE_PATH");
    return path ? path : "";
}

// The module stays loaded: a loader thread of the plug-in may still be
// finishing, and unloading only tests the dynamic loader.
VSTPluginMainProc LoadModuleEntry(const std::string& path, std::string& error) {
    static std::mutex mutex;
    static std::vector<std::unique_ptr<host::PluginModule>> loaded;
    auto module = host::PluginModule::open(path, error);
    if (!module) return nullptr;
    std::lock_guard lock(mutex);
    return loaded.emplace_back(std::move(module))->entry();
}

namespace {
template <typename Keep>
std::vector<SentMidi> Filtered(const std::vector<SentMidi>& sent, Keep keep) {
    std::vector<SentMidi> result;
    std::copy_if(sent.begin(), sent.end(), std::back_inserter(result), keep);
    return result;
}
}  // namespace

std::vector<SentMidi> NoteOns(const std::vector<SentMidi>& sent) {
    return Filtered(sent, [](const SentMidi& m) { return m.IsNoteOn(); });
}
std::vector<SentMidi> NoteOffs(const std::vector<SentMidi>& sent) {
    return Filtered(sent, [](const SentMidi& m) { return m.IsNoteOff(); });
}
std::vector<SentMidi> Controllers(const std::vector<SentMidi>& sent, int number) {
    return Filtered(sent, [number](const SentMidi& m) { return m.IsController(number); });
}

std::string UnendedNotes(const std::vector<SentMidi>& sent) {
    MidiOutChecker checker;
    for (const SentMidi& m : sent) checker.CountNote(m.status, m.data1, m.data2);
    std::string text;
    for (const auto& [channel, key] : checker.Sounding())
        text += "key " + std::to_string(key) + " on channel " + std::to_string(channel) + " never ended; ";
    return text;
}

TestHost::TestHost(const std::string& modulePath) {
    std::string error;
    entry_ = LoadModuleEntry(modulePath, error);
    if (!entry_) throw std::runtime_error(error);
}

TestHost::TestHost(VSTPluginMainProc entry) : entry_(entry) {}

TestHost::~TestHost() { Close(); }

bool TestHost::Create() {
    if (!entry_) return false;
    gCreating = this;
    AEffect* effect = entry_(&HostCallback);
    gCreating = nullptr;
    if (!effect || effect->magic != kEffectMagic || !effect->dispatcher) return false;
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gHosts[effect] = this;
    effect_ = effect;
    return true;
}

bool TestHost::CreateAndOpen(int blockSize) {
    if (!Create()) return false;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(transport.sampleRate));
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
    return true;
}

void TestHost::Close() {
    if (!effect_) return;
    Dispatch(effMainsChanged, 0, 0);
    AEffect* closing = effect_;
    closing->dispatcher(closing, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gHosts.erase(closing);
    effect_ = nullptr;
}

intptr_t TestHost::Dispatch(int opcode, int index, intptr_t value, void* ptr, float opt) {
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

std::string TestHost::DispatchString(int opcode, int index, intptr_t value) {
    char text[512] = {};
    Dispatch(opcode, index, value, text);
    text[sizeof text - 1] = 0;
    return text;
}

void TestHost::SetParameter(int index, float normalized) {
    if (effect_ && effect_->setParameter) effect_->setParameter(effect_, index, normalized);
}

float TestHost::GetParameter(int index) {
    return effect_ && effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

std::vector<uint8_t> TestHost::GetChunk(int which) {
    void* data = nullptr;
    const intptr_t size = Dispatch(effGetChunk, which, 0, &data);
    if (size <= 0 || !data) return {};
    return {static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size};
}

bool TestHost::SetChunk(int which, std::vector<uint8_t> bytes) {
    return Dispatch(effSetChunk, which, static_cast<intptr_t>(bytes.size()), bytes.data()) == 1;
}

bool TestHost::SetParameterText(int index, const std::string& text) {
    std::string copy = text;
    return Dispatch(effString2Parameter, index, 0, copy.data()) == 1;
}

void TestHost::QueueMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = offset;
    event.midiData[0] = static_cast<char>(status);
    event.midiData[1] = static_cast<char>(data1);
    event.midiData[2] = static_cast<char>(data2);
    queued_.push_back(event);
}

std::chrono::nanoseconds TestHost::ProcessBlock(int frames, ProcessEntry entry) {
    if (!queued_.empty()) {
        eventList_.assign(sizeof(VstEvents) + queued_.size() * sizeof(VstEvent*), 0);
        auto* list = reinterpret_cast<VstEvents*>(eventList_.data());
        list->numEvents = static_cast<VstInt32>(queued_.size());
        VstEvent** entries = list->events;  // longer than the declared two
        for (size_t i = 0; i < queued_.size(); ++i) entries[i] = reinterpret_cast<VstEvent*>(&queued_[i]);
        Deliver(list);
        queued_.clear();
    }
    // A hostile host may ask for a negative number of frames; its buffers are empty.
    const int length = std::max(frames, 0);
    for (int c = 0; c < 2; ++c) {
        if (floatOut_[c].size() < size_t(length)) floatOut_[c].resize(std::max(length, kMaxFrames));
        if (doubleOut_[c].size() < size_t(length)) doubleOut_[c].resize(std::max(length, kMaxFrames));
        std::fill(floatOut_[c].begin(), floatOut_[c].begin() + length, kStale);
        std::fill(doubleOut_[c].begin(), doubleOut_[c].begin() + length, kStale);
    }
    float* floats[2] = {floatOut_[0].data(), floatOut_[1].data()};
    double* doubles[2] = {doubleOut_[0].data(), doubleOut_[1].data()};
    WithChecker([&](MidiOutChecker& c) { return c.BeginBlock(frames), 0; });
    const auto start = std::chrono::steady_clock::now();
    switch (entry) {
        case ProcessEntry::Replacing: effect_->processReplacing(effect_, nullptr, floats, frames); break;
        case ProcessEntry::Accumulating: effect_->process(effect_, nullptr, floats, frames); break;
        case ProcessEntry::DoubleReplacing: effect_->processDoubleReplacing(effect_, nullptr, doubles, frames); break;
    }
    const auto took = std::chrono::steady_clock::now() - start;
    const bool silent = Silent(entry, length);
    WithChecker([&](MidiOutChecker& c) { return c.InspectSilence(silent), c.EndBlock(), 0; });
    ++blockCount_;
    if (transport.playing) transport.samplePos += length;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(took);
}

bool TestHost::Silent(ProcessEntry entry, int frames) const {
    switch (entry) {
        case ProcessEntry::Replacing: return AllEqual(floatOut_[0], frames, 0.0f) && AllEqual(floatOut_[1], frames, 0.0f);
        // Adding silence leaves what was there.
        case ProcessEntry::Accumulating: return AllEqual(floatOut_[0], frames, kStale);
        case ProcessEntry::DoubleReplacing: return AllEqual(doubleOut_[0], frames, 0.0) && AllEqual(doubleOut_[1], frames, 0.0);
    }
    return false;
}

void TestHost::SetTime(const VstTimeInfo& info, bool answers) {
    std::lock_guard<std::mutex> lock(timeMutex_);
    rawTime_ = true;
    time_ = info;
    answersTime_ = answers;
}

void TestHost::SetProductString(const std::string& product) {
    std::lock_guard<std::mutex> lock(timeMutex_);
    product_ = product;
}

std::vector<SentMidi> TestHost::Sent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

std::vector<SentMidi> TestHost::SentInBlock(int64_t block) const {
    std::vector<SentMidi> result;
    for (const SentMidi& m : Sent())
        if (m.block == block) result.push_back(m);
    return result;
}

void TestHost::ClearSent() {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.clear();
}

std::string TestHost::Faults() {
    return WithChecker([](const MidiOutChecker& c) {
        std::string text;
        for (const std::string& fault : c.FaultTexts()) text += fault + "; ";
        return text;
    });
}

int TestHost::CallCount(int opcode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = callCounts_.find(opcode);
    return it != callCounts_.end() ? it->second : 0;
}

VstTimeInfo TestHost::TimeFromTransport() const {
    VstTimeInfo info{};
    info.samplePos = transport.samplePos;
    info.sampleRate = transport.sampleRate;
    const double samplesPerBeat = transport.sampleRate * 60.0 / (transport.tempo > 0 ? transport.tempo : 120.0);
    info.ppqPos = transport.samplePos / samplesPerBeat;
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
    return info;
}

intptr_t TestHost::OnHostCall(int opcode, int, intptr_t, void* ptr, float) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++callCounts_[opcode];
    }
    switch (opcode) {
        case audioMasterGetTime: {
            // Each thread reads its own copy, valid until its next query.
            thread_local VstTimeInfo answer;
            std::lock_guard<std::mutex> lock(timeMutex_);
            if (rawTime_ ? !answersTime_ : !transport.answersTime) return 0;
            answer = rawTime_ ? time_ : TimeFromTransport();
            return reinterpret_cast<intptr_t>(&answer);
        }
        case audioMasterProcessEvents: {
            const auto* list = static_cast<const VstEvents*>(ptr);
            std::lock_guard<std::mutex> lock(mutex_);
            checker_.Inspect(list);
            if (!list || !recording_) return 1;
            VstEvent* const* entries = list->events;  // longer than the declared two
            for (int i = 0; i < list->numEvents; ++i) {
                if (!entries[i] || entries[i]->type != kVstMidiType) continue;
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(entries[i]);
                sent_.push_back({checker_.InBlock() ? checker_.Block() : -1, midi->deltaFrames,
                                 static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
                                 static_cast<uint8_t>(midi->midiData[2])});
            }
            return 1;
        }
        case audioMasterGetProductString: {
            if (!ptr) return 0;
            std::lock_guard<std::mutex> lock(timeMutex_);
            const size_t length = std::min<size_t>(product_.size(), kVstMaxProductStrLen - 1);
            std::memcpy(ptr, product_.data(), length);
            static_cast<char*>(ptr)[length] = 0;
            return 1;
        }
        case audioMasterGetVendorString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "Sorel tests");
            return ptr ? 1 : 0;
        case audioMasterGetVendorVersion:
            return kHostVendorVersion;
        case audioMasterSizeWindow:
            return acceptsEditorSize.load() ? 1 : 0;
        case audioMasterGetSampleRate:
            return static_cast<intptr_t>(transport.sampleRate);
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            return 1;
        default:
            return 0;
    }
}

}  // namespace sorel::test
