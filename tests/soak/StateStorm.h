// State traffic of a hostile host: effSetChunk with the plug-in's own chunk,
// truncated, mutated and random chunks, and pattern preset files in the
// data folder's User folders rewritten while the plug-in may be loading
// them: intact, truncated, mutated, uncompressed, empty, garbage or gone.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "soak/Injected.h"
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
    void Damage(std::mt19937_64& rng, const std::vector<uint8_t>& hostChunk);

private:
    std::string Path(int file) const;
    std::string dataRoot_;
};

class StateStorm {
public:
    StateStorm(uint64_t seed, PresetShelf* shelf);

    // One state call: a chunk handed to the plug-in, or a preset file changed.
    void Step(test::TestHost& plugin, Injected& injected);

private:
    void TakeChunk(test::TestHost& plugin);
    std::vector<uint8_t> Mutated(const std::vector<uint8_t>& chunk);

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    std::mt19937_64 rng_;
    PresetShelf* shelf_;
    std::vector<uint8_t> own_;  // the plug-in's latest chunk
};

}  // namespace sorel::soak
