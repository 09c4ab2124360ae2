#include "soak/SoakPlugin.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <map>

namespace sorel::soak {
namespace {

constexpr VstIntPtr kHostVstVersion = 2400;
constexpr VstIntPtr kHostVendorVersion = 10000;

std::mutex gRegistryMutex;
std::map<const AEffect*, SoakPlugin*> gPlugins;
// The plug-in may call back before its entry has returned the AEffect.
thread_local SoakPlugin* gCreating = nullptr;

SoakPlugin* PluginFor(const AEffect* effect) {
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    const auto it = gPlugins.find(effect);
    return it != gPlugins.end() ? it->second : gCreating;
}

VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (opcode == audioMasterVersion) return kHostVstVersion;
    SoakPlugin* plugin = PluginFor(effect);
    return plugin ? plugin->OnHostCall(opcode, index, value, ptr, opt) : 0;
}

template <typename Sample>
bool AllZero(const std::vector<Sample>& samples, int frames) {
    return std::all_of(samples.begin(), samples.begin() + frames, [](Sample s) { return s == Sample(0); });
}

}  // namespace

Module::Module(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* error = dlerror();
        error_ = error ? error : "dlopen failed";
        return;
    }
    entry_ = reinterpret_cast<VSTPluginMainProc>(dlsym(handle_, "VSTPluginMain"));
    if (!entry_) error_ = "no VSTPluginMain in " + path;
}

// The module stays loaded: a loader thread of the plug-in may still be
// finishing, and unloading only tests the dynamic loader.
Module::~Module() = default;

SoakPlugin::SoakPlugin(VSTPluginMainProc entry, double sampleRate, int blockSize) {
    for (auto& channel : floatOut_) channel.assign(kMaxFrames, 0.0f);
    for (auto& channel : doubleOut_) channel.assign(kMaxFrames, 0.0);
    time_.sampleRate = sampleRate;
    time_.tempo = 120.0;
    time_.timeSigNumerator = time_.timeSigDenominator = 4;
    time_.flags = kVstTempoValid | kVstPpqPosValid | kVstTimeSigValid;
    if (!entry) return;
    gCreating = this;
    AEffect* effect = entry(&HostCallback);
    gCreating = nullptr;
    if (!effect || effect->magic != kEffectMagic || !effect->dispatcher) return;
    {
        std::lock_guard<std::mutex> lock(gRegistryMutex);
        gPlugins[effect] = this;
    }
    effect_ = effect;
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
}

SoakPlugin::~SoakPlugin() {
    if (!effect_) return;
    Dispatch(effMainsChanged, 0, 0);
    effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard<std::mutex> lock(gRegistryMutex);
    gPlugins.erase(effect_);
}

intptr_t SoakPlugin::Dispatch(int opcode, int index, intptr_t value, void* ptr, float opt) {
    return effect_ ? effect_->dispatcher(effect_, opcode, index, value, ptr, opt) : 0;
}

void SoakPlugin::SetParameter(int index, float value) {
    if (effect_ && effect_->setParameter) effect_->setParameter(effect_, index, value);
}

float SoakPlugin::GetParameter(int index) {
    return effect_ && effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

std::chrono::nanoseconds SoakPlugin::Process(int frames, ProcessEntry entry) {
    frames = std::clamp(frames, 0, kMaxFrames);
    // Stale non-zero samples, so that a replacing call that writes nothing shows.
    constexpr float kStale = 0.25f;
    for (auto& channel : floatOut_) std::fill(channel.begin(), channel.begin() + frames, kStale);
    for (auto& channel : doubleOut_) std::fill(channel.begin(), channel.begin() + frames, kStale);
    float* floats[2] = {floatOut_[0].data(), floatOut_[1].data()};
    double* doubles[2] = {doubleOut_[0].data(), doubleOut_[1].data()};
    WithChecker([&](MidiOutChecker& c) { c.BeginBlock(frames); return 0; });
    const auto start = std::chrono::steady_clock::now();
    switch (entry) {
        case ProcessEntry::Replacing: effect_->processReplacing(effect_, nullptr, floats, frames); break;
        case ProcessEntry::Accumulating: effect_->process(effect_, nullptr, floats, frames); break;
        case ProcessEntry::DoubleReplacing: effect_->processDoubleReplacing(effect_, nullptr, doubles, frames); break;
    }
    const auto took = std::chrono::steady_clock::now() - start;
    bool silent = true;
    switch (entry) {
        case ProcessEntry::Replacing:
            silent = AllZero(floatOut_[0], frames) && AllZero(floatOut_[1], frames);
            break;
        case ProcessEntry::Accumulating:
            // Adding silence leaves what was there.
            silent = std::all_of(floatOut_[0].begin(), floatOut_[0].begin() + frames, [](float s) { return s == kStale; });
            break;
        case ProcessEntry::DoubleReplacing:
            silent = AllZero(doubleOut_[0], frames) && AllZero(doubleOut_[1], frames);
            break;
    }
    WithChecker([&](MidiOutChecker& c) {
        c.InspectSilence(silent);
        c.EndBlock();
        return 0;
    });
    return std::chrono::duration_cast<std::chrono::nanoseconds>(took);
}

void SoakPlugin::SetTime(const VstTimeInfo& info, bool answers) {
    std::lock_guard<std::mutex> lock(timeMutex_);
    time_ = info;
    answersTime_ = answers;
}

void SoakPlugin::SetProductString(const std::string& product) {
    std::lock_guard<std::mutex> lock(timeMutex_);
    product_ = product;
}

intptr_t SoakPlugin::OnHostCall(int opcode, int index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
        case audioMasterGetTime: {
            // Each thread reads its own copy, valid until its next query.
            thread_local VstTimeInfo answer;
            std::lock_guard<std::mutex> lock(timeMutex_);
            if (!answersTime_) return 0;
            answer = time_;
            return reinterpret_cast<intptr_t>(&answer);
        }
        case audioMasterProcessEvents:
            WithChecker([&](MidiOutChecker& c) {
                c.Inspect(static_cast<const VstEvents*>(ptr));
                return 0;
            });
            return 1;
        case audioMasterGetProductString: {
            if (!ptr) return 0;
            std::lock_guard<std::mutex> lock(timeMutex_);
            const size_t length = std::min<size_t>(product_.size(), kVstMaxProductStrLen - 1);
            std::memcpy(ptr, product_.data(), length);
            static_cast<char*>(ptr)[length] = 0;
            return 1;
        }
        case audioMasterGetVendorVersion:
            return kHostVendorVersion;
        case audioMasterAutomate:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
        case audioMasterUpdateDisplay:
            return 1;
        default:
            return 0;
    }
}

}  // namespace sorel::soak
