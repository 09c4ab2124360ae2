// A hostile host, one block at a time, for the soak and the MIDI-path fuzzer
// alike: host calls between blocks, an event list (now and then none, or one
// with a negative count), any time answer and any process entry. At the end
// it releases every key it holds, switches hold and note release off, stops
// the transport and plays on until nothing sounds.
#pragma once

#include <chrono>

#include "soak/Dice.h"
#include "soak/HostileMidi.h"
#include "soak/HostileTransport.h"
#include "support/TestHost.h"

namespace sorel::soak {

class HostileHost {
public:
    static constexpr int kOrdinaryBlock = 512;

    HostileHost(test::TestHost& plugin, Dice& dice) : plugin_(plugin), dice_(dice), midi_(dice), transport_(dice) {}

    // One block; with `presetSteps` its events may step through the
    // presets. Returns how long the plug-in took.
    std::chrono::nanoseconds Block(bool presetSteps);
    // Returns the notes still sounding once everything was released; the
    // checker counts each as a fault.
    int ReleaseEverything();

private:
    test::TestHost& plugin_;
    Dice& dice_;
    HostileMidi midi_;
    HostileTransport transport_;
};

// Plays ordinary blocks until nothing sounded for two
// seconds, or for half a minute at most; returns the notes still sounding,
// each counted as a fault of the checker.
int SettleAndCountSounding(test::TestHost& plugin);

}  // namespace sorel::soak
