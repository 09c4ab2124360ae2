// The parameter calls of a hostile host or editor thread: setParameter and
// getParameter with indices inside and outside the table and values NaN,
// infinite, -1 and 2; effString2Parameter with junk text; the text, key-name
// and vendor-specific queries with indices nobody checked.
#pragma once

#include <atomic>
#include <string>

#include "soak/Dice.h"
#include "support/TestHost.h"

namespace sorel::soak {

class ParameterStorm {
public:
    explicit ParameterStorm(Dice& dice) : dice_(dice) {}

    // One call into the plug-in.
    void Step(test::TestHost& plugin);
    // The latest call, for the soak's report of what came before a long block.
    std::string Last() const;

private:
    // Copies junk text, or with `question` one of the host's questions, into the buffer.
    char* Text(bool question);

    Dice& dice_;
    char buffer_[512] = {};
    // Written by the thread that steps, read by the audio thread.
    std::atomic<const char*> lastCall_{"nothing"};
    std::atomic<int> lastIndex_{0};
};

}  // namespace sorel::soak
