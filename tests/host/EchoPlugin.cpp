// A tiny VST 2 MIDI effect for testing the host: it sends every incoming MIDI
// event straight back, notes moved by its "Transpose" parameter.
#include "frame/vst2/VstApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr VstInt32 kUniqueId = 0x4563686F;  // "Echo"
constexpr int kParameterCount = 4;
const char* const kParameterNames[kParameterCount] = {"Gain", "Transpose", "Twin", "Twin"};
constexpr long kTransposeRange = 48;

struct Echo {
    AEffect effect{};
    audioMasterCallback host = nullptr;
    int transpose = 12;
    float gain = 0.5f;
};

Echo* echoOf(AEffect* effect) { return static_cast<Echo*>(effect->object); }

void sendBack(AEffect* effect, const VstMidiEvent& in) {
    VstMidiEvent out = in;
    const uint8_t kind = uint8_t(in.midiData[0]) & 0xF0;
    if (kind == 0x80 || kind == 0x90) out.midiData[1] = char((uint8_t(in.midiData[1]) + echoOf(effect)->transpose) & 0x7F);
    VstEvents list{};
    list.numEvents = 1;
    list.events[0] = reinterpret_cast<VstEvent*>(&out);
    echoOf(effect)->host(effect, audioMasterProcessEvents, 0, 0, &list, 0.0f);
}

void copyText(void* ptr, const std::string& text) {
    if (ptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", text.c_str());
}

bool setTranspose(Echo& echo, const char* text) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < -kTransposeRange || value > kTransposeRange) return false;
    echo.transpose = int(value);
    return true;
}

VstIntPtr dispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float) {
    Echo& echo = *echoOf(effect);
    switch (opcode) {
    case effClose: std::unique_ptr<Echo>{&echo}.reset(); return 0;  // the host hands the instance back
    case effGetParamName:
        if (index >= 0 && index < kParameterCount) copyText(ptr, kParameterNames[index]);
        return 0;
    case effGetParamDisplay:
        if (index == 1) copyText(ptr, std::to_string(echo.transpose));
        if (index == 0) copyText(ptr, std::to_string(echo.gain));
        return 0;
    case effString2Parameter: return index == 1 && ptr && setTranspose(echo, static_cast<const char*>(ptr));
    case effSetChunk: return 1;
    case effProcessEvents: {
        const auto* events = static_cast<const VstEvents*>(ptr);
        for (VstInt32 i = 0; i < events->numEvents; ++i)
            if (events->events[i] && events->events[i]->type == kVstMidiType)
                sendBack(effect, *reinterpret_cast<const VstMidiEvent*>(events->events[i]));
        return 1;
    }
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
    for (int channel = 0; channel < effect->numOutputs; ++channel) std::memset(outputs[channel], 0, sizeof(float) * size_t(frames));
}

void setParameter(AEffect* effect, VstInt32 index, float value) {
    if (index == 0) echoOf(effect)->gain = value;
}

float getParameter(AEffect* effect, VstInt32 index) { return index == 0 ? echoOf(effect)->gain : 0.0f; }

}  // namespace

// The host owns the instance from here until effClose.
extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
    if (!host || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    auto echo = std::make_unique<Echo>();
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
    e.object = echo.get();
    e.uniqueID = kUniqueId;
    e.version = 1;
    return &echo.release()->effect;
}
