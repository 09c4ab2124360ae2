// Feeds arbitrary bytes to the MIDI file reader: every input is read or
// refused, never crashes, and what is read is ordered and well formed.
#include "MidiFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorel::host::MidiSong song;
    std::string error;
    if (!sorel::host::MidiFile::readFromMemory(data, size, song, error)) return 0;
    for (size_t i = 0; i < song.events.size(); ++i) {
        const auto& event = song.events[i];
        if ((event.bytes[0] & 0x80) == 0 || event.size < 1 || event.size > 3) std::abort();
        if (i > 0 && song.events[i - 1].tick > event.tick) std::abort();
    }
    return 0;
}
