// State traffic of a hostile host: effSetChunk with the plug-in's own chunk,
// truncated, mutated and random chunks, and pattern preset files in the
// data folder's User folders rewritten while the plug-in may be loading
// them: intact, truncated, mutated, uncompressed, empty, garbage or gone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "soak/Dice.h"
#include "support/TestHost.h"

namespace sorel::soak {

// The preset files the soak keeps below a data folder.
class PresetShelf {
public:
    static constexpr int kFiles = 8;

    // `dataRoot` is the Sorel data folder (…/Vardo/Sorel/).
    explicit PresetShelf(std::string dataRoot);

    // Writes every file intact, from a state the plug-in handed out as a
    // host chunk (framework header included).
    void Fill(const std::vector<uint8_t>& hostChunk);
    // Rewrites one file, damaged in one of several ways, or removes it.
    void Damage(Dice& dice, const std::vector<uint8_t>& hostChunk);

private:
    std::string Path(int file) const;
    std::string dataRoot_;
};

class StateStorm {
public:
    StateStorm(Dice& dice, PresetShelf& shelf) : dice_(dice), shelf_(shelf) {}

    // One state call: a chunk handed to the plug-in, or a preset file changed.
    void Step(test::TestHost& plugin);

private:
    void TakeChunk(test::TestHost& plugin);
    std::vector<uint8_t> Mutated(const std::vector<uint8_t>& chunk);

    Dice& dice_;
    PresetShelf& shelf_;
    std::vector<uint8_t> own_;  // the plug-in's latest chunk
};

}  // namespace sorel::soak
