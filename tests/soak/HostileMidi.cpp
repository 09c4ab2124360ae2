#include "soak/HostileMidi.h"

#include <algorithm>
#include <climits>

namespace sorel::soak {
namespace {

constexpr int kForeignCapacity = 64;
constexpr int kSysexBytes = 256;
// Controllers with a meaning of their own: bank select, modulation, sustain,
// the one pitch wheel maps to, and the channel-mode messages.
constexpr uint8_t kSpecialControllers[] = {0, 1, 64, 119, 120, 121, 122, 123, 124, 125, 126, 127};
constexpr VstInt32 kForeignTypes[] = {kVstAudioType, kVstVideoType, kVstParameterType, kVstTriggerType, 0, 99, -1};

}  // namespace

HostileMidi::HostileMidi(uint64_t seed)
    : rng_(seed), midi_(kCapacity), foreign_(kForeignCapacity), sysex_(kForeignCapacity),
      sysexBytes_(kSysexBytes, static_cast<char>(0x7F)),
      list_(sizeof(VstEvents) + kCapacity * sizeof(VstEvent*)) {
    sysexBytes_.front() = static_cast<char>(0xF0);
    sysexBytes_.back() = static_cast<char>(0xF7);
}

// The list holds more than its declared two entries: index it through a pointer.
VstEvent** HostileMidi::Entries() { return reinterpret_cast<VstEvents*>(list_.data())->events; }

void HostileMidi::Begin() {
    count_ = midiUsed_ = foreignUsed_ = sysexUsed_ = 0;
}

const VstEvents* HostileMidi::Finish() {
    auto* list = reinterpret_cast<VstEvents*>(list_.data());
    list->numEvents = count_;
    list->reserved = 0;
    return list;
}

void HostileMidi::AddMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    if (count_ >= kCapacity || midiUsed_ >= kCapacity) return;
    VstMidiEvent& e = midi_[midiUsed_++];
    e = {};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = offset;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    Entries()[count_++] = reinterpret_cast<VstEvent*>(&e);
    TrackKeys(status, data1, data2);
}

// Every well-formed note message counts, whichever part of the storm made it.
void HostileMidi::TrackKeys(uint8_t status, uint8_t data1, uint8_t data2) {
    const int kind = status >> 4;
    if ((kind != 8 && kind != 9) || data1 > 127 || data2 > 127) return;
    int& down = down_[status & 0x0F][data1];
    if (kind == 9 && data2 > 0)
        ++down;
    else if (down > 0)
        --down;
}

void HostileMidi::AddNote(int offset, int channel, int key, int velocity, Injected& injected) {
    const int down = down_[channel][key];
    if (velocity > 0) {
        if (down > 0) ++injected.duplicateNoteOns;
        AddMidi(offset, static_cast<uint8_t>(0x90 | channel), key, velocity);
    } else {
        if (down == 0) ++injected.orphanNoteOffs;
        // Both spellings of a note-off.
        if (Chance(0.5))
            AddMidi(offset, static_cast<uint8_t>(0x80 | channel), key, Uniform(0, 127));
        else
            AddMidi(offset, static_cast<uint8_t>(0x90 | channel), key, 0);
    }
    if (key <= 35) ++injected.controlKeys;
}

void HostileMidi::AddForeign(int offset, Injected& injected) {
    if (count_ >= kCapacity) return;
    ++injected.malformed;
    if (Chance(0.5) && sysexUsed_ < kForeignCapacity) {
        VstMidiSysexEvent& s = sysex_[sysexUsed_++];
        s = {};
        s.type = kVstSysExType;
        s.byteSize = sizeof(VstMidiSysexEvent);
        s.deltaFrames = offset;
        s.dumpBytes = Chance(0.8) ? kSysexBytes : 0;
        s.sysexDump = s.dumpBytes > 0 ? sysexBytes_.data() : nullptr;
        Entries()[count_++] = reinterpret_cast<VstEvent*>(&s);
    } else if (foreignUsed_ < kForeignCapacity) {
        VstEvent& e = foreign_[foreignUsed_++];
        e = {};
        e.type = kForeignTypes[Uniform(0, std::size(kForeignTypes) - 1)];
        e.byteSize = Chance(0.5) ? sizeof(VstEvent) : Uniform(INT_MIN, INT_MAX);
        e.deltaFrames = offset;
        for (char& c : e.data) c = static_cast<char>(Uniform(0, 255));
        Entries()[count_++] = &e;
    }
}

void HostileMidi::AddNull(Injected& injected) {
    if (count_ >= kCapacity) return;
    ++injected.malformed;
    Entries()[count_++] = nullptr;
}

int HostileMidi::Offset(int frames) { return frames > 0 ? Uniform(0, frames - 1) : 0; }

void HostileMidi::Playing(int frames, Injected& injected) {
    const int n = Uniform(1, 8);
    for (int i = 0; i < n; ++i) {
        // Mostly the channels and ranges the key areas listen to.
        const int channel = Chance(0.8) ? Uniform(0, 3) : Uniform(0, 15);
        const int key = Chance(0.85) ? Uniform(36, 96) : Uniform(0, 127);
        const bool on = down_[channel][key] == 0 ? Chance(0.8) : Chance(0.15);
        AddNote(Offset(frames), channel, key, on ? Uniform(1, 127) : 0, injected);
    }
}

