// One soak: a plug-in instance from the module driven by a hostile host for
// a time, optionally with a parameter thread and a
// state thread beside the audio thread; then keys released, hold off and
// transport stopped, every note must have ended; and finally the instance
// must play a known passage exactly as a fresh instance does, and end it.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "support/TestHost.h"

namespace sorel::soak {

struct SoakOptions {
    double seconds = 10.0;
    uint64_t seed = 1;
    bool threads = false;
    // The Sorel data folder (…/Vardo/Sorel/) where the preset files go.
    std::string dataRoot;
};

struct SoakReport {
    double seconds = 0.0;
    int64_t blocks = 0;
    uint64_t eventsOut = 0;
    std::chrono::nanoseconds worstBlock{0};
    int soundingAfterRelease = 0;
    std::string comparison;  // what differed from a fresh instance, when something did
    uint64_t faultCount = 0;
    std::vector<std::string> faults;

    bool Passed() const { return faultCount == 0 && soundingAfterRelease == 0 && comparison.empty(); }
    void Print(std::ostream& out) const;
};

SoakReport RunSoak(VSTPluginMainProc entry, const SoakOptions& options);

// Switches every key area on, holds a chord in each for a while with the
// transport running, in blocks of an odd size, then releases them and stops;
// returns everything the plug-in sent, blocks counted from the first.
std::vector<test::SentMidi> PlayKnownPassage(test::TestHost& plugin);

}  // namespace sorel::soak
