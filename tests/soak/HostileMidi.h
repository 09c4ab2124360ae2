// The event lists of a hostile host, every entry drawn from one weighted
// table of message kinds: ordinary playing mixed with malformed bytes,
// foreign event types, null entries, offsets outside the block, orphan
// note-offs, duplicate note-ons, every controller, program changes, pitch
// wheel, control-zone keys, and now and then a burst of 10,000 events. It
// remembers which keys it holds down, so that the end of a soak can release
// them all.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "frame/vst2/VstApi.h"
#include "soak/Injected.h"

namespace sorel::soak {

class HostileMidi {
public:
    static constexpr int kBurst = 10000;
    static constexpr int kCapacity = kBurst + 64;
    // Control-zone keys of the default assignment.
    static constexpr int kPreviousPresetKey = 21;
    static constexpr int kNextPresetKey = 22;

    explicit HostileMidi(uint64_t seed);

    // The list for the next block of `frames`; valid until the next call.
    // With `presetSteps` the list now and then steps through the presets.
    const VstEvents* NextBlock(int frames, bool presetSteps, Injected& injected);
    // Note-offs for keys still down, at most `limit` per list; null when
    // every key is up.
    const VstEvents* ReleaseKeys(int limit);
    // A list of the given note messages, all at `offset`.
    const VstEvents* Notes(std::initializer_list<std::array<uint8_t, 3>> messages, int offset);

private:
    const VstEvents* Finish();
    void AddDrawn(int frames, Injected& injected);
    void AddMidi(int offset, int status, int data1, int data2);
    void AddNote(int offset, int channel, int key, bool on, Injected& injected);
    void AddForeign(int offset);
    void AddPresetStep(int frames, Injected& injected);
    int OffsetOutside(int frames);

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    std::mt19937_64 rng_;
    std::vector<VstMidiEvent> midi_;
    std::vector<VstEvent> foreign_;
    std::vector<VstMidiSysexEvent> sysex_;
    std::vector<char> sysexBytes_;
    std::vector<unsigned char> list_;
    int count_ = 0, midiUsed_ = 0, foreignUsed_ = 0;
    std::array<std::array<int, 128>, 16> down_{};
};

}  // namespace sorel::soak
