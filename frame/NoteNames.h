// Texts for MIDI note numbers as the key-area settings and key names show them.
#pragma once

#include <string>

namespace sorel {

// "C", "C#", ... "B" for note mod 12.
const char* NoteLetter(int note);

// Some hosts number the octave of middle C one lower than others.
bool HostNumbersOctavesLower(int hostCode);

// "%s %d": letter and octave (note div 12, one lower for such hosts).
std::string NoteNameWithOctave(int note, int hostCode);

}  // namespace sorel
