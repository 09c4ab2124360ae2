// One output note-on or note-off of the engine. Key areas make them, the
// router orders and matches them, and the frame turns each into MIDI.
#pragma once

#include <array>
#include <cstdint>

namespace sorel {

struct NoteRecord {
    static constexpr int kControllerLanes = 8;

    int note = 0;
    int velocity = 127;           // 0..127; 127 for a note-off
    double time = 0.0;            // sample offset in the current block
    int isNoteOn = 0;             // 1 note-on, 0 note-off
    int channel = 1;              // output channel 1..16
    bool onlyCc = false;          // the area sends controllers only: the note stays silent
    std::array<int, kControllerLanes> ccValues{};
    int noteOverride = -1;        // the note to send instead of `note`, when above 0
    int area = 0;                 // key area 0..3
    int pattern = 0;              // pattern 0..11 of the area that made the note
    int step = 0;                 // index 0..31 of the step that made the note
    bool muted = false;           // the router drops it: neither note nor controllers go out
    bool endsHeldBackKey = false;  // ends a key that sounded as played while its area waited
    // A step that lost its chance: its controllers go out, never a note, and
    // no note-off follows.
    bool lostChance = false;

    // Orders records of one segment; not sent anywhere.
    std::uint64_t sequence = 0;

    // The note number that goes out on the wire.
    int OutputNote() const { return noteOverride > 0 ? noteOverride : note; }
};

}  // namespace sorel
