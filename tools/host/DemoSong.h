// The demo's built-in material: a four-bar chord progression and the
// settings that turn it into an arpeggio.
#pragma once

#include "MidiSong.h"
#include "ParameterSetter.h"

#include <vector>

namespace sorel::host {

struct DemoSetting {
    ParameterAssignment assignment;  // by the name the plug-in reports
    int fallbackIndex;               // used when a plug-in build names it differently
};

class DemoSong {
public:
    static constexpr int kPpqn = 480;
    static constexpr double kBeatsPerMinute = 120.0;

    // C major, A minor, F major, G major: one bar each, in key area 1's keys.
    static MidiSong chordProgression();
    static std::vector<DemoSetting> builtInPreset();
};

}  // namespace sorel::host
