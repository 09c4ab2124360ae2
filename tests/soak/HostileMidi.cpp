#include "soak/HostileMidi.h"

#include <algorithm>
#include <climits>

namespace sorel::soak {
namespace {

constexpr int kForeignCapacity = 64;
constexpr int kSysexBytes = 256;
constexpr int kHighestControlKey = 36;
constexpr VstInt32 kForeignTypes[] = {kVstAudioType, kVstVideoType, kVstParameterType, kVstTriggerType, 0, 99, -1};
constexpr int kFixedOutsideOffsets[] = {-1, INT_MIN, INT_MAX, -100000, 8192, 1 << 20};
constexpr double kBurstChance = 0.003;
constexpr double kPresetStepChance = 0.05;
constexpr double kQuietBlockChance = 0.32;

enum class Shape { Key, Message, Foreign, Null };

// One kind of list entry: how often it is drawn, its status and data byte
// ranges (channel range for keys), whether its offset lies outside the
// block, and the fault it counts as.
struct EntryKind {
    int weight;
    Shape shape;
    int statusLo, statusHi, data1Lo, data1Hi, data2Lo, data2Hi;
    bool outside;
    int fault;  // an Injected::Kind, or -1 for ordinary traffic
};

constexpr int kOrdinary = -1;
constexpr EntryKind kEntryKinds[] = {
    // Keys mostly on the channels and in the range the key areas listen to.
    {300, Shape::Key, 0, 3, 36, 96, 0, 0, false, kOrdinary},
    {60, Shape::Key, 0, 15, 0, 127, 0, 0, false, kOrdinary},
    {40, Shape::Key, 0, 15, 0, kHighestControlKey, 0, 0, false, kOrdinary},
    {40, Shape::Key, 0, 3, 36, 96, 0, 0, true, Injected::kOffsetsOutside},
    // Every controller, the channel-mode ones among them, programs, wheel, aftertouch.
    {60, Shape::Message, 0xB0, 0xBF, 0, 127, 0, 127, false, kOrdinary},
    {10, Shape::Message, 0xB0, 0xBF, 119, 127, 0, 127, false, kOrdinary},
    {10, Shape::Message, 0xC0, 0xCF, 0, 127, 0, 127, false, kOrdinary},
    {10, Shape::Message, 0xE0, 0xEF, 0, 127, 0, 127, false, kOrdinary},
    {10, Shape::Message, 0xA0, 0xAF, 0, 127, 0, 127, false, kOrdinary},
    {10, Shape::Message, 0xD0, 0xDF, 0, 127, 0, 127, false, kOrdinary},
    // A data byte where the status belongs, system messages, data bytes above 127.
    {15, Shape::Message, 0x00, 0x7F, 0, 255, 0, 255, false, Injected::kMalformed},
    {15, Shape::Message, 0xF0, 0xFF, 0, 255, 0, 255, false, Injected::kMalformed},
    {15, Shape::Message, 0x80, 0xEF, 0, 255, 128, 255, false, Injected::kMalformed},
    {15, Shape::Message, 0x80, 0xEF, 128, 255, 0, 255, false, Injected::kMalformed},
    {15, Shape::Foreign, 0, 0, 0, 0, 0, 0, false, Injected::kMalformed},
    {10, Shape::Null, 0, 0, 0, 0, 0, 0, false, Injected::kMalformed},
};

int TotalWeight() {
    int total = 0;
    for (const EntryKind& kind : kEntryKinds) total += kind.weight;
    return total;
}

}  // namespace

HostileMidi::HostileMidi(uint64_t seed)
    : rng_(seed), midi_(kCapacity), foreign_(kForeignCapacity), sysex_(kForeignCapacity),
      sysexBytes_(kSysexBytes, static_cast<char>(0x7F)), list_(sizeof(VstEvents) + kCapacity * sizeof(VstEvent*)) {
    sysexBytes_.front() = static_cast<char>(0xF0);
    sysexBytes_.back() = static_cast<char>(0xF7);
}

const VstEvents* HostileMidi::Finish() {
    auto* list = reinterpret_cast<VstEvents*>(list_.data());
    list->numEvents = count_;
    list->reserved = 0;
    count_ = midiUsed_ = foreignUsed_ = 0;
    return list;
}

// Every well-formed note message counts as a key going down or up,
// whichever entry kind made it.
void HostileMidi::AddMidi(int offset, int status, int data1, int data2) {
    if (count_ >= kCapacity) return;
    VstMidiEvent& e = midi_[midiUsed_++];
    e = {};
    e.type = kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = offset;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    // The list holds more than its declared two entries: index it through a pointer.
    reinterpret_cast<VstEvents*>(list_.data())->events[count_++] = reinterpret_cast<VstEvent*>(&e);
    const int kind = status >> 4;
    if ((kind != 8 && kind != 9) || data1 > 127 || data2 > 127) return;
    int& down = down_[status & 0x0F][data1];
    if (kind == 9 && data2 > 0) ++down;
    else if (down > 0) --down;
}

void HostileMidi::AddNote(int offset, int channel, int key, bool on, Injected& injected) {
    if (on) {
        if (down_[channel][key] > 0) ++injected[Injected::kDuplicateNoteOns];
        AddMidi(offset, 0x90 | channel, key, Uniform(1, 127));
    } else {
        if (down_[channel][key] == 0) ++injected[Injected::kOrphanNoteOffs];
        // Both spellings of a note-off.
        if (Chance(0.5)) AddMidi(offset, 0x80 | channel, key, Uniform(0, 127));
        else AddMidi(offset, 0x90 | channel, key, 0);
    }
    if (key < kHighestControlKey) ++injected[Injected::kControlKeys];
}

void HostileMidi::AddForeign(int offset) {
    if (count_ >= kCapacity || foreignUsed_ >= kForeignCapacity) return;
    const int slot = foreignUsed_++;
    VstEvent* entry = &foreign_[slot];
    if (Chance(0.5)) {
        VstMidiSysexEvent& s = sysex_[slot];
        s = {};
        s.type = kVstSysExType;
        s.byteSize = sizeof(VstMidiSysexEvent);
        s.dumpBytes = Chance(0.8) ? kSysexBytes : 0;
        s.sysexDump = s.dumpBytes > 0 ? sysexBytes_.data() : nullptr;
        entry = reinterpret_cast<VstEvent*>(&s);
    } else {
        *entry = {};
        entry->type = kForeignTypes[Uniform(0, std::size(kForeignTypes) - 1)];
        entry->byteSize = Chance(0.5) ? sizeof(VstEvent) : Uniform(INT_MIN, INT_MAX);
        for (char& c : entry->data) c = static_cast<char>(Uniform(0, 255));
    }
    entry->deltaFrames = offset;
    reinterpret_cast<VstEvents*>(list_.data())->events[count_++] = entry;
}

int HostileMidi::OffsetOutside(int frames) {
    switch (Uniform(0, 2)) {
        case 0: return kFixedOutsideOffsets[Uniform(0, std::size(kFixedOutsideOffsets) - 1)];
        case 1: return frames + Uniform(0, 1000);
        default: return -Uniform(1, 1000);
    }
}

void HostileMidi::AddDrawn(int frames, Injected& injected) {
    static const int total = TotalWeight();
    int pick = Uniform(0, total - 1);
    const EntryKind* kind = kEntryKinds;
    while (pick >= kind->weight) pick -= (kind++)->weight;
    if (kind->fault != kOrdinary) ++injected[static_cast<Injected::Kind>(kind->fault)];
    const int offset = kind->outside ? OffsetOutside(frames) : frames > 0 ? Uniform(0, frames - 1) : 0;
    const int status = Uniform(kind->statusLo, kind->statusHi);
    const int data1 = Uniform(kind->data1Lo, kind->data1Hi);
    switch (kind->shape) {
        case Shape::Key:
            // Preset steps are the state phase's business.
            if (data1 == kPreviousPresetKey || data1 == kNextPresetKey) return;
            AddNote(offset, status, data1, down_[status][data1] == 0 ? Chance(0.8) : Chance(0.15), injected);
            break;
        case Shape::Message: AddMidi(offset, status, data1, Uniform(kind->data2Lo, kind->data2Hi)); break;
        case Shape::Foreign: AddForeign(offset); break;
        case Shape::Null:
            if (count_ < kCapacity) reinterpret_cast<VstEvents*>(list_.data())->events[count_++] = nullptr;
            break;
    }
}

void HostileMidi::AddPresetStep(int frames, Injected& injected) {
    const int key = Chance(0.5) ? kNextPresetKey : kPreviousPresetKey;
    const int channel = Uniform(0, 15);
    AddNote(Uniform(0, std::max(frames - 1, 0)), channel, key, true, injected);
    AddNote(Uniform(0, std::max(frames - 1, 0)), channel, key, false, injected);
    ++injected[Injected::kPresetSteps];
}

const VstEvents* HostileMidi::NextBlock(int frames, bool presetSteps, Injected& injected) {
    const bool burst = Chance(kBurstChance);
    const int entries = burst ? kBurst : Chance(kQuietBlockChance) ? 0 : Uniform(1, 8);
    if (burst) ++injected[Injected::kBursts];
    for (int i = 0; i < entries; ++i) AddDrawn(frames, injected);
    if (presetSteps && Chance(kPresetStepChance)) AddPresetStep(frames, injected);
    injected[Injected::kEvents] += count_;
    return Finish();
}

const VstEvents* HostileMidi::ReleaseKeys(int limit) {
    for (int c = 0; c < 16; ++c)
        for (int k = 0; k < 128; ++k)
            while (down_[c][k] > 0 && count_ < limit) AddMidi(0, 0x80 | c, k, 64);
    return count_ > 0 ? Finish() : nullptr;
}

const VstEvents* HostileMidi::Notes(std::initializer_list<std::array<uint8_t, 3>> messages, int offset) {
    for (const auto& m : messages) AddMidi(offset, m[0], m[1], m[2]);
    return Finish();
}

}  // namespace sorel::soak
