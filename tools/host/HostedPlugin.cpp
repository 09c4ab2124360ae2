#include "HostedPlugin.h"

#include <algorithm>
#include <cstring>

namespace sorel::host {
namespace {

constexpr VstInt32 kHostVstVersion = 2400;
constexpr VstIntPtr kProcessLevelUser = 1;
constexpr VstIntPtr kProcessLevelRealtime = 2;
constexpr VstIntPtr kLanguageEnglish = 1;
// Plug-ins write names longer than the published limits; give them room.
constexpr size_t kTextBufferSize = 512;
constexpr size_t kReservedEvents = 4096;

// The plug-in being created calls back before its AEffect is known to us.
thread_local HostedPlugin* pluginUnderConstruction = nullptr;

bool hostCanDo(const char* question) {
    static constexpr const char* kAnswersYes[] = {"sendVstEvents",    "sendVstMidiEvent",    "sendVstTimeInfo",
                                                  "receiveVstEvents", "receiveVstMidiEvent", "acceptIOChanges"};
    for (const char* yes : kAnswersYes)
        if (std::strcmp(question, yes) == 0) return true;
    return false;
}

void copyText(void* destination, const char* text, size_t capacity) {
    if (!destination) return;
    std::strncpy(static_cast<char*>(destination), text, capacity - 1);
    static_cast<char*>(destination)[capacity - 1] = '\0';
}

}  // namespace

HostedPlugin::HostedPlugin(Token, std::unique_ptr<PluginModule> module) : module_(std::move(module)) {
    eventCopies_.reserve(kReservedEvents);
    eventListStorage_.reserve(kReservedEvents + 2);
}

std::unique_ptr<HostedPlugin> HostedPlugin::load(const std::string& path, std::string& error) {
    auto module = PluginModule::open(path, error);
    return module ? create(std::move(module), error) : nullptr;
}

std::unique_ptr<HostedPlugin> HostedPlugin::create(std::unique_ptr<PluginModule> module, std::string& error,
                                                   HostSession* session) {
    auto plugin = std::make_unique<HostedPlugin>(Token{}, std::move(module));
    plugin->session_ = session;
    if (!plugin->create(error)) return nullptr;
    return plugin;
}

bool HostedPlugin::create(std::string& error) {
    pluginUnderConstruction = this;
    AEffect* effect = nullptr;
    try {
        effect = module_->entry()(&HostedPlugin::hostCallback);
    } catch (...) {
        effect = nullptr;
    }
    pluginUnderConstruction = nullptr;
    if (!effect) {
        error = path() + ": VSTPluginMain returned no plug-in";
        return false;
    }
    if (effect->magic != kEffectMagic || !effect->dispatcher) {
        error = path() + ": VSTPluginMain returned a record without the VST 2 magic number";
        return false;
    }
    effect_ = effect;
    effect_->resvd1 = reinterpret_cast<VstIntPtr>(this);
    dispatch(effOpen);
    // Only Sorel is asked: another plug-in may answer unknown codes anyhow.
    if (effect_->uniqueID == kSorelUniqueId)
        tableSize_ = static_cast<int>(std::max<VstIntPtr>(0, dispatch(effVendorSpecific, kTableSize)));
    dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate_));
    dispatch(effSetBlockSize, 0, maxBlockSize_);
    allocateBuffers(maxBlockSize_);
    return true;
}

HostedPlugin::~HostedPlugin() {
    if (!effect_) return;
    suspend();
    dispatch(effClose);
    effect_ = nullptr;
}

VstIntPtr HostedPlugin::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostedPlugin::dispatchText(VstInt32 opcode, VstInt32 index) {
    char text[kTextBufferSize] = {};
    dispatch(opcode, index, 0, text);
    text[kTextBufferSize - 1] = '\0';
    return text;
}

std::string HostedPlugin::effectName() { return dispatchText(effGetEffectName); }
std::string HostedPlugin::vendorString() { return dispatchText(effGetVendorString); }
std::string HostedPlugin::productString() { return dispatchText(effGetProductString); }
VstIntPtr HostedPlugin::vendorVersion() { return dispatch(effGetVendorVersion); }
VstIntPtr HostedPlugin::category() { return dispatch(effGetPlugCategory); }
VstIntPtr HostedPlugin::vstVersion() { return dispatch(effGetVstVersion); }

VstIntPtr HostedPlugin::canDo(const std::string& question) {
    std::vector<char> text(question.begin(), question.end());
    text.push_back('\0');
    return dispatch(effCanDo, 0, 0, text.data());
}

