// One soak: a plug-in instance from the module driven by a hostile host for
// a time or a number of blocks, optionally with a parameter thread and a
// state thread beside the audio thread; then keys released, hold off and
// transport stopped, every note must have ended; and finally the instance
// must still arpeggiate a known chord exactly as a fresh instance does.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "soak/HostileMidi.h"
#include "soak/Injected.h"
#include "support/TestHost.h"

namespace sorel::soak {

struct SoakOptions {
    double seconds = 10.0;
    int64_t maxBlocks = 0;  // 0: no limit besides the time
    uint64_t seed = 1;
    bool threads = false;
    // The Sorel data folder (…/Vardo/Sorel/) where the preset files go.
    std::string dataRoot;
};

struct SoakReport {
    double seconds = 0.0;
    int64_t blocks = 0;
    int64_t frames = 0;
    uint64_t eventsOut = 0;
    Injected injected;
    std::chrono::nanoseconds worstBlock{0};             // while no preset or chunk traffic ran
    std::chrono::nanoseconds worstBlockWithPresets{0};  // while the state traffic ran
    int soundingAfterRelease = 0;
    bool arpeggiatesAsFresh = false;
    std::string comparison;  // what differed, when it did
    uint64_t faultCount = 0;
    std::vector<std::string> faults;

    bool Passed() const {
        return faultCount == 0 && soundingAfterRelease == 0 && arpeggiatesAsFresh;
    }
    void Print(std::ostream& out) const;
};

class SoakRun {
public:
    SoakRun(VSTPluginMainProc entry, SoakOptions options);
    SoakReport Run();

private:
    void Storm(test::TestHost& plugin, SoakReport& report);
    void ReleaseEverything(test::TestHost& plugin, SoakReport& report);
    void CompareWithFresh(test::TestHost& plugin, SoakReport& report);

    VSTPluginMainProc entry_;
    SoakOptions options_;
    std::unique_ptr<HostileMidi> midi_;  // knows which keys the storm left down
};

// Plays a C major chord on key area 1 with the transport running from 0 and
// returns everything the plug-in sent.
std::vector<test::SentMidi> PlayKnownChord(test::TestHost& plugin);

}  // namespace sorel::soak
