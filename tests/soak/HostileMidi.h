// The event lists of a hostile host, every entry drawn from one weighted
// table of kinds: ordinary playing mixed with malformed bytes, foreign event
// types, null entries, offsets outside the block, orphan note-offs,
// duplicate note-ons, every controller, program changes, pitch wheel,
// control-zone keys, and now and then a burst of 10,000 events. It
// remembers which keys it holds down, so that they can all be released.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "module/vst2/VstApi.h"
#include "soak/Dice.h"

namespace sorel::soak {

class HostileMidi {
public:
    explicit HostileMidi(Dice& dice);

    // The list for the next block of `frames`; valid until the next call.
    // With `presetSteps` the list now and then steps through the presets.
    const VstEvents* NextBlock(int frames, bool presetSteps);
    // Note-offs for keys still down, at most `limit` per list; null when
    // every key is up.
    const VstEvents* ReleaseKeys(int limit);

private:
    const VstEvents* Finish();
    void Add(VstEvent* entry);
    void AddDrawn(int frames);
    void AddMidi(int offset, int status, int data1, int data2);
    void AddNote(int offset, int channel, int key, bool on);
    void AddForeign(int offset);

    Dice& dice_;
    std::vector<VstMidiEvent> midi_;
    std::vector<VstEvent> foreign_;
    std::vector<VstMidiSysexEvent> sysex_;
    std::vector<char> sysexBytes_;
    std::vector<unsigned char> list_;
    int count_ = 0, midiUsed_ = 0, foreignUsed_ = 0;
    std::array<std::array<int, 128>, 16> down_{};
};

}  // namespace sorel::soak
