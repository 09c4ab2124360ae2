#include "support/TestHost.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace sorel::test {
namespace {

std::mutex gRegistryMutex;
std::map<AEffect*, TestHost*> gHosts;
thread_local TestHost* gCreating = nullptr;

TestHost* HostFor(AEffect* effect) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    auto it = gHosts.find(effect);
    return it != gHosts.end() ? it->second : nullptr;
}

VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    TestHost* host = effect ? HostFor(effect) : nullptr;
    if (!host) host = gCreating;
    if (opcode == audioMasterVersion) return 2400;
    return host ? host->OnHostCall(opcode, index, value, ptr, opt) : 0;
}

}  // namespace

std::string ModulePathFromEnvironment() {
    const char* path = std::getenv("SOREL_MODULE_PATH");
    return path ? path : "";
}

TestHost::TestHost(std::string modulePath) : modulePath_(std::move(modulePath)) {
    library_ = dlopen(modulePath_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) throw std::runtime_error(std::string("cannot load module: ") + dlerror());
}

TestHost::TestHost(VSTPluginMainProc entry) : entry_(entry) {}

TestHost::~TestHost() {
    Close();
    // The module stays loaded: unloading and reloading it between tests
    // would only test the dynamic loader.
}

bool TestHost::Create(const char* entryName) {
    auto entry = entry_ ? entry_ : reinterpret_cast<VSTPluginMainProc>(dlsym(library_, entryName));
    if (!entry) return false;
    gCreating = this;
    effect_ = entry(&HostCallback);
    gCreating = nullptr;
    if (!effect_) return false;
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gHosts[effect_] = this;
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

void TestHost::SetParameter(int index, float normalized) { effect_->setParameter(effect_, index, normalized); }
float TestHost::GetParameter(int index) { return effect_->getParameter(effect_, index); }

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

void TestHost::ProcessBlock(int frames, bool doublePrecision) {
    if (!queued_.empty()) {
        std::vector<char> storage(sizeof(VstEvents) + queued_.size() * sizeof(VstEvent*));
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = static_cast<VstInt32>(queued_.size());
        for (size_t i = 0; i < queued_.size(); ++i) list->events[i] = reinterpret_cast<VstEvent*>(&queued_[i]);
        Dispatch(effProcessEvents, 0, 0, list);
        queued_.clear();
    }
    currentBlock_ = blockCount_.load();
    // A hostile host may ask for a negative number of frames; its buffers are empty.
    const size_t length = frames > 0 ? static_cast<size_t>(frames) : 0;
    if (doublePrecision) {
        std::vector<std::vector<double>> out(2, std::vector<double>(length, 0.5));
        double* channels[2] = {out[0].data(), out[1].data()};
        effect_->processDoubleReplacing(effect_, nullptr, channels, frames);
        outputs_.assign(2, std::vector<float>(length));
        for (int c = 0; c < 2; ++c)
            for (size_t i = 0; i < length; ++i) outputs_[c][i] = static_cast<float>(out[c][i]);
    } else {
        outputs_.assign(2, std::vector<float>(length, 0.5f));
        float* channels[2] = {outputs_[0].data(), outputs_[1].data()};
        effect_->processReplacing(effect_, nullptr, channels, frames);
    }
    currentBlock_ = -1;
    ++blockCount_;
    if (transport.playing && transport.advanceWhilePlaying) transport.samplePos += static_cast<double>(length);
}

std::vector<SentMidi> TestHost::Sent() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return sent_;
}

std::vector<SentMidi> TestHost::SentInBlock(int block) const {
    std::vector<SentMidi> result;
    for (const SentMidi& m : Sent())
        if (m.block == block) result.push_back(m);
    return result;
}

void TestHost::ClearSent() {
    std::lock_guard<std::mutex> lock(mutex_);
    sent_.clear();
}

int TestHost::CallCount(int opcode) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = callCounts_.find(opcode);
    return it != callCounts_.end() ? it->second : 0;
}

void TestHost::FillTimeInfo() {
    timeInfo_ = VstTimeInfo{};
    timeInfo_.samplePos = transport.samplePos;
    timeInfo_.sampleRate = transport.sampleRate;
    const double samplesPerBeat = transport.sampleRate * 60.0 / (transport.tempo > 0 ? transport.tempo : 120.0);
    timeInfo_.ppqPos = transport.samplePos / samplesPerBeat;
    timeInfo_.timeSigNumerator = 4;
    timeInfo_.timeSigDenominator = 4;
    timeInfo_.flags = (transport.playing ? kVstTransportPlaying : 0) | (transport.loopEnabled ? kVstTransportCycleActive : 0);
    if (transport.reportsTempo) {
        timeInfo_.tempo = transport.tempo;
        timeInfo_.barStartPos = 4.0 * static_cast<int>(timeInfo_.ppqPos / 4.0);
        timeInfo_.cycleStartPos = transport.cycleStartPpq;
        timeInfo_.cycleEndPos = transport.cycleEndPpq;
        timeInfo_.flags |= kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
    }
}

intptr_t TestHost::OnHostCall(int opcode, int index, intptr_t value, void* ptr, float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ++callCounts_[opcode];
    }
    switch (opcode) {
        case audioMasterGetTime:
            if (!transport.answersTime) return 0;
            FillTimeInfo();
            return reinterpret_cast<intptr_t>(&timeInfo_);
        case audioMasterProcessEvents: {
            auto* list = static_cast<VstEvents*>(ptr);
            if (!list) return 0;
            std::lock_guard<std::mutex> lock(mutex_);
            for (int i = 0; i < list->numEvents; ++i) {
                const VstEvent* event = list->events[i];
                if (!event || event->type != kVstMidiType) continue;
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                sent_.push_back({currentBlock_.load(), midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                                 static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2])});
            }
            return 1;
        }
        case audioMasterGetProductString:
            if (ptr) std::strncpy(static_cast<char*>(ptr), productString.c_str(), kVstMaxProductStrLen - 1);
            return ptr ? 1 : 0;
        case audioMasterGetVendorString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "Sorel tests");
            return ptr ? 1 : 0;
        case audioMasterGetVendorVersion:
            return vendorVersion;
        case audioMasterGetSampleRate:
            return static_cast<intptr_t>(transport.sampleRate);
        default:
            return 0;
    }
}

}  // namespace sorel::test
