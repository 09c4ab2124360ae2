#include "frame/NoteNames.h"

#include <cstdio>

#include "frame/HostIdentity.h"

namespace sorel {

const char* NoteLetter(int note) {
    static const char* const kLetters[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    const int pitchClass = ((note % 12) + 12) % 12;
    return kLetters[pitchClass];
}

bool HostNumbersOctavesLower(int hostCode) {
    return hostCode == kHostCubase || hostCode == kHostLive || hostCode == kHostLogic;
}

std::string NoteNameWithOctave(int note, int hostCode) {
    const int octave = (note >= 0 ? note / 12 : -((-note + 11) / 12)) - (HostNumbersOctavesLower(hostCode) ? 1 : 0);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%s %d", NoteLetter(note), octave);
    return buffer;
}

}  // namespace sorel