void HostileMidi::Controllers(int frames, Injected& injected) {
    const int n = Uniform(1, 6);
    for (int i = 0; i < n; ++i) {
        const uint8_t channel = static_cast<uint8_t>(Uniform(0, 15));
        switch (Uniform(0, 4)) {
            case 0:
                AddMidi(Offset(frames), 0xB0 | channel, kSpecialControllers[Uniform(0, std::size(kSpecialControllers) - 1)],
                        Uniform(0, 127));
                break;
            case 1: AddMidi(Offset(frames), 0xB0 | channel, Uniform(0, 127), Uniform(0, 127)); break;
            case 2: AddMidi(Offset(frames), 0xC0 | channel, Uniform(0, 127), Uniform(0, 127)); break;
            case 3: AddMidi(Offset(frames), 0xE0 | channel, Uniform(0, 127), Uniform(0, 127)); break;
            default:  // aftertouch, polyphonic and channel
                AddMidi(Offset(frames), (Chance(0.5) ? 0xA0 : 0xD0) | channel, Uniform(0, 127), Uniform(0, 127));
                break;
        }
    }
}

void HostileMidi::ControlKeys(int frames, Injected& injected) {
    const int channel = Uniform(0, 15);
    const int key = Uniform(0, 36);
    // Preset steps are the separate phase's business.
    if (key == kPreviousPresetKey || key == kNextPresetKey) return;
    AddNote(Offset(frames), channel, key, down_[channel][key] == 0 ? Uniform(1, 127) : 0, injected);
}

void HostileMidi::PresetStep(int frames, Injected& injected) {
    const int key = Chance(0.5) ? kNextPresetKey : kPreviousPresetKey;
    const int channel = Uniform(0, 15);
    AddNote(Offset(frames), channel, key, Uniform(1, 127), injected);
    AddNote(Offset(frames), channel, key, 0, injected);
    ++injected.presetSteps;
}

void HostileMidi::Malformed(int frames, Injected& injected) {
    const int n = Uniform(1, 6);
    for (int i = 0; i < n; ++i) {
        switch (Uniform(0, 5)) {
            case 0:  // running status: a data byte where the status belongs
                AddMidi(Offset(frames), Uniform(0, 0x7F), Uniform(0, 255), Uniform(0, 255));
                break;
            case 1:  // system messages, which have no place in a short event
                AddMidi(Offset(frames), Uniform(0xF0, 0xFF), Uniform(0, 255), Uniform(0, 255));
                break;
            case 2:  // channel messages with data bytes above 127
                AddMidi(Offset(frames), Uniform(0x80, 0xEF), Uniform(0, 255), Uniform(128, 255));
                break;
            case 3:
                AddMidi(Offset(frames), Uniform(0x80, 0xEF), Uniform(128, 255), Uniform(0, 255));
                break;
            case 4: AddForeign(Offset(frames), injected); continue;
            default: AddNull(injected); continue;
        }
        ++injected.malformed;
    }
}

void HostileMidi::OffsetsOutside(int frames, Injected& injected) {
    static constexpr int kFixed[] = {-1, INT_MIN, INT_MAX, -100000, 8192, 1 << 20};
    const int n = Uniform(1, 4);
    for (int i = 0; i < n; ++i) {
        int offset;
        switch (Uniform(0, 2)) {
            case 0: offset = kFixed[Uniform(0, std::size(kFixed) - 1)]; break;
            case 1: offset = frames + Uniform(0, 1000); break;
            default: offset = -Uniform(1, 1000); break;
        }
        const int channel = Uniform(0, 3);
        const int key = Uniform(36, 96);
        AddNote(offset, channel, key, down_[channel][key] == 0 ? Uniform(1, 127) : 0, injected);
        ++injected.offsetsOutside;
    }
}

void HostileMidi::Burst(int frames, Injected& injected) {
    ++injected.bursts;
    while (count_ < kBurst) {
        const int pick = Uniform(0, 99);
        if (pick < 60) {
            const int channel = Uniform(0, 15);
            const int key = Uniform(0, 127);
            AddNote(Offset(frames), channel, key, Chance(0.5) ? Uniform(1, 127) : 0, injected);
        } else if (pick < 85) {
            AddMidi(Offset(frames), 0xB0 | Uniform(0, 15), Uniform(0, 127), Uniform(0, 127));
        } else if (pick < 95) {
            AddMidi(Offset(frames), Uniform(0, 255), Uniform(0, 255), Uniform(0, 255));
            ++injected.malformed;
        } else {
            AddMidi(Offset(frames), 0xE0 | Uniform(0, 15), Uniform(0, 127), Uniform(0, 127));
        }
    }
}

const VstEvents* HostileMidi::NextBlock(int frames, bool presetSteps, Injected& injected) {
    Begin();
    const int pick = Uniform(0, 999);
    if (pick < 350) Playing(frames, injected);
    else if (pick < 450) Controllers(frames, injected);
    else if (pick < 520) ControlKeys(frames, injected);
    else if (pick < 620) Malformed(frames, injected);
    else if (pick < 680) OffsetsOutside(frames, injected);
    else if (pick < 683) Burst(frames, injected);
    if (presetSteps && Chance(0.05)) PresetStep(frames, injected);
    injected.events += count_;
    return Finish();
}

const VstEvents* HostileMidi::ReleaseKeys(int limit) {
    Begin();
    for (int c = 0; c < 16; ++c)
        for (int k = 0; k < 128; ++k)
            while (down_[c][k] > 0 && count_ < limit) AddMidi(0, static_cast<uint8_t>(0x80 | c), k, 64);
    return count_ > 0 ? Finish() : nullptr;
}

const VstEvents* HostileMidi::Notes(std::initializer_list<std::array<uint8_t, 3>> messages, int offset) {
    Begin();
    for (const auto& m : messages) AddMidi(offset, m[0], m[1], m[2]);
    return Finish();
}

int HostileMidi::KeysDown() const {
    int total = 0;
    for (const auto& channel : down_)
        for (int d : channel) total += d;
    return total;
}

}  // namespace sorel::soak
