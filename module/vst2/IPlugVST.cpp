#include "module/vst2/IPlugVST.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "frame/HostIdentity.h"
#include "frame/Parameter.h"

namespace sorel {
namespace {

constexpr VstInt32 kLastHandledOpcode = 69;
constexpr VstInt32 kIdentifyAnswer = 0x4E764566;
constexpr VstInt32 kVstVersion = 2400;
constexpr intptr_t kCockosAnswer = static_cast<intptr_t>(0xBEEF0000);
constexpr intptr_t kVendorSpecificAnswer = 0xBEEF;
constexpr VstInt32 kCockosParamDisplay = 7;
constexpr size_t kParamTextCapacity = 24;
constexpr VstInt32 kSpeakerArrEmpty = -1;
constexpr VstInt32 kSpeakerArrStereo = 1;

void CopyText(void* destination, const std::string& text, size_t capacity) {
    if (!destination || capacity == 0) return;
    const size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(destination, text.data(), length);
    static_cast<char*>(destination)[length] = 0;
}

bool Finite(double v) { return std::isfinite(v); }

bool IsEditorWindowOpcode(VstInt32 opcode) {
    return opcode == effEditOpen || opcode == effEditClose;
}

bool UsablePosition(double qn) { return Finite(qn) && qn >= 0.0 && qn <= kMaxQuarterNotes; }

}  // namespace

// The C entries the host calls. Each takes the plug-in lock where the binding
// asks for it and lets no exception through.
struct VstEntries {
    static VstIntPtr Dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                float opt) {
        try {
            IPlugVST* plugin = IPlugVST::FromEffect(effect);
            if (!plugin || opcode < 0 || opcode > kLastHandledOpcode) return 0;
            if (opcode == effEditIdle || opcode == effIdle) {
                plugin->core_->Idle();
                return 0;
            }
            if (opcode == effClose) {
                {
                    std::lock_guard<std::recursive_mutex> lock(plugin->core_->Mutex());
                }
                std::unique_ptr<IPlugVST> owned(plugin);
                effect->object = nullptr;
                return 0;
            }
            // States to and from the host are copied under the lock, in short
            // holds, and written or read without it: blocks keep their pace meanwhile.
            if (opcode == effGetChunk || opcode == effSetChunk) return plugin->Dispatch(opcode, index, value, ptr, opt);
            // Closing the editor joins its thread, which may be waiting for
            // the lock to change a parameter: the editor calls run without it.
            if (IsEditorWindowOpcode(opcode)) return plugin->Dispatch(opcode, index, value, ptr, opt);
            std::lock_guard<std::recursive_mutex> lock(plugin->core_->Mutex());
            return plugin->Dispatch(opcode, index, value, ptr, opt);
        } catch (...) {
            return 0;
        }
    }

    static void RunBlock(AEffect* effect, int frames) {
        IPlugVST* plugin = IPlugVST::FromEffect(effect);
        if (!plugin) return;
        std::lock_guard<std::recursive_mutex> lock(plugin->core_->Mutex());
        plugin->RunBlock(std::max(0, frames));
    }

    template <typename Sample>
    static void Silence(AEffect* effect, Sample** outputs, VstInt32 frames) {
        if (!effect || !outputs || frames <= 0) return;
        for (int c = 0; c < effect->numOutputs; ++c) {
            if (outputs[c]) std::fill(outputs[c], outputs[c] + frames, Sample(0));
        }
    }

    static void ProcessReplacing(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
        try {
            Silence(effect, outputs, frames);
            RunBlock(effect, frames);
        } catch (...) {
        }
    }

    // The accumulating entry adds the plug-in's output, which is silence.
    static void ProcessAccumulating(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
        try {
            RunBlock(effect, frames);
        } catch (...) {
        }
    }

    static void ProcessDoubleReplacing(AEffect* effect, double** inputs, double** outputs, VstInt32 frames) {
        try {
            Silence(effect, outputs, frames);
            RunBlock(effect, frames);
        } catch (...) {
        }
    }

    static void SetParameter(AEffect* effect, VstInt32 index, float value) {
        try {
            IPlugVST* plugin = IPlugVST::FromEffect(effect);
            if (!plugin) return;
            PluginCore& core = *plugin->core_;
            // The timing parameters stand for the pattern shown while the value lands.
            std::lock_guard<std::recursive_mutex> lock(core.Mutex());
            const int tableIndex = core.HostParameterTableIndex(index);
            if (tableIndex >= 0) core.SetParameterFromHost(tableIndex, value);
        } catch (...) {
        }
    }

