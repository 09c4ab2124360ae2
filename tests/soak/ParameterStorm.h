// The parameter calls of a hostile host or editor thread: setParameter and
// getParameter with indices inside and outside the table and values NaN,
// infinite, -1 and 2; effString2Parameter with junk text; the text, key-name
// and vendor-specific queries with indices nobody checked.
#pragma once

#include <cstdint>
#include <random>
#include <string>

#include "soak/Injected.h"
#include "support/TestHost.h"

namespace sorel::soak {

class ParameterStorm {
public:
    explicit ParameterStorm(uint64_t seed);

    // One call into the plug-in.
    void Step(test::TestHost& plugin, Injected& injected);

private:
    int Index(Injected& injected);
    float Value(Injected& injected);
    std::string JunkText();

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    std::mt19937_64 rng_;
    char buffer_[512] = {};
};

}  // namespace sorel::soak
