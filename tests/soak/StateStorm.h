// State traffic of a hostile host: effSetChunk with the plug-in's own chunk,
// truncated, mutated and random chunks, and pattern preset files in the
// data folder's User folders rewritten while the plug-in may be loading
// them: intact, truncated, mutated, uncompressed, empty, garbage or gone.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "soak/Dice.h"
#include "support/TestHost.h"

namespace sorel::soak {

class StateStorm {
public:
    // `dataRoot` is the Sorel data folder (…/Vardo/Sorel/).
    StateStorm(Dice& dice, std::string dataRoot) : dice_(dice), dataRoot_(std::move(dataRoot)) {}

    // Writes every preset file intact, from a program chunk the plug-in handed out.
    static void FillShelf(const std::string& dataRoot, const std::vector<uint8_t>& chunk);
    // One state call: a chunk handed to the plug-in, or a preset file changed.
    void Step(test::TestHost& plugin);
    // The latest call, for the soak's report of what came before a long block.
    const char* Last() const { return lastCall_; }

private:
    void DamagePresetFile();

    Dice& dice_;
    std::string dataRoot_;
    std::vector<uint8_t> own_;  // the plug-in's latest program chunk
    std::atomic<const char*> lastCall_{"nothing"};
};

}  // namespace sorel::soak