    static float GetParameter(AEffect* effect, VstInt32 index) {
        try {
            IPlugVST* plugin = IPlugVST::FromEffect(effect);
            if (!plugin) return 0.0f;
            const int tableIndex = plugin->core_->HostParameterTableIndex(index);
            return tableIndex >= 0 ? static_cast<float>(plugin->core_->GetParameterNormalized(tableIndex)) : 0.0f;
        } catch (...) {
            return 0.0f;
        }
    }
};

IPlugVST::IPlugVST(audioMasterCallback host, CoreFactory factory)
    : host_(host), outEvents_(kMaxBlockEvents),
      outListStorage_(sizeof(VstEvents) + kMaxBlockEvents * sizeof(VstEvent*)) {
    editedTable_.fill(kNoEdit);
    effect_.magic = kEffectMagic;
    effect_.dispatcher = &VstEntries::Dispatcher;
    effect_.process = &VstEntries::ProcessAccumulating;
    effect_.setParameter = &VstEntries::SetParameter;
    effect_.getParameter = &VstEntries::GetParameter;
    effect_.processReplacing = &VstEntries::ProcessReplacing;
    effect_.processDoubleReplacing = &VstEntries::ProcessDoubleReplacing;
    effect_.numPrograms = 1;  // until the core tells its programs
    effect_.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth | effFlagsCanDoubleReplacing;
    effect_.initialDelay = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    for (VstMidiEvent& event : outEvents_) {
        event.type = kVstMidiType;
        event.byteSize = sizeof(VstMidiEvent);
    }
    // The core may call the host while it is built: the record is ready.
    core_ = factory(*this);
    if (!core_) return;
    const PluginIdentity& identity = core_->Identity();
    effect_.numInputs = identity.inputs;
    effect_.numOutputs = identity.outputs;
    effect_.uniqueID = identity.uniqueId;
    effect_.version = identity.version;
    // Hosts see the chosen few; the whole table travels in the chunk and,
    // for the plug-in's own tools, through the vendor-specific opcode.
    effect_.numParams = core_->HostParameterCount();
    // Without factory presets the one program is the current state.
    effect_.numPrograms = std::max(1, core_->ProgramCount());
    if (core_->HasEditor()) effect_.flags |= effFlagsHasEditor;
    inputArrangement_.type = kSpeakerArrEmpty;
    inputArrangement_.numChannels = identity.inputs;
    outputArrangement_.type = kSpeakerArrStereo;
    outputArrangement_.numChannels = identity.outputs;
}

IPlugVST::~IPlugVST() {
    core_.reset();
    effect_.object = nullptr;
}

IPlugVST* IPlugVST::FromEffect(AEffect* effect) {
    if (!effect || effect->magic != kEffectMagic) return nullptr;
    return static_cast<IPlugVST*>(effect->object);
}

bool IPlugVST::RequestEditorSize(int width, int height) {
    return CallHost(audioMasterSizeWindow, width, height) != 0;
}

intptr_t IPlugVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return host_ ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

void IPlugVST::IdentifyHost() {
    char product[256] = {};
    const bool answered = CallHost(audioMasterGetProductString, 0, 0, product) != 0;
    product[sizeof product - 1] = 0;
    hostCode_ = answered ? HostCodeFromProductString(product) : kHostUnknown;
    hostVersion_ = HostVersionFromVendorVersion(CallHost(audioMasterGetVendorVersion));
}

int IPlugVST::HostCode() {
    if (hostCode_ < 0) IdentifyHost();
    return hostCode_;
}

int IPlugVST::HostVersion() {
    if (hostCode_ < 0) IdentifyHost();
    return hostVersion_;
}

