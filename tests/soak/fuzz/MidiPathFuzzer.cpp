// libFuzzer target of the MIDI path: the input is the dice of the soak's
// hostile host, which plays event lists, transports, block sizes, host calls
// and parameter calls into a plug-in built through the module's own entry.
// Every MIDI event the plug-in sends is checked as it arrives; at the end
// every key is released and every note must have ended.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "soak/HostileHost.h"
#include "soak/ParameterStorm.h"
#include "support/LinkedPlugin.h"
#include "support/TestHost.h"

namespace {

constexpr int kMostBlocks = 256;
constexpr double kParameterCallChance = 0.25;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The plug-in's data folder goes to a temporary place, never the player's.
    char pattern[] = "/tmp/sorel-midi-fuzz-XXXXXX";
    if (const char* made = mkdtemp(pattern)) setenv("XDG_DATA_HOME", made, 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sorel::soak::Dice dice(data, size);
    sorel::test::TestHost plugin(&sorel::test::EntryWithPersistence);
    plugin.SetRecording(false);
    if (!plugin.CreateAndOpen(sorel::soak::HostileHost::kOrdinaryBlock)) std::abort();
    sorel::soak::HostileHost host(plugin, dice);
    sorel::soak::ParameterStorm parameters(dice);
    for (int block = 0; block < kMostBlocks && !dice.Exhausted(); ++block) {
        if (dice.Chance(kParameterCallChance)) parameters.Step(plugin);
        host.Block(false);
    }
    host.ReleaseEverything();
    if (const std::string faults = plugin.Faults(); !faults.empty()) {
        std::fprintf(stderr, "faults: %s\n", faults.c_str());
        std::abort();
    }
    return 0;
}
