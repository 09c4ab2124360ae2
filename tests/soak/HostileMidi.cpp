#include "soak/HostileMidi.h"

#include <algorithm>
#include <climits>

namespace sorel::soak {
namespace {

constexpr int kBurst = 10000;
constexpr int kCapacity = kBurst + 64;
constexpr int kForeignCapacity = 64;
constexpr int kSysexBytes = 256;
constexpr int kHighestControlKey = 36;
// Control-zone keys of the default assignment.
constexpr int kPreviousPresetKey = 21;
constexpr int kNextPresetKey = 22;
constexpr VstInt32 kForeignTypes[] = {kVstAudioType, kVstVideoType, kVstParameterType, kVstTriggerType, 0, 99, -1};
constexpr int kFixedOutsideOffsets[] = {-1, INT_MIN, INT_MAX, -100000, 8192, 1 << 20};
constexpr double kBurstChance = 0.003;
constexpr double kPresetStepChance = 0.05;
constexpr double kQuietBlockChance = 0.32;

enum class Shape { Key, Message, Foreign, Null };

// One kind of list entry: how often it is drawn, its status and data byte
// ranges (channel range for keys), and whether its offset lies outside the block.
struct EntryKind {
    int weight;
    Shape shape;
    int statusLo, statusHi, data1Lo, data1Hi, data2Lo, data2Hi;
    bool outside;
};

constexpr EntryKind kEntryKinds[] = {
    // Keys mostly on the channels and in the range the key areas listen to.
    {300, Shape::Key, 0, 3, 36, 96, 0, 0, false},
    {60, Shape::Key, 0, 15, 0, 127, 0, 0, false},
    {40, Shape::Key, 0, 15, 0, kHighestControlKey, 0, 0, false},
    {40, Shape::Key, 0, 3, 36, 96, 0, 0, true},
    // Every controller, the channel-mode ones among them, programs, wheel, aftertouch.
    {60, Shape::Message, 0xB0, 0xBF, 0, 127, 0, 127, false},
    {10, Shape::Message, 0xB0, 0xBF, 119, 127, 0, 127, false},
    {10, Shape::Message, 0xC0, 0xCF, 0, 127, 0, 127, false},
    {10, Shape::Message, 0xE0, 0xEF, 0, 127, 0, 127, false},
    {10, Shape::Message, 0xA0, 0xAF, 0, 127, 0, 127, false},
    {10, Shape::Message, 0xD0, 0xDF, 0, 127, 0, 127, false},
    // A data byte where the status belongs, system messages, data bytes above 127.
    {15, Shape::Message, 0x00, 0x7F, 0, 255, 0, 255, false},
    {15, Shape::Message, 0xF0, 0xFF, 0, 255, 0, 255, false},
    {15, Shape::Message, 0x80, 0xEF, 0, 255, 128, 255, false},
    {15, Shape::Message, 0x80, 0xEF, 128, 255, 0, 255, false},
    {15, Shape::Foreign, 0, 0, 0, 0, 0, 0, false},
    {10, Shape::Null, 0, 0, 0, 0, 0, 0, false},
};

constexpr int TotalWeight() {
    int total = 0;
    for (const EntryKind& kind : kEntryKinds) total += kind.weight;
    return total;
}

int OffsetOutside(Dice& dice, int frames) {
    switch (dice.Uniform(0, 2)) {
        case 0: return dice.Pick(kFixedOutsideOffsets);
        case 1: return frames + dice.Uniform(0, 1000);
        default: return -dice.Uniform(1, 1000);
    }
}

}  // namespace

HostileMidi::HostileMidi(Dice& dice)
    : dice_(dice), midi_(kCapacity), foreign_(kForeignCapacity), sysex_(kForeignCapacity),
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

// The list holds more than its declared two entries: index it through a pointer.
void HostileMidi::Add(VstEvent* entry) {
    if (count_ < kCapacity) reinterpret_cast<VstEvents*>(list_.data())->events[count_++] = entry;
}

// Every well-formed note message counts as a key going down or up,
// whichever entry kind made it.
void HostileMidi::AddMidi(int offset, int status, int data1, int data2) {
    if (count_ >= kCapacity) return;
    VstMidiEvent& e = midi_[midiUsed_++];
    e = {kVstMidiType, sizeof(VstMidiEvent), offset, 0, 0, 0,
         {static_cast<char>(status), static_cast<char>(data1), static_cast<char>(data2), 0}, 0, 0, 0, 0};
    Add(reinterpret_cast<VstEvent*>(&e));
    const int kind = status >> 4;
    if ((kind != 8 && kind != 9) || data1 > 127 || data2 > 127) return;
    int& down = down_[status & 0x0F][data1];
    if (kind == 9 && data2 > 0) ++down;
    else if (down > 0) --down;
}

void HostileMidi::AddNote(int offset, int channel, int key, bool on) {
    if (on) AddMidi(offset, 0x90 | channel, key, dice_.Uniform(1, 127));
    // Both spellings of a note-off.
    else if (dice_.Chance(0.5)) AddMidi(offset, 0x80 | channel, key, dice_.Uniform(0, 127));
    else AddMidi(offset, 0x90 | channel, key, 0);
}

void HostileMidi::AddForeign(int offset) {
    if (count_ >= kCapacity || foreignUsed_ >= kForeignCapacity) return;
    const int slot = foreignUsed_++;
    VstEvent* entry = &foreign_[slot];
    if (dice_.Chance(0.5)) {
        const int bytes = dice_.Chance(0.8) ? kSysexBytes : 0;
        sysex_[slot] = {kVstSysExType, sizeof(VstMidiSysexEvent), 0, 0, bytes, 0, bytes > 0 ? sysexBytes_.data() : nullptr, 0};
        entry = reinterpret_cast<VstEvent*>(&sysex_[slot]);
    } else {
        *entry = {};
        entry->type = dice_.Pick(kForeignTypes);
        entry->byteSize = dice_.Chance(0.5) ? sizeof(VstEvent) : dice_.Uniform(INT_MIN, INT_MAX);
        for (char& c : entry->data) c = static_cast<char>(dice_.Uniform(0, 255));
    }
    entry->deltaFrames = offset;
    Add(entry);
}

void HostileMidi::AddDrawn(int frames) {
    int pick = dice_.Uniform(0, TotalWeight() - 1);
    const EntryKind* kind = kEntryKinds;
    while (pick >= kind->weight) pick -= (kind++)->weight;
    const int offset = kind->outside ? OffsetOutside(dice_, frames) : dice_.Uniform(0, std::max(frames - 1, 0));
    const int status = dice_.Uniform(kind->statusLo, kind->statusHi);
    const int data1 = dice_.Uniform(kind->data1Lo, kind->data1Hi);
    switch (kind->shape) {
        case Shape::Key:
            // Preset steps are the state phase's business.
            if (data1 == kPreviousPresetKey || data1 == kNextPresetKey) return;
            AddNote(offset, status, data1, down_[status][data1] == 0 ? dice_.Chance(0.8) : dice_.Chance(0.15));
            break;
        case Shape::Message: AddMidi(offset, status, data1, dice_.Uniform(kind->data2Lo, kind->data2Hi)); break;
        case Shape::Foreign: AddForeign(offset); break;
        case Shape::Null: Add(nullptr); break;
    }
}

const VstEvents* HostileMidi::NextBlock(int frames, bool presetSteps) {
    const bool burst = dice_.Chance(kBurstChance);
    const int entries = burst ? kBurst : dice_.Chance(kQuietBlockChance) ? 0 : dice_.Uniform(1, 8);
    for (int i = 0; i < entries; ++i) AddDrawn(frames);
    if (presetSteps && dice_.Chance(kPresetStepChance)) {
        const int key = dice_.Chance(0.5) ? kNextPresetKey : kPreviousPresetKey;
        const int channel = dice_.Uniform(0, 15);
        AddNote(dice_.Uniform(0, std::max(frames - 1, 0)), channel, key, true);
        AddNote(dice_.Uniform(0, std::max(frames - 1, 0)), channel, key, false);
    }
    return Finish();
}

const VstEvents* HostileMidi::ReleaseKeys(int limit) {
    for (int c = 0; c < 16; ++c)
        for (int k = 0; k < 128; ++k)
            while (down_[c][k] > 0 && count_ < limit) AddMidi(0, 0x80 | c, k, 64);
    return count_ > 0 ? Finish() : nullptr;
}

}  // namespace sorel::soak