bool IPlugVST::GetTime(TimeInfo& info) {
    const auto* time = reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, kTimeRequestMask));
    if (!time || (time->flags & kTimeRequestMask) == 0) return false;
    if (Finite(time->samplePos) && std::fabs(time->samplePos) <= kMaxSamplePosition) info.samplePos = time->samplePos;
    const VstInt32 flags = time->flags;
    if ((flags & kVstPpqPosValid) && UsablePosition(time->ppqPos)) info.ppqPos = time->ppqPos;
    if ((flags & kVstTempoValid) && Finite(time->tempo) && time->tempo >= kMinTempo && time->tempo <= kMaxTempo)
        info.tempo = time->tempo;
    if ((flags & kVstBarsValid) && UsablePosition(time->barStartPos)) info.lastBar = time->barStartPos;
    if ((flags & kVstCyclePosValid) && UsablePosition(time->cycleStartPos) && UsablePosition(time->cycleEndPos)) {
        info.cycleStart = time->cycleStartPos;
        info.cycleEnd = time->cycleEndPos;
    }
    if ((flags & kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
        info.numerator = time->timeSigNumerator;
        info.denominator = time->timeSigDenominator;
    }
    info.transportIsRunning = (flags & kVstTransportPlaying) != 0;
    // A loop without length (or turned inside out) is no loop to wrap in.
    info.loopEnabled = (flags & kVstTransportCycleActive) != 0 && info.cycleEnd > info.cycleStart;
    return true;
}

bool IPlugVST::SendMidi(std::span<const MidiMessage> messages) {
    if (messages.empty()) return true;
    auto* list = reinterpret_cast<VstEvents*>(outListStorage_.data());
    // The list is longer than its declared two entries: index it through a pointer.
    VstEvent** entries = list->events;
    bool delivered = true;
    // Normally one call per block; a block with more events than the list
    // holds goes out in several calls, still in order.
    for (size_t first = 0; first < messages.size(); first += kMaxBlockEvents) {
        const size_t count = std::min<size_t>(kMaxBlockEvents, messages.size() - first);
        for (size_t i = 0; i < count; ++i) {
            const MidiMessage& m = messages[first + i];
            VstMidiEvent& event = outEvents_[i];
            event.deltaFrames = m.offset;
            event.midiData[0] = static_cast<char>(m.status);
            event.midiData[1] = static_cast<char>(m.data1);
            event.midiData[2] = static_cast<char>(m.data2);
            event.midiData[3] = 0;
            entries[i] = reinterpret_cast<VstEvent*>(&event);
        }
        list->numEvents = static_cast<VstInt32>(count);
        list->reserved = 0;
        delivered = CallHost(audioMasterProcessEvents, 0, 0, list) == 1 && delivered;
    }
    return delivered;
}