std::string HostedPlugin::uniqueIdText() const {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char((uint32_t(effect_->uniqueID) >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

int HostedPlugin::namedParameterCount() const { return tableSize_ > 0 ? tableSize_ : std::max(0, effect_->numParams); }

std::string HostedPlugin::tableText(VstInt32 code, int index, float normalised) {
    char text[kTextBufferSize] = {};
    if (dispatch(effVendorSpecific, code, index, text, normalised) != 1) return {};
    text[kTableTextCapacity - 1] = '\0';
    return text;
}

std::string HostedPlugin::parameterName(int index) {
    return tableSize_ > 0 ? tableText(kTableName, index) : dispatchText(effGetParamName, index);
}
std::string HostedPlugin::parameterDisplay(int index) {
    return tableSize_ > 0 ? tableText(kTableDisplay, index) : dispatchText(effGetParamDisplay, index);
}

std::optional<std::string> HostedPlugin::parameterDisplayAt(int index, float normalised) {
    if (tableSize_ > 0) {
        char text[kTextBufferSize] = {};
        if (dispatch(effVendorSpecific, kTableDisplayAt, index, text, normalised) != 1) return std::nullopt;
        text[kTableTextCapacity - 1] = '\0';
        return std::string(text);
    }
    constexpr VstInt32 kDisplayExtension = 7;
    constexpr VstIntPtr kExtensionAnswer = 0xBEEF;
    char text[kTextBufferSize] = {};
    if (dispatch(effVendorSpecific, kDisplayExtension, index, text, normalised) != kExtensionAnswer) return std::nullopt;
    text[kTextBufferSize - 1] = '\0';
    return std::string(text);
}

bool HostedPlugin::setParameterText(int index, const std::string& text) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    if (tableSize_ > 0) return dispatch(effVendorSpecific, kTableText, index, copy.data()) == 1;
    return dispatch(effString2Parameter, index, 0, copy.data()) != 0;
}

void HostedPlugin::setParameterNormalised(int index, float value) {
    if (tableSize_ > 0) dispatch(effVendorSpecific, kTableSet, index, nullptr, value);
    else setHostParameter(index, value);
}

float HostedPlugin::parameterNormalised(int index) {
    if (tableSize_ == 0) return hostParameter(index);
    float value = 0.0f;
    return dispatch(effVendorSpecific, kTableGet, index, &value) == 1 ? value : 0.0f;
}

void HostedPlugin::setHostParameter(int index, float value) {
    if (effect_->setParameter) effect_->setParameter(effect_, index, value);
}

float HostedPlugin::hostParameter(int index) {
    return effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

bool HostedPlugin::setChunk(std::vector<uint8_t> data, bool isBank) {
    chunk_ = std::move(data);
    if (chunk_.empty()) return false;
    return dispatch(effSetChunk, isBank ? 0 : 1, VstIntPtr(chunk_.size()), chunk_.data()) != 0;
}

std::vector<uint8_t> HostedPlugin::getChunk(bool isBank) {
    void* data = nullptr;
    const VstIntPtr size = dispatch(effGetChunk, isBank ? 0 : 1, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

void HostedPlugin::setSampleRate(double sampleRate) {
    sampleRate_ = sampleRate;
    dispatch(effSetSampleRate, 0, 0, nullptr, float(sampleRate));
}

void HostedPlugin::setMaxBlockSize(int frames) {
    maxBlockSize_ = std::max(1, frames);
    dispatch(effSetBlockSize, 0, maxBlockSize_);
    allocateBuffers(maxBlockSize_);
}

void HostedPlugin::allocateBuffers(int frames) {
    if (!effect_) return;
    const int inputs = std::max(0, effect_->numInputs);
    const int outputs = std::max(0, effect_->numOutputs);
    bufferFrames_ = frames;
    channelBuffers_.assign(size_t(inputs + outputs), std::vector<float>(size_t(frames), 0.0f));
    doubleBuffers_.assign(size_t(inputs + outputs), std::vector<double>(size_t(frames), 0.0));
    inputs_.clear();
    outputs_.clear();
    doubleInputs_.clear();
    doubleOutputs_.clear();
    for (int i = 0; i < inputs + outputs; ++i) {
        (i < inputs ? inputs_ : outputs_).push_back(channelBuffers_[size_t(i)].data());
        (i < inputs ? doubleInputs_ : doubleOutputs_).push_back(doubleBuffers_[size_t(i)].data());
    }
    // Some plug-ins read one pointer even when they declare no channel.
    inputs_.push_back(nullptr);
    outputs_.push_back(nullptr);
    doubleInputs_.push_back(nullptr);
    doubleOutputs_.push_back(nullptr);
}

void HostedPlugin::resume() {
    if (resumed_) return;
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    resumed_ = true;
}

void HostedPlugin::suspend() {
    if (!resumed_) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    resumed_ = false;
}

void HostedPlugin::processBlock(const std::vector<VstMidiEvent>& events, int frames) {
    frames = std::clamp(frames, 0, maxBlockSize_);
    processing_ = true;
    sendEvents(events);
    for (int i = 0; i < outputCount(); ++i) std::fill_n(outputs_[size_t(i)], frames, 0.0f);
    const bool replacing = (effect_->flags & effFlagsCanReplacing) && effect_->processReplacing;
    if (replacing || effect_->process) process(frames, replacing ? ProcessEntry::Replacing : ProcessEntry::Accumulating);
    processing_ = false;
}

void HostedPlugin::sendEvents(const std::vector<VstMidiEvent>& events) {
    if (!events.empty()) {
        eventCopies_.assign(events.begin(), events.end());
        // VstEvents ends in a variable array of event pointers.
        const size_t header = (sizeof(VstEvents) - sizeof(VstEvent*) * 2) / sizeof(VstIntPtr);
        eventListStorage_.assign(header + eventCopies_.size(), 0);
        auto* list = reinterpret_cast<VstEvents*>(eventListStorage_.data());
        list->numEvents = VstInt32(eventCopies_.size());
        for (size_t i = 0; i < eventCopies_.size(); ++i)
            list->events[i] = reinterpret_cast<VstEvent*>(&eventCopies_[i]);
        dispatch(effProcessEvents, 0, 0, list);
    }
}

void HostedPlugin::process(int frames, ProcessEntry entry) {
    const int length = std::max(frames, 0);
    reserveFrames(length);
    // Silent inputs, in the sample type of the entry.
    for (int i = 0; i < std::max(0, effect_->numInputs); ++i) {
        if (entry == ProcessEntry::DoubleReplacing)
            std::fill_n(doubleInputs_[size_t(i)], length, 0.0);
        else
            std::fill_n(inputs_[size_t(i)], length, 0.0f);
    }
    processing_ = true;
    switch (entry) {
    case ProcessEntry::Replacing: effect_->processReplacing(effect_, inputs_.data(), outputs_.data(), frames); break;
    case ProcessEntry::Accumulating: effect_->process(effect_, inputs_.data(), outputs_.data(), frames); break;
    case ProcessEntry::DoubleReplacing:
        effect_->processDoubleReplacing(effect_, doubleInputs_.data(), doubleOutputs_.data(), frames);
        break;
    }
    processing_ = false;
}

std::pair<int, int> HostedPlugin::editorSize() {
    ERect* rect = nullptr;
    dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) return {0, 0};
    return {std::max(0, rect->right - rect->left), std::max(0, rect->bottom - rect->top)};
}

bool HostedPlugin::openEditor(unsigned long window) {
    return dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window)) != 0;
}

void HostedPlugin::idleEditor() { dispatch(effEditIdle); }
void HostedPlugin::closeEditor() { dispatch(effEditClose); }

const VstTimeInfo* HostedPlugin::idleTimeInfo(VstInt32 requestMask) {
    idleTime_ = VstTimeInfo{};
    idleTime_.sampleRate = sampleRate_;
    idleTime_.tempo = 120.0;
    idleTime_.timeSigNumerator = 4;
    idleTime_.timeSigDenominator = 4;
    idleTime_.flags = requestMask & (kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid);
    return &idleTime_;
}

VstIntPtr HostedPlugin::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                     float opt) {
    try {
        HostedPlugin* host = effect && effect->resvd1 ? reinterpret_cast<HostedPlugin*>(effect->resvd1)
                                                      : pluginUnderConstruction;
        if (opcode == audioMasterVersion) return kHostVstVersion;
        return host ? host->answer(opcode, index, value, ptr, opt) : 0;
    } catch (...) {
        return 0;
    }
}

VstIntPtr HostedPlugin::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    if (session_)
        if (const auto given = session_->answer(opcode, index, value, ptr, opt)) return *given;
    switch (opcode) {
    case audioMasterProcessEvents:
        if (!session_) return 0;
        session_->receiveEvents(static_cast<const VstEvents*>(ptr));
        return ptr ? 1 : 0;
    case audioMasterGetTime: {
        const VstTimeInfo* info = session_ ? session_->timeInfo(VstInt32(value)) : idleTimeInfo(VstInt32(value));
        return reinterpret_cast<VstIntPtr>(info);
    }
    case audioMasterWantMidi: return 1;
    case audioMasterGetSampleRate: return VstIntPtr(sampleRate_);
    case audioMasterGetBlockSize: return maxBlockSize_;
    case audioMasterGetCurrentProcessLevel: return processing_ ? kProcessLevelRealtime : kProcessLevelUser;
    case audioMasterGetVendorString: copyText(ptr, kHostVendorString, kVstMaxVendorStrLen); return 1;
    case audioMasterGetProductString: copyText(ptr, kHostProductString, kVstMaxProductStrLen); return 1;
    case audioMasterGetVendorVersion: return kHostVendorVersion;
    case audioMasterCanDo: return ptr && hostCanDo(static_cast<const char*>(ptr)) ? 1 : 0;
    case audioMasterGetLanguage: return kLanguageEnglish;
    case audioMasterIOChanged:
        if (!processing_) allocateBuffers(bufferFrames_);
        return 1;
    case audioMasterSizeWindow: return sizeWindow_ && sizeWindow_(index, int(value)) ? 1 : 0;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterUpdateDisplay:
    case audioMasterIdle: return 1;
    default: return 0;
    }
}

}  // namespace sorel::host
