// The MIDI that comes from the host: notes to the key areas or passed
// through, controllers to learnt parameters or passed on, program changes,
// and the controller the CC teach sends in each block.
#pragma once

#include "frame/MidiMessage.h"

namespace sorel {

class MidiOutput;
class PassThroughNotes;
class Vardo;

class MidiInput {
public:
    MidiInput(Vardo& plugin, MidiOutput& output, PassThroughNotes& passThrough)
        : plugin_(plugin), output_(output), passThrough_(passThrough) {}

    // One message, its offset limited to the block of `blockSize` samples.
    // Called under the plug-in lock, on the audio path.
    void Handle(const MidiMessage& incoming, int blockSize);
    void ServeCcTeach();

private:
    void HandleNoteOn(const MidiMessage& message);
    void HandleNoteOff(const MidiMessage& message);
    void PassThroughNoteOn(const MidiMessage& message);
    int PassThroughNote(int note) const;
    bool ClaimedByArea(int channel, int note) const;
    void HandleControlChange(const MidiMessage& message);
    // A learnt controller's value goes to its parameter; false when none learnt it.
    bool HandleControllerInput(int controller, int value);
    // Tells the status line which controller a learn took.
    void ShowLearnt(int controller, int target);

    Vardo& plugin_;
    MidiOutput& output_;
    PassThroughNotes& passThrough_;
};

}  // namespace sorel
