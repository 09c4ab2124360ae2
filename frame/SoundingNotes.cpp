#include "frame/SoundingNotes.h"

namespace sorel {

void SoundingNotes::Pass(const QueuedMidi& queued, std::vector<MidiMessage>& out) {
    const MidiMessage& message = queued.message;
    const int owner = queued.owner;
    if (!message.IsNote()) {
        out.push_back(message);
        return;
    }
    const int channel = message.Channel(), note = message.data1 & 0x7F;
    int16_t& sounding = owners_[channel - 1][note];
    if (message.IsNoteOn()) {
        if (sounding == kSilent)
            ++total_;
        else
            out.push_back(MidiMessage::NoteOff(channel, note, message.offset));
        sounding = static_cast<int16_t>(owner);
        out.push_back(message);
    } else if (sounding != kSilent && (sounding == owner || owner == note_owner::kPanic)) {
        sounding = kSilent;
        --total_;
        out.push_back(message);
    } else if (sounding == kSilent && owner == note_owner::kHost) {
        // It may end a note that reached the instrument some other way.
        out.push_back(message);
    }
}

}  // namespace sorel