void IPlugVST::ReportParameterEdit(int index, double normalized) {
    // The host knows the chosen few by its own numbers; a change of any
    // other table parameter is none of its business.
    const int hostIndex = core_->HostIndexOfTable(index);
    if (hostIndex >= 0) CallHost(audioMasterAutomate, hostIndex, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::BeginParameterEdit(int index) {
    const int hostIndex = core_ ? core_->HostIndexOfTable(index) : -1;
    if (!HostParameters::Holds(hostIndex)) return;
    editedTable_[hostIndex] = index;
    CallHost(audioMasterBeginEdit, hostIndex);
}

void IPlugVST::EndParameterEdit(int index) {
    const auto begun = std::find(editedTable_.begin(), editedTable_.end(), index);
    if (index == kNoEdit || begun == editedTable_.end()) return;
    *begun = kNoEdit;
    CallHost(audioMasterEndEdit, static_cast<VstInt32>(begun - editedTable_.begin()));
}

void IPlugVST::ParameterValuesChanged() { CallHost(audioMasterUpdateDisplay); }

intptr_t IPlugVST::ProcessEvents(const VstEvents* events) {
    if (!events) return 0;
    const int count = std::max(0, events->numEvents);
    // The host's list is longer than its declared two entries.
    VstEvent* const* entries = events->events;
    for (int i = 0; i < count; ++i) {
        const VstEvent* event = entries[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midiEvent = reinterpret_cast<const VstMidiEvent*>(event);
        MidiMessage message;
        // Events count in the order the host lists them: one listed later
        // never goes before an earlier one, or a key's note-off could
        // overtake its note-on and leave the note hanging.
        lastEventOffset_ = std::max(lastEventOffset_, midiEvent->deltaFrames);
        message.offset = lastEventOffset_;
        message.status = static_cast<uint8_t>(midiEvent->midiData[0]);
        message.data1 = static_cast<uint8_t>(midiEvent->midiData[1]);
        message.data2 = static_cast<uint8_t>(midiEvent->midiData[2]);
        core_->HandleMidiMessage(message);
    }
    return 1;
}

intptr_t IPlugVST::StringToParameter(int index, const char* text) {
    Parameter* p = core_->GetParam(index);
    if (!p) return 0;
    if (!text) return 1;
    double value = 0.0;
    if (!p->ValueForText(text, value)) return 0;
    core_->SetParameterFromHostText(index, value);
    return 1;
}

intptr_t IPlugVST::VendorSpecific(VstInt32 code, VstIntPtr value, void* ptr, float opt) {
    if (code == kCockosParamDisplay) {
        const Parameter* p = core_->HostParameter(static_cast<int>(value));
        if (!ptr) return 0;
        if (p) CopyText(ptr, p->DisplayText(p->FromNormalized(opt)), kParamTextCapacity);
        return kVendorSpecificAnswer;
    }
    if (code == kTableSize) return core_->TableSize();
    const bool inTable = value >= 0 && value < core_->TableSize();
    Parameter* p = inTable ? core_->GetParam(static_cast<int>(value)) : nullptr;
    if (!p) return 0;
    const int tableIndex = static_cast<int>(value);
    switch (code) {
        case kTableSet:
            core_->SetParameterFromHost(tableIndex, opt);
            return 1;
        case kTableGet:
            if (!ptr) return 0;
            *static_cast<float*>(ptr) = static_cast<float>(p->Normalized());
            return 1;
        case kTableName:
        case kTableDisplay:
            if (!ptr) return 0;
            CopyText(ptr, code == kTableName ? p->Name() : p->DisplayText(), kTableTextCapacity);
            return 1;
        case kTableText:
            return StringToParameter(tableIndex, static_cast<const char*>(ptr));
        case kTableDisplayAt:
            if (!ptr) return 0;
            CopyText(ptr, p->DisplayText(p->FromNormalized(opt)), kTableTextCapacity);
            return 1;
        default:
            return 0;
    }
}

intptr_t IPlugVST::CanDo(const char* question) {
    if (!question) return 0;
    const std::string q(question, strnlen(question, 256));
    if (q == "receiveVstTimeInfo" || q == "sendVstEvents" || q == "sendVstMidiEvent" || q == "receiveVstEvents" ||
        q == "receiveVstMidiEvent")
        return 1;
    if (q == "hasCockosExtensions") {
        cockosExtensions_ = true;
        return kCockosAnswer;
    }
    if (q == "hasCockosViewAsConfig") {
        cockosViewAsConfig_ = true;
        return kCockosAnswer;
    }
    return 0;
}

intptr_t IPlugVST::PinProperties(int index, int count, const char* labelFormat, void* ptr) {
    if (!ptr || index < 0 || index >= count) return 0;
    auto* pin = static_cast<VstPinProperties*>(ptr);
    pin->flags = kVstPinIsActive;
    if (index % 2 == 0 && index + 1 < count) pin->flags |= kVstPinIsStereo;
    std::snprintf(pin->label, sizeof pin->label, labelFormat, index + 1);
    return 1;
}

intptr_t IPlugVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
        case effOpen:
            Open();
            return 0;
        case effSetProgram:
            core_->SelectProgram(static_cast<int>(value));
            return 0;
        case effGetProgram:
            return core_->CurrentProgram();
        case effSetProgramName:
            if (ptr) core_->SetProgramName(static_cast<const char*>(ptr));
            return 0;
        case effGetProgramName:
            CopyText(ptr, core_->ProgramName(), kVstMaxProgNameLen);
            return 0;
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName: {
            const Parameter* p = core_->HostParameter(index);
            if (!p || !ptr) return 0;
            const std::string& text = opcode == effGetParamLabel  ? p->Label()
                                      : opcode == effGetParamName ? core_->HostParameterName(index)
                                                                  : p->DisplayText();
            CopyText(ptr, text, kParamTextCapacity);
            return 0;
        }
        case effSetSampleRate:
            if (Finite(opt) && opt > 0.0f) sampleRate_ = opt;
            return 0;
        case effSetBlockSize:
            if (value > 0 && value <= (1 << 24)) blockSize_ = static_cast<int>(value);
            return 0;
        case effMainsChanged:
            return 0;
        case effEditGetRect:
            return EditorRect(ptr);
        case effEditOpen:
            return core_->OpenEditor(ptr) ? 1 : 0;
        case effEditClose:
            if (!core_->HasEditor()) return 0;
            core_->CloseEditor();
            return 1;
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            return ptr ? core_->GetState(static_cast<void**>(ptr), index == 0) : 0;
        case effSetChunk:
            if (!ptr || value <= 0) return 0;
            return core_->SetState(ptr, static_cast<size_t>(value), index == 0) ? 1 : 0;
        case effProcessEvents:
            return ProcessEvents(static_cast<const VstEvents*>(ptr));
        case effCanBeAutomated:
            return 1;
        case effString2Parameter:
            return StringToParameter(core_->HostParameterTableIndex(index), static_cast<const char*>(ptr));
        case effGetProgramNameIndexed:
            return ProgramNameIndexed(index, ptr);
        case effGetInputProperties:
            return PinProperties(index, effect_.numInputs, "Input %d", ptr);
        case effGetOutputProperties:
            return PinProperties(index, effect_.numOutputs, "Output %d", ptr);
        case effGetPlugCategory:
            return (effect_.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategEffect;
        case effSetSpeakerArrangement:
            return 1;
        case effGetEffectName:
            CopyText(ptr, core_->Identity().effectName, kVstMaxEffectNameLen);
            return ptr ? 1 : 0;
        case effGetVendorString:
            CopyText(ptr, core_->Identity().vendor, kVstMaxVendorStrLen);
            return ptr ? 1 : 0;
        case effGetProductString:
            CopyText(ptr, core_->Identity().product, kVstMaxProductStrLen);
            return ptr ? 1 : 0;
        case effVendorSpecific:
            return VendorSpecific(index, value, ptr, opt);
        case effCanDo:
            return CanDo(static_cast<const char*>(ptr));
        case effGetVstVersion:
            return kVstVersion;
        case effGetMidiKeyName:
            return KeyName(ptr);
        case effGetSpeakerArrangement:
            if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
            if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
            return 1;
        default:
            return 0;
    }
}

void IPlugVST::Open() {
    if (!opened_) {
        HostCode();
        const PluginIdentity& identity = core_->Identity();
        effect_.numInputs = identity.inputs;
        effect_.numOutputs = identity.outputs;
        opened_ = true;
    }
    core_->Open();
}

void IPlugVST::RunBlock(int frames) {
    TimeInfo time;
    GetTime(time);
    SendMidi(core_->ProcessBlock(frames, time));
    lastEventOffset_ = kNoEventYet;
}

intptr_t IPlugVST::EditorRect(void* ptr) {
    int width = 0, height = 0;
    if (!ptr || !core_->EditorSize(width, height)) return 0;
    editorRect_ = {0, 0, static_cast<VstInt16>(height), static_cast<VstInt16>(width)};
    *static_cast<ERect**>(ptr) = &editorRect_;
    return 1;
}

intptr_t IPlugVST::ProgramNameIndexed(int index, void* ptr) {
    if (!ptr) return 0;
    const std::string name = core_->ProgramCount() > 0 ? core_->ProgramLabel(index, kVstMaxProgNameLen - 1)
                             : index == 0                ? core_->ProgramName()
                                                         : std::string{};
    if (name.empty()) return 0;
    CopyText(ptr, name, kVstMaxProgNameLen);
    return 1;
}

intptr_t IPlugVST::KeyName(void* ptr) {
    if (!ptr) return 0;
    auto* key = static_cast<MidiKeyName*>(ptr);
    std::string name;
    if (!core_->KeyName(key->thisKeyNumber, name)) return 0;
    CopyText(key->keyName, name, sizeof key->keyName);
    return 1;
}

AEffect* CreateEffect(audioMasterCallback host, CoreFactory factory) {
    static std::mutex creationMutex;
    try {
        std::lock_guard<std::mutex> lock(creationMutex);
        auto plugin = std::make_unique<IPlugVST>(host, factory);
        if (!plugin->Core()) return nullptr;
        AEffect* effect = plugin->Effect();
        effect->numPrograms = std::max(effect->numPrograms, 1);
        plugin.release();  // owned by the host from here until effClose
        return effect;
    } catch (...) {
        return nullptr;
    }
}

PluginCore* CoreOf(AEffect* effect) {
    IPlugVST* plugin = IPlugVST::FromEffect(effect);
    return plugin ? plugin->Core() : nullptr;
}

}  // namespace sorel
