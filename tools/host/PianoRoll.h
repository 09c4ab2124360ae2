// A text piano roll of a MIDI song: time runs across (two characters per
// sixteenth note, "|" at each bar), pitch runs down from the highest note.
#pragma once

#include "MidiSong.h"

#include <string>

namespace sorel::host {

class PianoRoll {
public:
    static constexpr int kColumnsPerSixteenth = 2;

    // Draws at most `maxBars` bars (4/4 grid) of the song's notes.
    static std::string draw(const MidiSong& song, int maxBars);
    // "C3" for 48: middle C (60) is C4.
    static std::string noteName(int note);
};

}  // namespace sorel::host
