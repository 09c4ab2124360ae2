#include "frame/MidiOutput.h"

#include <algorithm>
#include <cmath>

#include "engine/ParameterIndex.h"
#include "frame/ParameterTable.h"

namespace sorel {

using namespace param;

namespace {

// The frame a note falls in: the one its offset in the block lies within.
int FrameOf(double time) {
    constexpr double kLatestFrame = 1 << 24;
    return std::isfinite(time) ? static_cast<int>(std::clamp(std::trunc(time), 0.0, kLatestFrame)) : 0;
}

// A velocity drops its fraction and stays a note-on's (never 0, never above 127).
int VelocityOf(double velocity) {
    constexpr double kSoftest = 1.0;
    constexpr double kLoudest = 127.0;
    return std::isfinite(velocity) ? static_cast<int>(std::clamp(std::trunc(velocity), kSoftest, kLoudest)) : 1;
}

}  // namespace

MidiOutput::MidiOutput(const ParameterTable& params, const StepCcNumbers& ccNumbers, PassThroughNotes& passThrough,
                       const double& globalVolume)
    : params_(params), ccNumbers_(ccNumbers), passThrough_(passThrough), globalVolume_(globalVolume) {
    // Each queued message becomes at most two on the wire.
    wire_.reserve(2 * MidiOutQueue::kCapacity);
}

void MidiOutput::SendEngineEvents(std::span<const NoteRecord> events, int shift) {
    for (const NoteRecord& record : events) {
        if (record.muted) continue;
        const int offset = FrameOf(record.time) + shift;
        if (record.isNoteOn) {
            SendNoteOn(record, offset);
        } else {
            SendNoteOff(record, offset);
        }
    }
}

void MidiOutput::SendNoteOn(const NoteRecord& record, int offset) {
    // A step's controllers reach the instrument before its note.
    SendControllers(record, offset);
    if (record.onlyCc) return;
    const int velocity = VelocityOf(record.velocity - (kNeutralVolume - globalVolume_));
    Queue(MidiMessage::NoteOn(std::clamp(record.channel, 1, 16), std::clamp(record.OutputNote(), 0, 127), velocity,
                              offset),
          note_owner::kEngine);
}

void MidiOutput::SendNoteOff(const NoteRecord& record, int offset) {
    if (record.onlyCc) return;
    const int channel = std::clamp(record.channel, 1, 16);
    const int key = std::clamp(record.OutputNote(), 0, 127);
    int note = key;
    // A held-back key went out through the pass-through: its note-off ends
    // exactly the note that was sent, unless its release already did.
    if (!record.endsHeldBackKey) return Queue(MidiMessage::NoteOff(channel, note, offset), note_owner::kEngine);
    if (passThrough_.Take(channel, key, note)) Queue(MidiMessage::NoteOff(channel, note, offset), key);
}

void MidiOutput::SendControllers(const NoteRecord& record, int offset) {
    if (record.area < 0 || record.area >= kKeyAreas || record.step < 0 || record.step >= kSteps) return;
    // The switches of the pattern that played the note: the area may have
    // moved on to another pattern before the note goes out.
    const int pattern = std::clamp(record.pattern, 0, kPatternsPerArea - 1);
    for (int lane = 0; lane < kControllerLanes; ++lane) {
        const int controller = ccNumbers_[record.area * kControllerLanes + lane];
        if (controller < 0 || controller > 127) continue;
        const int switchIndex = LaneSwitch(record.area, pattern, kFirstControllerLane + lane, record.step);
        if (!SwitchIsOn(switchIndex, params_.Value(switchIndex))) continue;
        const double value = std::clamp(record.ccValues[lane], 0, 127) / 127.0;
        Queue(MidiMessage::ControlChange(controller, value, std::clamp(record.channel, 1, 16), offset));
    }
}

void MidiOutput::QueuePanic() {
    for (int channel = 1; channel <= midi::kChannels; ++channel)
        Queue(MidiMessage::ControlChange(midi::kAllNotesOff, 0.0, channel, 0), note_owner::kHost, true);
    QueueEndOfSoundingNotes();
}

void MidiOutput::QueueEndOfSoundingNotes() {
    // Every note that went out ends in this same block, once: the note-offs
    // of what the engine still knows of them then end nothing and stay here.
    sounding_.ForEach([&](int channel, int note) {
        Queue(MidiMessage::NoteOff(channel, note, 0), note_owner::kPanic, true);
    });
}

void MidiOutput::QueueEndOfEngineNotes() {
    sounding_.ForEachOwnedBy(note_owner::kEngine, [&](int channel, int note) {
        Queue(MidiMessage::NoteOff(channel, note, 0), note_owner::kPanic, true);
    });
}

std::span<const MidiMessage> MidiOutput::Flush(int frames) {
    if (out_.Empty()) return {};
    wire_.clear();
    for (const QueuedMidi& queued : out_.Ordered(frames)) sounding_.Pass(queued, wire_);
    out_.Clear();
    return wire_;
}

}  // namespace sorel
