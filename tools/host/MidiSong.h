// A Standard MIDI File as the host plays it: channel messages on one time
// line in ticks, with the tempo and time-signature changes that place them.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace sorel::host {

struct MidiEvent {
    int64_t tick = 0;
    std::array<uint8_t, 3> bytes{};
    uint8_t size = 0;  // 1..3 bytes of a short channel message

    uint8_t status() const { return bytes[0]; }
    uint8_t kind() const { return bytes[0] & 0xF0; }
    int channel() const { return (bytes[0] & 0x0F) + 1; }
    bool isNoteOn() const { return kind() == 0x90 && bytes[2] > 0; }
    bool isNoteOff() const { return kind() == 0x80 || (kind() == 0x90 && bytes[2] == 0); }
};

struct TempoChange {
    int64_t tick = 0;
    int microsPerQuarter = 500000;
};

struct TimeSignatureChange {
    int64_t tick = 0;
    int numerator = 4;
    int denominator = 4;
};

struct MidiSong {
    int ppqn = 480;
    std::vector<MidiEvent> events;  // ordered by tick
    std::vector<TempoChange> tempos;  // ordered by tick; empty means 120 beats per minute
    std::vector<TimeSignatureChange> signatures;  // ordered by tick; empty means 4/4
    int64_t lengthTicks = 0;  // end of the last track, at least the last event
};

}  // namespace sorel::host
