// A tiny VST 2 MIDI effect for testing the host: it sends every incoming MIDI
// event straight back, notes moved by its "Transpose" parameter, and records
// what the host told it.
#include "EchoPlugin.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using sorel::host::test::EchoPluginLog;

namespace {

constexpr VstInt32 kUniqueId = 0x4563686F;  // "Echo"
constexpr int kParameterCount = 4;
const char* const kParameterNames[kParameterCount] = {"Gain", "Transpose", "Twin", "Twin"};
constexpr VstInt32 kEveryTimeFlag = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
                                    kVstCyclePosValid | kVstTimeSigValid | kVstClockValid;

EchoPluginLog& log() {
    static EchoPluginLog instance;
    return instance;
}

struct Echo {
    AEffect effect{};
    audioMasterCallback host = nullptr;
};

// Instances live until the host closes them (effClose).
std::vector<std::unique_ptr<Echo>>& instances() {
    static std::vector<std::unique_ptr<Echo>> all;
    return all;
}

Echo* echoOf(AEffect* effect) { return static_cast<Echo*>(effect->object); }

void destroy(Echo* echo) {
    auto& all = instances();
    for (auto it = all.begin(); it != all.end(); ++it) {
        if (it->get() == echo) {
            all.erase(it);
            return;
        }
    }
}

const VstTimeInfo* askTime(AEffect* effect, VstInt32 mask) {
    return reinterpret_cast<const VstTimeInfo*>(echoOf(effect)->host(effect, audioMasterGetTime, 0, mask, nullptr, 0.0f));
}

void sendBack(AEffect* effect, const VstMidiEvent& in) {
    VstMidiEvent out = in;
    const uint8_t kind = uint8_t(in.midiData[0]) & 0xF0;
    if (kind == 0x80 || kind == 0x90) out.midiData[1] = char((uint8_t(in.midiData[1]) + log().transpose) & 0x7F);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&out);
    echoOf(effect)->host(effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
}

void receiveEvents(AEffect* effect, const VstEvents* events) {
    const VstTimeInfo* time = askTime(effect, 0);
    const int64_t blockStart = time ? int64_t(time->samplePos) : -1;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = events->events[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        log().inputs.push_back({blockStart, int(log().blocks.size()), midi->deltaFrames,
                                {uint8_t(midi->midiData[0]), uint8_t(midi->midiData[1]), uint8_t(midi->midiData[2])}});
        sendBack(effect, *midi);
    }
}

void copyText(void* ptr, const std::string& text) {
    if (ptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", text.c_str());
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    switch (opcode) {
    case effOpen: ++log().openCount; return 0;
    case effClose:
        ++log().closeCount;
        destroy(echoOf(effect));
        return 0;
    case effSetSampleRate: log().sampleRate = opt; return 0;
    case effSetBlockSize: log().maxBlockSize = int(value); return 0;
    case effMainsChanged: log().resumed = value != 0; return 0;
    case effGetParamName:
        if (index >= 0 && index < kParameterCount) copyText(ptr, kParameterNames[index]);
        return 0;
    case effGetParamDisplay:
        if (index == 1) copyText(ptr, std::to_string(log().transpose));
        if (index == 0) copyText(ptr, std::to_string(log().gain));
        return 0;
    case effString2Parameter: {
        if (index != 1 || !ptr) return 0;
        char* end = nullptr;
        const long value = std::strtol(static_cast<const char*>(ptr), &end, 10);
        if (end == ptr || *end != '\0' || value < -48 || value > 48) return 0;
        log().transpose = int(value);
        return 1;
    }
    case effSetChunk:
        log().chunk.assign(static_cast<uint8_t*>(ptr), static_cast<uint8_t*>(ptr) + value);
        log().chunkWasBank = index == 0;
        return 1;
    case effProcessEvents: receiveEvents(effect, static_cast<const VstEvents*>(ptr)); return 1;
    case effGetEffectName: copyText(ptr, "Echo"); return 1;
    case effGetVendorString: copyText(ptr, "Sorel tests"); return 1;
    case effGetProductString: copyText(ptr, "Echo test plug-in"); return 1;
    case effGetPlugCategory: return kPlugCategEffect;
    case effGetVstVersion: return 2400;
    case effCanDo: {
        const std::string question = ptr ? static_cast<const char*>(ptr) : "";
        return question == "receiveVstMidiEvent" || question == "sendVstMidiEvent" || question == "receiveVstTimeInfo";
    }
    default: return 0;
    }
}

void processReplacing(AEffect* effect, float**, float** outputs, VstInt32 frames) {
    sorel::host::test::EchoBlock block;
    block.frames = frames;
    if (const VstTimeInfo* full = askTime(effect, kEveryTimeFlag)) block.full = *full;
    if (const VstTimeInfo* partial = askTime(effect, kVstPpqPosValid | kVstTempoValid)) block.partialFlags = partial->flags;
    if (const VstTimeInfo* bare = askTime(effect, 0)) block.bareFlags = bare->flags;
    log().blocks.push_back(block);
    for (int channel = 0; channel < effect->numOutputs; ++channel) std::memset(outputs[channel], 0, sizeof(float) * size_t(frames));
}

void setParameter(AEffect*, VstInt32 index, float value) {
    if (index == 0) log().gain = value;
}

float getParameter(AEffect*, VstInt32 index) { return index == 0 ? log().gain : 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) EchoPluginLog* echoPluginLog() { return &log(); }

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    instances().push_back(std::make_unique<Echo>());
    Echo* echo = instances().back().get();
    echo->host = host;
    AEffect& e = echo->effect;
    e.magic = kEffectMagic;
    e.dispatcher = dispatcher;
    e.setParameter = setParameter;
    e.getParameter = getParameter;
    e.processReplacing = processReplacing;
    e.numPrograms = 1;
    e.numParams = kParameterCount;
    e.numInputs = 0;
    e.numOutputs = 2;
    e.flags = effFlagsCanReplacing;
    e.object = echo;
    e.uniqueID = kUniqueId;
    e.version = 1;
    return &e;
}
