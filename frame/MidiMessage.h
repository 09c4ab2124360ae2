// One short MIDI message with its sample offset in the block.
#pragma once

#include <cstdint>

namespace sorel {

namespace midi {
constexpr int kNoteOff = 8;
constexpr int kNoteOn = 9;
constexpr int kPolyAftertouch = 10;
constexpr int kControlChange = 11;
constexpr int kProgramChange = 12;
constexpr int kChannelAftertouch = 13;
constexpr int kPitchWheel = 14;

constexpr int kAllNotesOff = 123;
constexpr int kPitchWheelController = 119;  // MIDI learn treats the wheel as this controller
constexpr int kChannels = 16;
constexpr int kNotes = 128;
}  // namespace midi

struct MidiMessage {
    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;

    int Kind() const {
        const int kind = status >> 4;
        return kind >= midi::kNoteOff && kind <= midi::kPitchWheel ? kind : 0;
    }
    int Channel() const { return (status & 0x0F) + 1; }  // 1..16
    bool IsNoteOff() const { return Kind() == midi::kNoteOff || (Kind() == midi::kNoteOn && data2 == 0); }
    bool IsNoteOn() const { return Kind() == midi::kNoteOn && data2 > 0; }
    bool IsNote() const { return Kind() == midi::kNoteOff || Kind() == midi::kNoteOn; }
    bool HasValidDataBytes() const { return data1 < 0x80 && data2 < 0x80; }

    static MidiMessage NoteOn(int channel, int note, int velocity, int offset) {
        return Make(0x90, channel, note, velocity, offset);
    }
    // Note-offs always go out with release velocity 127.
    static MidiMessage NoteOff(int channel, int note, int offset) { return Make(0x80, channel, note, 127, offset); }
    // `value` is a fraction 0..1 of the controller's range.
    static MidiMessage ControlChange(int controller, double value, int channel, int offset) {
        const double scaled = value * 127.0;
        const int data = scaled > 0.0 ? (scaled < 127.0 ? static_cast<int>(scaled) : 127) : 0;
        return Make(0xB0, channel, controller, data, offset);
    }

private:
    static MidiMessage Make(int statusBase, int channel, int data1, int data2, int offset) {
        MidiMessage m;
        m.offset = offset;
        m.status = static_cast<uint8_t>(statusBase | ((channel - 1) & 0x0F));
        m.data1 = static_cast<uint8_t>(data1 & 0x7F);
        m.data2 = static_cast<uint8_t>(data2 & 0x7F);
        return m;
    }
};

}  // namespace sorel
