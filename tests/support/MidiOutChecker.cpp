#include "support/MidiOutChecker.h"

#include <cstdio>

namespace sorel::test {
namespace {

std::string Describe(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    char text[64];
    std::snprintf(text, sizeof text, "[%02X %02X %02X] at %d", status, data1, data2, offset);
    return text;
}

// A checker that saw `sent` as notes only.
MidiOutChecker Replayed(const std::vector<SentMidi>& sent) {
    MidiOutChecker checker;
    for (const SentMidi& m : sent) checker.CountNote(m.status, m.data1, m.data2);
    return checker;
}

}  // namespace

void MidiOutChecker::Fault(const std::string& text) {
    ++faults_;
    if (faultTexts_.size() < kKeptFaultTexts) faultTexts_.push_back(text);
}

void MidiOutChecker::Inspect(const VstEvents* events) {
    if (!events) return Fault("null event list");
    if (events->numEvents < 0) Fault("negative event count");
    VstEvent* const* entries = events->events;  // longer than the declared two
    for (int i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = entries[i];
        if (!event || event->type != kVstMidiType) {
            Fault(event ? "event of type " + std::to_string(event->type) : "null event in the list");
            continue;
        }
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        if (midi->byteSize != static_cast<VstInt32>(sizeof(VstMidiEvent)))
            Fault("MIDI event of byte size " + std::to_string(midi->byteSize));
        InspectMidi(midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]), static_cast<uint8_t>(midi->midiData[1]),
                    static_cast<uint8_t>(midi->midiData[2]));
    }
}

void MidiOutChecker::InspectMidi(int offset, uint8_t status, uint8_t data1, uint8_t data2) {
    ++events_;
    // Described only for a fault: a well-formed stream costs no allocation.
    const auto what = [&] { return Describe(offset, status, data1, data2); };
    if (!inBlock_) Fault("sent outside a process call: " + what());
    // A block of 0 frames still has one place to put an event: its start.
    const int lastOffset = frames_ > 0 ? frames_ - 1 : 0;
    if (inBlock_ && (offset < 0 || offset > lastOffset))
        Fault("offset outside the block of " + std::to_string(frames_) + ": " + what());
    // Only short channel messages travel this way; system messages have no
    // business in a note stream.
    if (status < 0x80 || status >= 0xF0) return Fault("bad status byte: " + what());
    if (data1 > 127 || data2 > 127) return Fault("data byte above 127: " + what());
    CountNote(status, data1, data2);
}

void MidiOutChecker::CountNote(uint8_t status, uint8_t key, uint8_t velocity) {
    const int kind = status >> 4, channel = status & 0x0F;
    key &= 0x7F;
    int& count = sounding_[channel][key];
    const auto what = [&] { return "channel " + std::to_string(channel + 1) + " key " + std::to_string(key); };
    if (kind == 9 && velocity > 0) {
        if (count > 0 && !FromHost(hostOnFor_, channel, key)) Fault("second note-on of a sounding key: " + what());
        ++count;
        startedIn_[channel][key] = block_;
    } else if (kind == 8 || kind == 9) {
        if (count == 0 && !FromHost(hostOffFor_, channel, key)) Fault("note-off that ends nothing: " + what());
        if (count > 0) --count;
    }
}

void MidiOutChecker::HostNote(uint8_t status, uint8_t key, uint8_t velocity) {
    const int kind = status >> 4;
    if ((kind != 8 && kind != 9) || key > 127 || velocity > 127) return;
    BlockStamps& stamps = kind == 9 && velocity > 0 ? hostOnFor_ : hostOffFor_;
    stamps[status & 0x0F][key] = Stamp(block_ + 1);
}

bool MidiOutChecker::FromHost(const BlockStamps& stamps, int channel, int key) const {
    for (int k = std::max(0, key - kScaleReach); k <= key; ++k)
        if (stamps[channel][k] == Stamp(block_)) return true;
    return false;
}

int MidiOutChecker::SoundingNotes() const {
    int total = 0;
    for (const auto& channel : sounding_)
        for (int count : channel) total += count;
    return total;
}

std::vector<std::pair<int, int>> MidiOutChecker::Sounding() const {
    std::vector<std::pair<int, int>> notes;
    for (int c = 0; c < kChannels; ++c)
        for (int n = 0; n < kNotes; ++n)
            if (sounding_[c][n] > 0) notes.emplace_back(c + 1, n);
    return notes;
}

void MidiOutChecker::ReportSoundingNotes() {
    for (const auto& [channel, key] : Sounding())
        Fault("note left sounding: channel " + std::to_string(channel) + " key " + std::to_string(key) + " (" +
              std::to_string(sounding_[channel - 1][key]) + " note-on(s) without note-off, the last in block " +
              std::to_string(startedIn_[channel - 1][key]) + ")");
}

std::string UnendedNotes(const std::vector<SentMidi>& sent) {
    std::string text;
    for (const auto& [channel, key] : Replayed(sent).Sounding())
        text += "key " + std::to_string(key) + " on channel " + std::to_string(channel) + " never ended; ";
    return text;
}

std::string OverlappingNotes(const std::vector<SentMidi>& sent) {
    const MidiOutChecker checker = Replayed(sent);
    std::string text;
    for (const std::string& fault : checker.FaultTexts()) text += fault + "; ";
    return text;
}

}  // namespace sorel::test
