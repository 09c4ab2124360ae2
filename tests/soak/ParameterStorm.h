// The parameter calls of a hostile host or editor thread: setParameter and
// getParameter with indices inside and outside the table and values NaN,
// infinite, -1 and 2; effString2Parameter with junk text; the text, key-name
// and vendor-specific queries with indices nobody checked.
#pragma once

#include "soak/Dice.h"
#include "support/TestHost.h"

namespace sorel::soak {

class ParameterStorm {
public:
    explicit ParameterStorm(Dice& dice) : dice_(dice) {}

    // One call into the plug-in.
    void Step(test::TestHost& plugin);

private:
    // Copies junk text, or with `question` one of the host's questions, into the buffer.
    char* Text(bool question);

    Dice& dice_;
    char buffer_[512] = {};
};

}  // namespace sorel::soak
