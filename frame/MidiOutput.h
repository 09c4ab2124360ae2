// What the plug-in sends to the host in a block: the queue, the engine's
// notes with their step controllers, the note-offs of passed-through keys,
// the flush onto the wire (one note per channel and key) and the panic's
// messages.
#pragma once

#include <span>
#include <vector>

#include "engine/NoteRecord.h"
#include "frame/CcTeach.h"
#include "frame/MidiMessage.h"
#include "frame/MidiOutQueue.h"
#include "frame/PassThroughNotes.h"
#include "frame/SoundingNotes.h"

namespace sorel {

class ParameterTable;

class MidiOutput {
public:
    // The volume at which the engine's velocities go out unchanged.
    static constexpr double kNeutralVolume = 64.0;

    // The step switches in `params`, the lanes' controller numbers, the
    // passed-through keys and the global volume are read as notes go out.
    MidiOutput(const ParameterTable& params, const StepCcNumbers& ccNumbers, PassThroughNotes& passThrough,
               const double& globalVolume);

    void Queue(const MidiMessage& message, int owner = note_owner::kHost, bool urgent = false) {
        out_.Add(message, owner, urgent);
    }
    // The engine's notes of this block; `shift` samples of the block went by
    // before the engine's part of it.
    void SendEngineEvents(std::span<const NoteRecord> events, int shift);
    // Every channel's All Notes Off and the end of every note that went out,
    // ahead of anything else in this block.
    void QueuePanic();
    // A note-off for every note that went out and still sounds, in this block.
    void QueueEndOfSoundingNotes();
    // Ends the notes the key areas started, in this block; what passed through
    // from the host ends with its key.
    void QueueEndOfEngineNotes();
    // Orders what was queued, keeps it one note per channel and key, and
    // returns it for the host; valid until the next flush.
    std::span<const MidiMessage> Flush(int frames);

private:
    void SendNoteOn(const NoteRecord& record, int offset);
    void SendNoteOff(const NoteRecord& record, int offset);
    void SendControllers(const NoteRecord& record, int offset);

    const ParameterTable& params_;
    const StepCcNumbers& ccNumbers_;
    PassThroughNotes& passThrough_;
    const double& globalVolume_;
    MidiOutQueue out_;
    SoundingNotes sounding_;
    std::vector<MidiMessage> wire_;  // what goes to the host in this block
};

}  // namespace sorel
