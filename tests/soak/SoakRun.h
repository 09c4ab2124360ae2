// One soak: a plug-in instance from the module driven by a hostile host for
// a time, optionally with a parameter thread and a state thread beside the
// audio thread; then keys released, hold off and transport stopped, every
// note must have ended; and finally the instance must play a known passage
// exactly as a fresh instance does, and end it.
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
    // No block may take the audio thread more of its own CPU time; zero
    // when the build's instrumentation makes any bound meaningless.
    std::chrono::microseconds longestBlock{SOREL_SOAK_LONGEST_BLOCK_US};
};

// Runs the soak and reports to `out`; true when every check held.
bool RunSoak(VSTPluginMainProc entry, const SoakOptions& options, std::ostream& out);

// Switches every key area on, holds a chord in each for a while with the
// transport running, in blocks of an odd size, then releases them and stops;
// returns everything the plug-in sent, blocks counted from the first.
std::vector<test::SentMidi> PlayKnownPassage(test::TestHost& plugin);

}  // namespace sorel::soak
